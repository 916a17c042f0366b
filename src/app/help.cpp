#include "app/help.h"

namespace tarvik {

void register_help_handlers(HandlerTable&) {}

} // namespace tarvik
