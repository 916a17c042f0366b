#include "app/file_menu.h"

#include "app/guarded.h"
#include "app/log.h"
#include "app/handlers.h"

namespace tarvik {

namespace {

const char* const kNotYetText = "Sorry, I haven't gotten to that yet. Please remind me if this is particulary "
                                "important feature or if you would like to see it enacted in a special way.";
const char* const kNotYetTitle = "Just a note";
const char* const kAboutTitle = "About ZERIVIzi";
const char* const kQuitTitle = "Quit TARVIK3D?";
const char* const kQuitText = "Did you remember to save your session? Are you sure you want to quit now?";

} // namespace

void not_yet(Runtime& rt) {
    const DialogRef d = rt.dialogs().message({kNotYetText}, kNotYetTitle, Icon::Warn, WindowStyle::NonModal);
    rt.dialogs().wait(d);
}

void menuItem_about_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    guarded(rt, ReportForm::A, "menuItem_about_Callback", [&] {
        const DialogRef d = rt.dialogs().message(handles.aboutMessage, kAboutTitle, Icon::None, WindowStyle::Modal);
        rt.dialogs().wait(d);
    });
}

void menuItem_print_Callback(Runtime& rt, const ControlRef&, Handles) {
    guarded(rt, ReportForm::A, "menuItem_print_Callback",
            [&] { rt.services().printer->print_window(rt.figure()); });
}

void menuItem_exit_Callback(Runtime& rt, const ControlRef&, Handles) {
    guarded(rt, ReportForm::A, "menuItem_exit_Callback", [&] {
        // Nothing to lose since the window started or the session was last saved or opened: no question.
        if (rt.figure().changed_since_saved(kLogTag) &&
            rt.dialogs().question(kQuitText, kQuitTitle, "Yes", "No", "No") == "No")
            return;
        rt.delete_main_window();
    });
}

void button_load_vowelGroup_Callback(Runtime& rt, const ControlRef&, Handles) {
    guarded(rt, ReportForm::A, "button_load_vowelGroup_Callback", [&] { not_yet(rt); });
}

void button_save_vowelGroup_Callback(Runtime& rt, const ControlRef&, Handles) { not_yet(rt); }

void register_file_menu_handlers(HandlerTable& table) {
    table.emplace("menuItem_about_Callback", menuItem_about_Callback);
    table.emplace("menuItem_print_Callback", menuItem_print_Callback);
    table.emplace("menuItem_exit_Callback", menuItem_exit_Callback);
    table.emplace("button_load_vowelGroup_Callback", button_load_vowelGroup_Callback);
    table.emplace("button_save_vowelGroup_Callback", button_save_vowelGroup_Callback);
}

} // namespace tarvik
