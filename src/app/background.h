#pragma once

#include "app/runtime.h"

#include <cstddef>
#include <functional>
#include <string>

namespace tarvik {

// The threads the runtime's runner offers for work that splits into items (1 without a runner).
int runner_threads(const Runtime& rt);

// Runs `work(k)` for k = 0 .. count - 1 in order, away from the window's thread (Services::background),
// under a progress dialog titled `message` whose text names the item under way (`label(k)`). The work
// must touch only its own data: not the window, the runtime or a service. Cancel stops the run between
// two items; then the result is false and the caller leaves the session as it was. A failure of the work
// is passed on once the progress dialog is closed. With `threads` above 1 the items are shared among that
// many threads (share_items): `work(k)` must then touch only what belongs to item k.
bool run_items_in_background(Runtime& rt, const std::string& message, std::size_t count,
                             const std::function<std::string(std::size_t)>& label,
                             const std::function<void(std::size_t)>& work, int threads = 1);

} // namespace tarvik
