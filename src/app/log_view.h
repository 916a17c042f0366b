#pragma once

#include "app/handlers.h"

namespace tarvik {

// Showing, hiding and saving the activity log.
void register_log_handlers(HandlerTable& table);

} // namespace tarvik
