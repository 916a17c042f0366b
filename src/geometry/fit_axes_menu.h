#pragma once

#include "app/handlers.h"

namespace tarvik {

// "Mirrored fit axes (compatibility)" in the File menu: switches every fit between axes along the
// least-squares lines and the mirrored axes of older sessions. Groups that are fitted already are
// fitted again at once, and overlap results of the earlier fits are cleared, so that what is shown and
// stored always belongs to one orientation. The log says what changed.
void menuItem_mirroredFitAxes_Callback(Runtime& rt, const ControlRef& object, Handles handles);

void register_fit_axes_handlers(HandlerTable& table);

} // namespace tarvik
