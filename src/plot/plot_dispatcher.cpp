#include "plot/plot_dispatcher.h"

namespace tarvik {

void register_plot_handlers(HandlerTable&) {}

} // namespace tarvik
