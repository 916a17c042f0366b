#include "session/session_menu.h"

#include "app/entry.h"
#include "app/guarded.h"
#include "app/log.h"
#include "session/session_file.h"

#include <filesystem>

namespace tarvik {

namespace {

const char* const kFilter = "*.tarvik";
const char* const kSaveTitle = "Save session";
const char* const kOpenTitle = "Open a .tarvik session file";
const char* const kNoFileText =
    "This file is empty or you selected 'Cancel'. Please select a different file.";
const char* const kNoFileTitle = "Could not open file.";
const char* const kOpenedMirroredNote =
    "This session was saved before fit axes followed the data: its fits keep their mirrored axes "
    "(File > Mirrored fit axes (compatibility) is checked).";

} // namespace

void menuItem_saveSession_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    guarded(rt, ReportForm::B, "menuItem_saveSession_Callback", [&] {
        const std::optional<FileChoice> choice = rt.dialogs().save_file(kFilter, kSaveTitle);
        if (!choice || choice->name.empty())
            return;
        FileChoice target = *choice;
        target.name = with_session_extension(target.name);
        save_session_file(target.path(), rt.figure(), handles);
        rt.figure().mark_saved(kLogTag);
    });
}

namespace {

// Reads, checks and installs a session file; the log says when its fits keep mirrored axes.
void open_session_at(Runtime& rt, const std::string& path) {
    int format = kSessionFormatVersion;
    open_session_window(rt, load_session_file(path, &format));
    if (format == 1)
        update_log(rt, *rt.figure().retrieve(), kOpenedMirroredNote);
    rt.figure().mark_saved(kLogTag);
}

} // namespace

std::string session_text(const Runtime& rt) { return session_to_text(rt.figure(), *rt.figure().retrieve()); }

StepReport open_session(Runtime& rt, const SessionFileRequest& request) {
    return run_step(rt, [&] {
        return !refused_while_another_runs(rt) &&
               guarded(rt, ReportForm::B, "menuItem_openSession_Callback", [&] { open_session_at(rt, request.path); });
    });
}

StepReport save_session(Runtime& rt, const SessionFileRequest& request) {
    return run_step(rt, [&] {
        std::filesystem::path path(request.path);
        path.replace_filename(with_session_extension(path.filename().string()));
        return guarded(rt, ReportForm::B, "menuItem_saveSession_Callback",
                       [&] {
                           save_session_file(path.string(), rt.figure(), *rt.figure().retrieve());
                           rt.figure().mark_saved(kLogTag);
                       });
    });
}

void menuItem_openSession_Callback(Runtime& rt, const ControlRef&, Handles) {
    if (refused_while_another_runs(rt))
        return;
    guarded(rt, ReportForm::B, "menuItem_openSession_Callback", [&] {
        const std::optional<FileChoice> choice = rt.dialogs().open_file(kFilter, kOpenTitle);
        if (!choice || choice->name.empty()) {
            rt.dialogs().wait(
                rt.dialogs().message({kNoFileText}, kNoFileTitle, Icon::None, WindowStyle::NonModal));
            return;
        }
        // Read and checked before anything is closed: a file that cannot be used leaves the session as it is.
        open_session_at(rt, choice->path());
    });
}

void open_session_window(Runtime& rt, const std::shared_ptr<Figure>& window) {
    const std::shared_ptr<Figure> previous = rt.main_window();
    try {
        install_main_window(rt, window);
        window->set_window_visible(true);
        window->everShown = true;
    } catch (...) {
        // The old window goes on as the main window.
        window->destroy();
        rt.set_main_window(previous);
        throw;
    }
    // The new window is on screen before the old one closes, so the program never runs without a window.
    if (previous && previous != window)
        previous->destroy();
}

void register_session_handlers(HandlerTable& table) {
    table.emplace("menuItem_saveSession_Callback", menuItem_saveSession_Callback);
    table.emplace("menuItem_openSession_Callback", menuItem_openSession_Callback);
}

} // namespace tarvik
