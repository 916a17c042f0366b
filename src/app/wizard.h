#pragma once

#include "app/handlers.h"

namespace tarvik {

// Moves the step highlight to gotoStep and makes it the current step. Does not store the record.
Handles update_frame_colors(Runtime& rt, Handles handles, int gotoStep);

// Sets Enable on every control of one step (1-based).
void enable_step(Runtime& rt, const Handles& handles, int step, Enable enable);

// The one backward move: from step 4 to step 3.
void button_step_3_Callback(Runtime& rt, const ControlRef& object, Handles handles);

void register_wizard_handlers(HandlerTable& table);

} // namespace tarvik
