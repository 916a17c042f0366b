#pragma once

#include "app/handlers.h"

#include <string>
#include <utility>
#include <vector>

namespace tarvik {

// Every unordered pair (i, j), i < j, of n groups in lexicographic order; 1-based.
std::vector<std::pair<int, int>> all_pairs(int n);

// Runs the 2D or 3D overlap ("2D" / "3D") for the pair chosen in the menus, or for every pair when the
// check box is ticked, under one progress dialog. The status is 1 on success, 0 when the driver failed.
HandlesAndStatus calculate_pairs_for_overlap(Runtime& rt, Handles handles, const std::string& overlapType);

void button_calculate_3Doverlap_Callback(Runtime& rt, const ControlRef& object, Handles handles);
void button_calculate_2Doverlap_Callback(Runtime& rt, const ControlRef& object, Handles handles);
void checkbox_all_group_overlap_Callback(Runtime& rt, const ControlRef& object, Handles handles);

void register_overlap_handlers(HandlerTable& table);

} // namespace tarvik
