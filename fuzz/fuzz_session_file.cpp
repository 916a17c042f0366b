// Any bytes as a session file: the loader either refuses them with a SessionFileError (any other
// exception escapes and counts as a crash) or re-creates a window whose session writes and reads back
// as the same text. A window it accepts then becomes the main window and goes through the clicks of
// every step that end in bounded work (the overlap buttons are left out: their grid size is the user's
// choice); whatever the clicks leave must still save as a session that opens.
#include "fuzz_expect.h"
#include "app/entry.h"
#include "app/runtime.h"
#include "app/session_file.h"
#include "app/session_menu.h"
#include "ui/scripted_services.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

namespace {

using namespace tarvik;

const char* const kClicks[] = {
    "listbox_groupings",
    "listbox_types",
    "popupmenu_normalize_spectral1",
    "popupmenu_normalize_duration",
    "button_continue_to_grouping",
    "button_create_new_vowelNum",
    "listbox_currVowel_select",
    "edit_currVowel_name",
    "button_add",
    "button_add_to_all",
    "listbox_currVowel_defined",
    "button_del",
    "button_continue_to_overlap",
    "popupmenu_overlap_group_a",
    "popupmenu_overlap_group_b",
    "popupmenu_plotSelection",
    "popupmenu_plot_group_a",
    "checkbox_plot_group_all",
    "checkbox_show_legend",
    "popupmenu_plot_marker_group",
    "popupmenu_plot_marker_color",
    "popupmenu_plot_marker_type",
    "popupmenu_plot_marker_line",
    "button_2d_plot",
    "button_3d_plot",
    "button_view_log",
    "button_view_log",
    "button_currVowel_delete",
    "button_step_3",
    "button_step_2",
    "button_step_1",
    "button_step_4",
    "menuItem_saveSession",
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::shared_ptr<Figure> window;
    try {
        window = session_from_text(text);
    } catch (const SessionFileError& e) {
        EXPECT(std::string_view(e.what()).size() > 0);
        return 0;
    }
    EXPECT(window && window->retrieve());
    const std::string written = session_to_text(*window, *window->retrieve());
    const std::shared_ptr<Figure> again = session_from_text(written);
    EXPECT(again->window() == window->window());
    EXPECT(again->objects() == window->objects());
    EXPECT(session_to_text(*again, *again->retrieve()) == written);

    ScriptedServices scripted;
    Runtime rt(scripted.services());
    open_session_window(rt, window);
    for (const char* tag : kClicks)
        if (rt.main_window() && rt.figure().has(tag))
            dispatch_event(rt, tag);
    EXPECT(rt.main_window() == window && window->retrieve());
    const std::shared_ptr<Figure> reopened = session_from_text(session_to_text(*window, *window->retrieve()));
    EXPECT(reopened->objects() == window->objects());
    return 0;
}
