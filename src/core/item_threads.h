#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <vector>

namespace tarvik {

// Calls work(k) for k = 0 .. count - 1, shared among up to `threads` threads, the calling one among them:
// each takes the next item not taken yet. work(k) must touch nothing but what belongs to item k (its
// result's place), so that the outcome is the same for any number of threads. What work(k) throws is
// kept as item k's failure and the other items go on; the result holds each item's failure, or none.
// A thread that cannot be started leaves its share to the others.
std::vector<std::exception_ptr> share_items(std::size_t count, int threads,
                                            const std::function<void(std::size_t)>& work);

} // namespace tarvik
