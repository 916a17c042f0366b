#pragma once

#include "app/runtime.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tarvik {

// One argument of the entry: nothing ([]), a text, an object of the main window, or a record.
using EntryArg = std::variant<std::monostate, std::string, ControlRef, Handles>;

// The program's one entry. Creation form (no handler named): creates or reuses the main window, runs
// the opening function, shows the window unless a "visible" "off" pair says otherwise, and returns the
// output function's result. Callback form (a handler name, a live object, the event argument and the
// record): calls that handler.
std::optional<ControlRef> zerivizi_export(Runtime& rt, const std::vector<EntryArg>& args);

// Returns the live main window when asked to reuse it; otherwise builds a new one from the layout.
std::shared_ptr<Figure> ZERIVIzi_export_LayoutFcn(Runtime& rt, bool reuse);

// Makes `window` the main window: each object's creation handler runs and the view is created for it
// (rt.onWindowCreated). Used for a window built from the layout and for one re-created from a session file.
void install_main_window(Runtime& rt, const std::shared_ptr<Figure>& window);

void ZERIVIzi_export_OpeningFcn(Runtime& rt, Figure& window, Handles handles, const std::vector<EntryArg>& args);
std::optional<ControlRef> ZERIVIzi_export_OutputFcn(Runtime& rt, const std::optional<Handles>& handles);

// The callback text a control carries for a handler, and its evaluation: the text names the entry
// (matched without regard to case) and the handler, and is called for the object whose event fired.
std::string callback_text(const std::string& handler);
void run_callback_text(Runtime& rt, const std::string& text, const ControlRef& object);

enum class Event { Callback, CreateFcn, ButtonDownFcn };

// A user action on a control or menu item of the main window: runs the handler its callback names.
// A disabled or inactive control, or one without a handler, does nothing.
void dispatch_event(Runtime& rt, const std::string& tag, Event event = Event::Callback);

} // namespace tarvik
