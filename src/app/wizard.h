#pragma once

#include "app/runtime.h"

namespace tarvik {

// Moves the step highlight to gotoStep and makes it the current step. Does not store the record.
Handles update_frame_colors(Runtime& rt, Handles handles, int gotoStep);

// Sets Enable on every control of one step (1-based).
void enable_step(Runtime& rt, const Handles& handles, int step, Enable enable);


} // namespace tarvik
