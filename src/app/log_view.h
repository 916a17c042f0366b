#pragma once

#include "app/handlers.h"

#include <string>

namespace tarvik {

// Showing, hiding and saving the activity log. The log is the item list of listbox_log and nothing
// else; entries are appended by update_log, not here.

// Brings the log up over the left three quarters of the window, with the two covers and without the
// popup menus (which would otherwise show through).
Handles log_view(Runtime& rt, Handles handles);
// Hides the log and its covers and shows the popup menus again. The log keeps its position.
Handles log_hide(Runtime& rt, Handles handles);
// Asks for a file and writes the log to it, one item per line. An existing file is replaced only once
// the whole log has been written.
void log_save(Runtime& rt, const Handles& handles);

void button_view_log_Callback(Runtime& rt, const ControlRef& object, Handles handles);
void button_save_log_Callback(Runtime& rt, const ControlRef& object, Handles handles);

// The saved form of the log: every item followed by a line break, an empty item just the line break.
std::string log_file_text(const TextList& items);

void register_log_handlers(HandlerTable& table);

} // namespace tarvik
