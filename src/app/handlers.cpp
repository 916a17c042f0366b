#include "app/handlers.h"

namespace tarvik {

void register_no_action_handlers(HandlerTable& table) {
    static const char* const kNames[] = {
        "menu__file_Callback",
        "button_step_1_Callback",
        "button_step_2_Callback",
        "frame_step_1a_ButtonDownFcn",
        "popupmenu_normalize_spectral1_Callback",
        "popupmenu_normalize_spectral1_CreateFcn",
        "popupmenu_normalize_duration_Callback",
        "popupmenu_normalize_duration_CreateFcn",
        "listbox_groupings_CreateFcn",
        "listbox_types_CreateFcn",
        "listbox_currVowel_select_CreateFcn",
        "edit_currVowel_name_CreateFcn",
        "listbox_currVowel_defined_Callback",
        "listbox_currVowel_defined_CreateFcn",
        "popupmenu_overlap_group_a_Callback",
        "popupmenu_overlap_group_a_CreateFcn",
        "popupmenu_overlap_group_b_Callback",
        "popupmenu_overlap_group_b_CreateFcn",
        "popupmenu_plotSelection_Callback",
        "popupmenu_plotSelection_CreateFcn",
        "checkbox_plot_group_a_Callback",
        "checkbox_plot_group_b_Callback",
        "popupmenu_plot_group_a_Callback",
        "popupmenu_plot_group_a_CreateFcn",
        "popupmenu_plot_group_b_Callback",
        "popupmenu_plot_group_b_CreateFcn",
        "popupmenu_plot_marker_group_CreateFcn",
        "popupmenu_plot_marker_color_CreateFcn",
        "popupmenu_plot_marker_type_CreateFcn",
        "popupmenu_plot_marker_line_CreateFcn",
        "edit_plot_title_Callback",
        "edit_plot_title_CreateFcn",
        "edit_plot_x_axis_Callback",
        "edit_plot_x_axis_CreateFcn",
        "edit_plot_y_axis_Callback",
        "edit_plot_y_axis_CreateFcn",
        "edit_plot_z_axis_Callback",
        "edit_plot_z_axis_CreateFcn",
        "edit_plot_title_2D_Callback",
        "edit_plot_x_axis_2D_Callback",
        "edit_plot_y_axis_2D_Callback",
        "checkbox_show_legend_Callback",
        "listbox_log_Callback",
        "listbox_log_CreateFcn",
    };
    for (const char* name : kNames)
        table.emplace(name, [](Runtime&, const ControlRef&, Handles) {});
}


} // namespace tarvik
