#pragma once

#include "app/handlers.h"

namespace tarvik {

// Step 3's Continue: prepares every group for step 4 (constraints, tokens, extents, fits, the log
// listing), fills the group menus and opens step 4. Stops where the user must change the groups first.
void button_continue_to_overlap_Callback(Runtime& rt, const ControlRef& object, Handles handles);

// The one backward move: from step 4 to step 3, keeping the groups, their fits and the overlaps.
void button_step_3_Callback(Runtime& rt, const ControlRef& object, Handles handles);

// Puts the group names into the five group menus of step 4.
Handles populate_overlap_and_plot_popupmenus(Runtime& rt, Handles handles);

void register_pipeline_handlers(HandlerTable& table);

} // namespace tarvik
