#include "ui/services.h"

#include <filesystem>

namespace tarvik {

std::string FileChoice::path() const { return (std::filesystem::path(folder) / name).string(); }

std::tm SystemClock::now() const {
    const std::time_t t = std::time(nullptr);
    std::tm out{};
    localtime_r(&t, &out);
    return out;
}

} // namespace tarvik
