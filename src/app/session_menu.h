#pragma once

#include "app/handlers.h"

namespace tarvik {

// Saving and opening session files from the File menu.
void register_session_handlers(HandlerTable& table);

} // namespace tarvik
