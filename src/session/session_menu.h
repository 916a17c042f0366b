#pragma once

#include "app/handlers.h"
#include "app/step.h"

#include <nlohmann/json.hpp>

#include <memory>

namespace tarvik {

// Saving the session to a ".tarvik" file; asks for the name and writes the main window with its record.
void menuItem_saveSession_Callback(Runtime& rt, const ControlRef& object, Handles handles);

// Opening a session file: the file is read and checked in full first, and only a sound session replaces
// the main window and its record; anything else is reported and the current window stays as it was.
void menuItem_openSession_Callback(Runtime& rt, const ControlRef& object, Handles handles);

// Makes a window re-created from a session file the main window and shows it; the window it replaces is
// deleted afterwards. Plot windows are not touched.
void open_session_window(Runtime& rt, const std::shared_ptr<Figure>& window);

// A session file named by the batch tool or a test; a saved file gets ".tarvik" as from the menu.
struct SessionFileRequest {
    std::string path;
    friend bool operator==(const SessionFileRequest&, const SessionFileRequest&) = default;
};
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(SessionFileRequest, path)

// Opening and saving as the menu entries do, with the file already chosen. Done when the file was read and
// installed, or written.
StepReport open_session(Runtime& rt, const SessionFileRequest& request);
StepReport save_session(Runtime& rt, const SessionFileRequest& request);
// The session file's text of the running session.
std::string session_text(const Runtime& rt);

// Saving and opening session files from the File menu.
void register_session_handlers(HandlerTable& table);

} // namespace tarvik
