#include "app/background.h"

#include <atomic>

namespace tarvik {

bool run_items_in_background(Runtime& rt, const std::string& message, std::size_t count,
                             const std::function<std::string(std::size_t)>& label,
                             const std::function<void(std::size_t)>& work) {
    ProgressService& progress = *rt.services().progress;
    const ProgressRef bar = progress.create(0, message);
    std::atomic<std::size_t> under = 0; // the item under way, 1-based; 0 before the first
    std::atomic<bool> cancel = false;
    std::size_t shown = 0;
    // On the window's thread: the item's name when one starts, and the user's Cancel.
    const auto poll = [&] {
        if (const std::size_t k = under; k != shown && k > 0) {
            progress.update(bar, static_cast<double>(k - 1) / static_cast<double>(count),
                            message + " " + label(k - 1));
            shown = k;
        }
        if (progress.cancelled(bar) || !rt.main_window())
            cancel = true;
    };
    SynchronousRunner here;
    BackgroundRunner& runner = rt.services().background ? *rt.services().background : here;
    try {
        runner.run_work(
            [&](const BackgroundRunner::Checkpoint& checkpoint) {
                for (std::size_t k = 0; k < count && !cancel; ++k) {
                    under = k + 1;
                    checkpoint();
                    if (!cancel)
                        work(k);
                }
            },
            poll);
    } catch (...) {
        progress.close(bar);
        throw;
    }
    progress.close(bar);
    return !cancel;
}

} // namespace tarvik
