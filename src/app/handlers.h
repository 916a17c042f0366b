#pragma once

#include "app/runtime.h"

#include <functional>
#include <map>
#include <string>

namespace tarvik {

// A handler receives the object whose event fired and its own copy of the record; the event argument
// of the callback convention is always empty and is not passed on.
using Handler = std::function<void(Runtime& rt, const ControlRef& object, Handles handles)>;

using HandlerTable = std::map<std::string, Handler>;

// Every handler of the main window by name, assembled above the subsystems (src/program); a control
// whose handler is not in the table does nothing when used.
const HandlerTable& handler_table();

// Handlers that exist because a callback names them, and do nothing.
void register_no_action_handlers(HandlerTable& table);
void register_file_menu_handlers(HandlerTable& table);

} // namespace tarvik
