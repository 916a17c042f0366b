#include "ui/services.h"

#include <exception>
#include <filesystem>

namespace tarvik {

std::string FileChoice::path() const { return (std::filesystem::path(folder) / name).string(); }

void SynchronousRunner::run_work(const Work& work, const std::function<void()>& poll) {
    std::exception_ptr pollFailure;
    work([&] {
        if (pollFailure)
            return;
        try {
            poll();
        } catch (...) {
            pollFailure = std::current_exception();
        }
    });
    if (pollFailure)
        std::rethrow_exception(pollFailure);
}

std::tm SystemClock::now() const {
    const std::time_t t = std::time(nullptr);
    std::tm out{};
    localtime_r(&t, &out);
    return out;
}

} // namespace tarvik
