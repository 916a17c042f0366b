#pragma once

#include "app/handlers.h"
#include "app/step.h"
#include "core/fit_orientation.h"

namespace tarvik {

// "Mirrored fit axes (compatibility)" in the File menu: switches every fit between axes along the
// least-squares lines and the mirrored axes of older sessions. Groups that are fitted already are
// fitted again at once, and overlap results of the earlier fits are cleared, so that what is shown and
// stored always belongs to one orientation. The log says what changed.
void menuItem_mirroredFitAxes_Callback(Runtime& rt, const ControlRef& object, Handles handles);

// The same switch as a step: to the orientation asked for; done at once when the session has it.
StepReport set_fit_orientation(Runtime& rt, FitOrientation orientation);

void register_fit_axes_handlers(HandlerTable& table);

} // namespace tarvik
