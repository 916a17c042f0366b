#pragma once

#include "app/handlers.h"

namespace tarvik {

// The plot buttons and the plot style controls of step 4.
void register_plot_handlers(HandlerTable& table);

} // namespace tarvik
