#pragma once

#include "app/handlers.h"

namespace tarvik {

// The help buttons and the menu items that show or hide them.
void register_help_handlers(HandlerTable& table);

} // namespace tarvik
