#include "app/background.h"

#include "core/item_threads.h"

#include <atomic>
#include <thread>

namespace tarvik {

int runner_threads(const Runtime& rt) {
    const BackgroundRunner* runner = rt.services().background;
    return runner ? runner->threads() : 1;
}

bool run_items_in_background(Runtime& rt, const std::string& message, std::size_t count,
                             const std::function<std::string(std::size_t)>& label,
                             const std::function<void(std::size_t)>& work, int threads) {
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
                if (threads <= 1) {
                    for (std::size_t k = 0; k < count && !cancel; ++k) {
                        under = k + 1;
                        checkpoint();
                        if (!cancel)
                            work(k);
                    }
                    return;
                }
                // Items shared among threads: only the thread the runner called passes the checkpoint.
                const std::thread::id caller = std::this_thread::get_id();
                const std::vector<std::exception_ptr> failures = share_items(count, threads, [&](std::size_t k) {
                    if (cancel)
                        return;
                    under = k + 1;
                    if (std::this_thread::get_id() == caller)
                        checkpoint();
                    if (!cancel)
                        work(k);
                });
                for (const std::exception_ptr& failure : failures)
                    if (failure)
                        std::rethrow_exception(failure);
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
