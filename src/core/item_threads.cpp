#include "core/item_threads.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>

namespace tarvik {

std::vector<std::exception_ptr> share_items(std::size_t count, int threads,
                                            const std::function<void(std::size_t)>& work) {
    std::vector<std::exception_ptr> failures(count);
    std::atomic<std::size_t> next = 0;
    const auto take_items = [&] {
        for (std::size_t k; (k = next++) < count;) {
            try {
                work(k);
            } catch (...) {
                failures[k] = std::current_exception();
            }
        }
    };
    // At most one thread per item; the calling thread is one of them.
    const std::size_t sharing = std::min(count, static_cast<std::size_t>(std::max(threads, 1)));
    const std::size_t helpers = sharing > 0 ? sharing - 1 : 0;
    {
        std::vector<std::jthread> started;
        started.reserve(helpers);
        for (std::size_t t = 0; t < helpers; ++t) {
            try {
                started.emplace_back(take_items);
            } catch (const std::system_error&) {
                break;
            }
        }
        take_items();
    } // the helpers are joined here
    return failures;
}

} // namespace tarvik
