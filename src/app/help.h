#pragma once

#include "app/handlers.h"

#include <string>

namespace tarvik {

// The help buttons ("?") and the menu items that show or hide them. Help is the web site's main page,
// or, when no browser starts, the button's local help page in the system's text editor.

// The local help page of a help button: its tag without the leading "button_", then the extension.
std::string help_page(const std::string& helpTag, const std::string& extension);

// Asks whether to connect, then opens the site's main page or the local page of the button `helpPage`
// (its tag). Works on its own copy of the record: every request tries the browser first again.
void getHelp(Runtime& rt, const std::string& helpPage, Handles handles);

void menuitem_showHelpBoxes_Callback(Runtime& rt, const ControlRef& object, Handles handles);
void menuitem_hideHelpBoxes_Callback(Runtime& rt, const ControlRef& object, Handles handles);

void register_help_handlers(HandlerTable& table);

} // namespace tarvik
