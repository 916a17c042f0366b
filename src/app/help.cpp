#include "app/help.h"

#include "app/guarded.h"

#include <algorithm>
#include <string_view>

namespace tarvik {

namespace {

const char* const kHelpLabel = "?";
const char* const kPageExtension = ".html";
const std::string_view kHelpButtonPrefix = "button_";
const std::string_view kHelpButtonTags = "button_help_";

const char* const kHelpButtonHandlers[] = {
    "button_help_loading_data_Callback",       "button_help_normalization_Callback",
    "button_help_normalize_spectral_Callback", "button_help_normalize_duration_Callback",
    "button_help_groupings_Callback",          "button_help_types_Callback",
    "button_help_constraints_Callback",
};

// The pages of the four steps, in step order.
const char* const kStepPages[] = {"help_loading_data.html", "help_normalization.html", "help_groupings.html",
                                  "help_overlap.html"};

// The controls with a page of their own (a help button's page follows from its tag).
struct ControlPage {
    const char* page;
    std::initializer_list<const char*> tags;
};
const ControlPage kControlPages[] = {
    {"help_loading_data.html", {"button_step_1", "button_load_file", "text_filename"}},
    {"help_column_mapping.html",
     {"popupmenu_header_subject", "popupmenu_header_vowel", "popupmenu_header_f1", "popupmenu_header_f2",
      "popupmenu_header_duration", "popupmenu_header_phraseduration", "button_continue_to_normalize"}},
    {"help_normalization.html", {"button_step_2", "button_continue_to_grouping"}},
    {"help_normalize_spectral.html", {"popupmenu_normalize_spectral1", "popupmenu_normalize_spectral2"}},
    {"help_normalize_duration.html", {"popupmenu_normalize_duration"}},
    {"help_groupings.html",
     {"button_step_3", "listbox_groupings", "listbox_currVowel_select", "edit_currVowel_name",
      "button_create_new_vowelNum", "button_currVowel_delete", "button_continue_to_overlap"}},
    {"help_types.html", {"listbox_types"}},
    {"help_constraints.html", {"listbox_currVowel_defined", "button_add", "button_add_to_all", "button_del"}},
    {"help_overlap.html",
     {"button_step_4", "popupmenu_overlap_group_a", "popupmenu_overlap_group_b", "checkbox_all_group_overlap",
      "button_calculate_2Doverlap", "button_calculate_3Doverlap"}},
    {"help_results.html", {"button_show_results"}},
    {"help_per_subject.html", {"checkbox_per_subject"}},
    {"help_bootstrap.html", {"edit_bootstrap_replicates", "edit_bootstrap_confidence"}},
    {"help_plots.html",
     {"popupmenu_plotSelection", "button_2d_plot", "button_3d_plot", "checkbox_plot_group_a",
      "checkbox_plot_group_b", "checkbox_plot_group_all", "popupmenu_plot_group_a", "popupmenu_plot_group_b",
      "checkbox_show_legend", "edit_plot_title", "edit_plot_x_axis", "edit_plot_y_axis", "edit_plot_z_axis",
      "edit_plot_title_2D", "edit_plot_x_axis_2D", "edit_plot_y_axis_2D"}},
    {"help_plots.html#styles",
     {"popupmenu_plot_marker_group", "popupmenu_plot_marker_color", "popupmenu_plot_marker_type",
      "popupmenu_plot_marker_line"}},
    {"help_sessions.html#log", {"listbox_log", "button_view_log", "button_save_log"}},
};

void set_help_boxes_visible(Runtime& rt, const Handles& handles, bool visible) {
    Figure& fig = rt.figure();
    for (const auto& tag : fig.find(Property::String, kHelpLabel))
        fig.set_visible(tag, visible);
    rt.store(handles);
}

} // namespace

std::string help_page(const std::string& helpTag) {
    const std::size_t prefix = helpTag.starts_with(kHelpButtonPrefix) ? kHelpButtonPrefix.size() : 0;
    return helpTag.substr(prefix) + kPageExtension;
}

std::string step_help_page(double step) {
    for (int k = 1; k <= 4; ++k)
        if (step == k)
            return kStepPages[k - 1];
    return kHelpIndexPage;
}

std::string context_help_page(double currentStep, const std::string& focusedTag) {
    if (focusedTag.starts_with(kHelpButtonTags))
        return help_page(focusedTag);
    for (const ControlPage& entry : kControlPages)
        if (std::ranges::find(entry.tags, focusedTag) != entry.tags.end())
            return entry.page;
    return step_help_page(currentStep);
}

void show_help(Runtime& rt, const std::string& page) {
    if (HelpService* help = rt.services().help)
        help->show(page);
}

void show_context_help(Runtime& rt, const std::string& focusedTag) {
    guarded(rt, ReportForm::B, "show_context_help", [&] {
        const auto& stored = rt.figure().retrieve();
        show_help(rt, context_help_page(stored ? stored->currStep : 0, focusedTag));
    });
}

void menuitem_showHelpBoxes_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    guarded(rt, ReportForm::B, "menuitem_showHelpBoxes_Callback",
            [&] { set_help_boxes_visible(rt, handles, true); });
}

void menuitem_hideHelpBoxes_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    guarded(rt, ReportForm::B, "menuitem_hideHelpBoxes_Callback",
            [&] { set_help_boxes_visible(rt, handles, false); });
}

void register_help_handlers(HandlerTable& table) {
    // Each help button asks for its own page: the page follows from the tag of the button that fired.
    for (const char* name : kHelpButtonHandlers)
        table.emplace(name, [](Runtime& rt, const ControlRef& object, const Handles&) {
            guarded(rt, ReportForm::B, "getHelp", [&] { show_help(rt, help_page(object.tag)); });
        });
    table.emplace("menuitem_showHelpBoxes_Callback", menuitem_showHelpBoxes_Callback);
    table.emplace("menuitem_hideHelpBoxes_Callback", menuitem_hideHelpBoxes_Callback);
}

} // namespace tarvik
