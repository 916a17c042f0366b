#pragma once

#include "app/handlers.h"

#include <optional>
#include <utility>
#include <vector>

namespace tarvik {

// Every unordered pair (i, j), i < j, of n groups in lexicographic order; 1-based.
std::vector<std::pair<int, int>> all_pairs(int n);
// The pairs a request names: its one pair, the smaller group first, or every pair of n groups.
std::vector<std::pair<int, int>> ordered_pairs(int n, std::optional<std::pair<int, int>> pair);

// The overlap buttons run the overlap step (overlap/overlap_step.h) on the request of the window's
// controls.
void button_calculate_3Doverlap_Callback(Runtime& rt, const ControlRef& object, Handles handles);
void button_calculate_2Doverlap_Callback(Runtime& rt, const ControlRef& object, Handles handles);
void checkbox_all_group_overlap_Callback(Runtime& rt, const ControlRef& object, Handles handles);

void register_overlap_handlers(HandlerTable& table);

} // namespace tarvik
