#pragma once

#include "app/handlers.h"

#include <string>

namespace tarvik {

// Help inside the program: F1 and the help buttons ("?") show a page of the help folder in the Help
// window, through the services' HelpService; and the two menu items that show or hide the buttons.

// The contents page, which links to every other page.
inline constexpr const char* kHelpIndexPage = "index.html";

// The page of a help button: its tag without the leading "button_", then ".html".
std::string help_page(const std::string& helpTag);

// The page of wizard step 1 to 4; the contents page for any other number.
std::string step_help_page(double step);

// The page F1 shows: the page of the control `focusedTag` where it has one, else that of the current
// step. A page may end in "#anchor", a place on the page.
std::string context_help_page(double currentStep, const std::string& focusedTag);

// Shows `page` in the Help window (nothing where the services have none).
void show_help(Runtime& rt, const std::string& page);

// F1 in the main window, `focusedTag` the tag of the control that has the keyboard focus (or empty).
void show_context_help(Runtime& rt, const std::string& focusedTag);

void menuitem_showHelpBoxes_Callback(Runtime& rt, const ControlRef& object, Handles handles);
void menuitem_hideHelpBoxes_Callback(Runtime& rt, const ControlRef& object, Handles handles);

void register_help_handlers(HandlerTable& table);

} // namespace tarvik
