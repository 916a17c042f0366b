#include "ui/services.h"

#include <exception>
#include <filesystem>

namespace tarvik {

std::string FileChoice::path() const { return (std::filesystem::path(folder) / name).string(); }

void PollUntilFailure::operator()() {
    if (failure_)
        return;
    try {
        poll_();
    } catch (...) {
        failure_ = std::current_exception();
    }
}

void PollUntilFailure::rethrow() const {
    if (failure_)
        std::rethrow_exception(failure_);
}

void SynchronousRunner::run_work(const Work& work, const std::function<void()>& poll) {
    PollUntilFailure polled(poll);
    work([&] { polled(); });
    polled.rethrow();
}

std::tm SystemClock::now() const {
    const std::time_t t = std::time(nullptr);
    std::tm out{};
    localtime_r(&t, &out);
    return out;
}

} // namespace tarvik
