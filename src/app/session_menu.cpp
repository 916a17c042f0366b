#include "app/session_menu.h"

namespace tarvik {

void register_session_handlers(HandlerTable&) {}

} // namespace tarvik
