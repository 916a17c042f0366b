#include "ui/layout.h"

#include "ui/menus.h"

#include <utility>

namespace tarvik {

namespace {

// Colours of the layout, out of 255.
const Color kStep = rgb255(220, 231, 231);
const Color kCurrent = rgb255(253, 224, 206);
const Color kPanel = rgb255(221, 202, 221);
const Color kShadow = rgb255(192, 192, 192);
const Color kHelp = rgb255(255, 255, 0);

const TextList kBannerLines = {"Vowel space overlap", "in two and three dimensions",
                               "version 0.98", "release 12.31.04"};

// Builds one row of the layout table.
class Row {
  public:
    Row(const char* tag, Style style, TextList label, Rect position) {
        c_.tag = tag;
        c_.style = style;
        c_.string = std::move(label);
        c_.position = position;
        // Item lists start with their first item selected; everything else starts at 0.
        c_.value = {style == Style::PopupMenu || style == Style::ListBox ? 1.0 : 0.0};
    }
    Row&& on_callback(const char* handler) && { return c_.callback = handler, std::move(*this); }
    Row&& on_create(const char* handler) && { return c_.createFcn = handler, std::move(*this); }
    Row&& on_button_down(const char* handler) && { return c_.buttonDownFcn = handler, std::move(*this); }
    Row&& enable(Enable e) && { return c_.enable = e, std::move(*this); }
    Row&& hidden() && { return c_.visible = false, std::move(*this); }
    Row&& background(Color c) && { return c_.background = c, std::move(*this); }
    Row&& foreground(Color c) && { return c_.foreground = c, std::move(*this); }
    Row&& bold() && { return c_.bold = true, std::move(*this); }
    Row&& align(Align a) && { return c_.alignment = a, std::move(*this); }
    Row&& tooltip(const char* t) && { return c_.tooltip = t, std::move(*this); }
    Row&& font_size(double s) && { return c_.fontSize = s, std::move(*this); }
    Row&& value(double v) && { return c_.value = {v}, std::move(*this); }
    Row&& max(double m) && { return c_.max = m, std::move(*this); }
    Row&& discard_while_busy() && { return c_.discardWhileBusy = true, std::move(*this); }
    operator Control() && { return std::move(c_); }

  private:
    Control c_;
};

Row ctl(const char* tag, Style style, TextList label, Rect position) {
    return Row(tag, style, std::move(label), position);
}

Control menu_item(const char* tag, const char* parent, const char* label, bool separator, const char* handler) {
    Control c;
    c.tag = tag;
    c.style = Style::Menu;
    c.parent = parent;
    c.string = {label};
    c.separator = separator;
    c.callback = handler;
    return c;
}

// A menu item with a check mark: its value is 1 while checked, 0 otherwise.
Control check_menu_item(const char* tag, const char* parent, const char* label, bool separator,
                        const char* handler) {
    Control c = menu_item(tag, parent, label, separator, handler);
    c.value = {0};
    return c;
}

} // namespace

WindowProps main_window_properties() {
    WindowProps w;
    w.name = "ZERIVIzi";
    w.color = rgb255(224, 223, 227);
    w.pixelPosition = {5, 74, 1010, 645};
    w.visible = false;
    w.resizable = true;
    w.numberTitle = false;
    w.menuBar = "none";
    return w;
}

std::vector<Control> main_window_layout() {
    std::vector<Control> objects = {
        menu_item("menu_file", Figure::kWindowTag, "File", false, "menu__file_Callback"),
        menu_item("menuItem_openSession", "menu_file", "Open Session", false, "menuItem_openSession_Callback"),
        menu_item("menuItem_saveSession", "menu_file", "Save Session", false, "menuItem_saveSession_Callback"),
        menu_item("menuItem_print", "menu_file", "Print ...", true, "menuItem_print_Callback"),
        menu_item("menuitem_showHelpBoxes", "menu_file", "Show Help Boxes", true,
                  "menuitem_showHelpBoxes_Callback"),
        menu_item("menuitem_hideHelpBoxes", "menu_file", "Hide Help Boxes", false,
                  "menuitem_hideHelpBoxes_Callback"),
        check_menu_item(kMirroredFitAxesTag, "menu_file", "Mirrored fit axes (compatibility)", true,
                        "menuItem_mirroredFitAxes_Callback"),
        menu_item("menuItem_about", "menu_file", "About ZERIVIzi", true, "menuItem_about_Callback"),
        menu_item("menuItem_exit", "menu_file", "Exit", true, "menuItem_exit_Callback"),
    };
    std::vector<Control> controls = {
        ctl("text48", Style::Text, {}, {0.302, 0.279, 0.463, 0.662})
            .background(kShadow),
        ctl("frame_step_3a", Style::Text, {}, {0.296, 0.284, 0.466, 0.668})
            .background(kStep),
        ctl("frame42", Style::Frame, {}, {0.306, 0.299, 0.239, 0.374})
            .background(kPanel),
        ctl("frame_step_3b_inner", Style::Frame, {}, {0.306, 0.687, 0.239, 0.234})
            .background(kPanel),
        ctl("frame55", Style::Frame, {}, {0.563, 0.780, 0.189, 0.093})
            .background(kPanel),
        ctl("text51", Style::Text, {}, {0.784, 0.016, 0.209, 0.916})
            .background(kShadow),
        ctl("frame_step_4a", Style::Text, {}, {0.781, 0.020, 0.209, 0.932})
            .background(kStep),
        ctl("text91", Style::Text, {}, {0.454, 0.017, 0.538, 0.234})
            .background(kShadow),
        ctl("frame_step_5b", Style::Text, {}, {0.454, 0.020, 0.536, 0.250})
            .background(kStep),
        ctl("text47", Style::Text, {}, {0.022, 0.403, 0.258, 0.541})
            .background(kShadow),
        ctl("frame_step_1a", Style::Text, {}, {0.019, 0.408, 0.259, 0.544})
            .on_button_down("frame_step_1a_ButtonDownFcn")
            .background(kCurrent),
        ctl("text49", Style::Text, {}, {0.019, 0.062, 0.261, 0.291})
            .background(kShadow),
        ctl("frame_step_2a", Style::Text, {}, {0.019, 0.067, 0.258, 0.281})
            .background(kStep),
        ctl("frame_step_3e_inner", Style::Frame, {}, {0.563, 0.299, 0.189, 0.467})
            .background(kPanel),
        ctl("frame_step_4_inner", Style::Frame, {}, {0.791, 0.594, 0.189, 0.329})
            .background(kPanel),
        ctl("frame38", Style::Frame, {}, {0.029, 0.082, 0.239, 0.250})
            .background(kPanel),
        ctl("frame_header", Style::Frame, {}, {0.029, 0.439, 0.237, 0.482})
            .background(kPanel),
        ctl("frame_step_5_inner", Style::Frame, {}, {0.791, 0.268, 0.189, 0.312})
            .background(kPanel),
        ctl("text69", Style::Frame, {}, {0.474, 0.036, 0.506, 0.219})
            .background(kPanel),
        ctl("frame_step_3c_inner", Style::Frame, {}, {0.415, 0.594, 0.060, 0.157})
            .background(kPanel),
        ctl("frame52", Style::Frame, {}, {0.514, 0.332, 0.080, 0.202})
            .background(kPanel),
        ctl("button_step_1", Style::PushButton, {"Step 1: Data specification"}, {0.019, 0.932, 0.262, 0.036})
            .on_callback("button_step_1_Callback")
            .background(kCurrent)
            .foreground({0.255, 0.055, 0.271})
            .bold()
            .align(Align::Left)
            .tooltip("Select a data file to load"),
        ctl("text_filename", Style::Edit, {"(no file loaded currently)"}, {0.039, 0.857, 0.218, 0.034})
            .enable(Enable::Off)
            .background(kPanel),
        ctl("button_help_loading_data", Style::PushButton, {"?"}, {0.247, 0.825, 0.020, 0.034})
            .on_callback("button_help_loading_data_Callback")
            .background(kHelp),
        ctl("button_load_file", Style::PushButton, {"Load File"}, {0.039, 0.808, 0.219, 0.036})
            .discard_while_busy()
            .on_callback("button_load_file_Callback")
            .tooltip("Click here to load a tab delimited text file with headers"),
        ctl("text8", Style::Text, {"Select correct headers:"}, {0.039, 0.766, 0.139, 0.031})
            .background(kPanel)
            .font_size(10)
            .tooltip("Select the header names in your file that correspond to these parameters. This is necessary for normalization."),
        ctl("text_header_subject", Style::Text, {"Subject"}, {0.038, 0.740, 0.070, 0.028})
            .background(kPanel),
        ctl("popupmenu_header_subject", Style::PopupMenu, {" "}, {0.107, 0.737, 0.149, 0.031})
            .enable(Enable::Off)
            .background({0.502, 0.000, 0.251}),
        ctl("text_header_vowel", Style::Text, {"Vowel"}, {0.038, 0.694, 0.070, 0.028})
            .background(kPanel)
            .tooltip("This is necessary for any normalization algorithms"),
        ctl("popupmenu_header_vowel", Style::PopupMenu, {" "}, {0.107, 0.691, 0.149, 0.031})
            .enable(Enable::Off),
        ctl("text_header_f1", Style::Text, {"Spectral 1"}, {0.038, 0.648, 0.070, 0.028})
            .background(kPanel)
            .tooltip("e.g., F1"),
        ctl("popupmenu_header_f1", Style::PopupMenu, {" "}, {0.107, 0.645, 0.149, 0.031})
            .enable(Enable::Off),
        ctl("text_header_f2", Style::Text, {"Spectral 2"}, {0.038, 0.602, 0.070, 0.028})
            .background(kPanel)
            .tooltip("e.g., F2"),
        ctl("popupmenu_header_f2", Style::PopupMenu, {" "}, {0.107, 0.598, 0.149, 0.031})
            .enable(Enable::Off),
        ctl("popupmenu_header_duration", Style::PopupMenu, {" "}, {0.107, 0.552, 0.149, 0.031})
            .enable(Enable::Off),
        ctl("text_header_duration", Style::Text, {"Temporal", "segment"}, {0.041, 0.546, 0.060, 0.047})
            .background(kPanel)
            .tooltip("e.g., Segment duration"),
        ctl("popupmenu_header_phraseduration", Style::PopupMenu, {" "}, {0.107, 0.506, 0.149, 0.031})
            .enable(Enable::Off),
        ctl("text_header_phraseduration", Style::Text, {"Temporal", "phrase"}, {0.036, 0.474, 0.071, 0.064})
            .background(kPanel)
            .tooltip("e.g., phrase duration"),
        ctl("button_continue_to_normalize", Style::PushButton, {"Continue"}, {0.039, 0.451, 0.219, 0.036})
            .on_callback("button_continue_to_normalize_Callback")
            .enable(Enable::Off),
        ctl("button_help_normalization", Style::PushButton, {"?"}, {0.266, 0.360, 0.020, 0.034})
            .on_callback("button_help_normalization_Callback")
            .background(kHelp),
        ctl("button_step_2", Style::PushButton, {"Step 2: Normalization"}, {0.019, 0.343, 0.262, 0.036})
            .on_callback("button_step_2_Callback")
            .background(kStep)
            .foreground({0.255, 0.055, 0.271})
            .align(Align::Left)
            .tooltip("Normalize the data if needed"),
        ctl("label_step_2a", Style::Text, {"Options:"}, {0.039, 0.285, 0.120, 0.031})
            .background(kPanel)
            .font_size(10)
            .align(Align::Left),
        ctl("text109", Style::Text, {"Spectral 1"}, {0.039, 0.247, 0.060, 0.023})
            .background(kPanel)
            .tooltip("e.g., F1"),
        ctl("popupmenu_normalize_spectral1", Style::PopupMenu, {" "}, {0.108, 0.237, 0.150, 0.031})
            .on_callback("popupmenu_normalize_spectral1_Callback")
            .on_create("popupmenu_normalize_spectral1_CreateFcn")
            .enable(Enable::Off),
        ctl("button_help_normalize_spectral", Style::PushButton, {"?"}, {0.266, 0.219, 0.020, 0.034})
            .on_callback("button_help_normalize_spectral_Callback")
            .background(kHelp),
        ctl("label_step_2b", Style::Text, {"Spectral 2"}, {0.039, 0.200, 0.060, 0.023})
            .background(kPanel)
            .tooltip("e.g., F2"),
        ctl("popupmenu_normalize_spectral2", Style::PopupMenu, {" "}, {0.108, 0.192, 0.150, 0.031})
            .enable(Enable::Off),
        ctl("label_step_2c", Style::Text, {"Temporal 1"}, {0.039, 0.149, 0.060, 0.026})
            .background(kPanel)
            .tooltip("e.g., Segment duration"),
        ctl("popupmenu_normalize_duration", Style::PopupMenu, {" "}, {0.108, 0.146, 0.150, 0.031})
            .on_callback("popupmenu_normalize_duration_Callback")
            .on_create("popupmenu_normalize_duration_CreateFcn")
            .enable(Enable::Off),
        ctl("button_help_normalize_duration", Style::PushButton, {"?"}, {0.266, 0.146, 0.020, 0.034})
            .on_callback("button_help_normalize_duration_Callback")
            .background(kHelp),
        ctl("button_continue_to_grouping", Style::PushButton, {"Continue"}, {0.039, 0.095, 0.219, 0.036})
            .on_callback("button_continue_to_grouping_Callback")
            .enable(Enable::Off),
        ctl("button_step_3", Style::PushButton, {"Step 3: Group specification"}, {0.296, 0.932, 0.470, 0.036})
            .on_callback("button_step_3_Callback")
            .background(kStep)
            .foreground({0.255, 0.055, 0.271})
            .align(Align::Left)
            .tooltip("Click this button to return to this step."),
        ctl("button_continue_to_overlap", Style::PushButton, {"Continue"}, {0.563, 0.890, 0.189, 0.036})
            .on_callback("button_continue_to_overlap_Callback")
            .enable(Enable::Off),
        ctl("label1_step_3", Style::Text, {"Categories:"}, {0.316, 0.881, 0.079, 0.025})
            .background(kPanel)
            .font_size(10)
            .align(Align::Left)
            .tooltip("'Groupings' indicates the additional columns in the spreadsheet."),
        ctl("button_create_new_vowelNum", Style::PushButton, {"Create new grouping"}, {0.583, 0.831, 0.150, 0.036})
            .on_callback("button_create_new_vowelNum_Callback")
            .enable(Enable::Off),
        ctl("button_currVowel_delete", Style::PushButton, {"Delete selected grouping"}, {0.583, 0.784, 0.150, 0.036})
            .on_callback("button_currVowel_delete_Callback")
            .enable(Enable::Off)
            .foreground({1.000, 0.502, 0.251})
            .tooltip("Click to delete the current vowel group"),
        ctl("text19", Style::Text, {"Select a grouping to modify:"}, {0.573, 0.732, 0.169, 0.023})
            .background(kPanel)
            .bold()
            .align(Align::Left)
            .tooltip("Constraints defining the second vowel"),
        ctl("listbox_groupings", Style::ListBox, {}, {0.316, 0.719, 0.209, 0.155})
            .on_callback("listbox_groupings_Callback")
            .on_create("listbox_groupings_CreateFcn")
            .enable(Enable::Off),
        ctl("button_help_groupings", Style::PushButton, {"?"}, {0.306, 0.701, 0.020, 0.034})
            .on_callback("button_help_groupings_Callback")
            .background(kHelp),
        ctl("label2_step_3", Style::Text, {"Category types:"}, {0.316, 0.633, 0.100, 0.025})
            .background(kPanel)
            .font_size(10)
            .align(Align::Left)
            .tooltip("'Types' indicates all different values for this grouping"),
        ctl("listbox_currVowel_select", Style::ListBox, {"1 (change my name)", "2 (change my name)"}, {0.583, 0.631, 0.150, 0.095})
            .on_callback("listbox_currVowel_select_Callback")
            .on_create("listbox_currVowel_select_CreateFcn")
            .enable(Enable::Off),
        ctl("text18", Style::Text, {"Change grouping name:"}, {0.583, 0.603, 0.140, 0.025})
            .background(kPanel)
            .align(Align::Left)
            .tooltip("Constraints defining the first vowel"),
        ctl("edit_currVowel_name", Style::Edit, {" "}, {0.583, 0.563, 0.150, 0.033})
            .on_callback("edit_currVowel_name_Callback")
            .on_create("edit_currVowel_name_CreateFcn")
            .enable(Enable::Off),
        ctl("button_help_constraints", Style::PushButton, {"?"}, {0.544, 0.532, 0.020, 0.033})
            .on_callback("button_help_constraints_Callback")
            .background(kHelp),
        ctl("text81", Style::Text, {"Modify grouping constraints:"}, {0.597, 0.521, 0.140, 0.028})
            .background(kPanel)
            .align(Align::Left)
            .tooltip("Constraints defining the second vowel"),
        ctl("text116", Style::Text, {"Add to:"}, {0.531, 0.488, 0.045, 0.023})
            .background(kPanel),
        ctl("button_add", Style::PushButton, {">>"}, {0.540, 0.451, 0.030, 0.034})
            .on_callback("button_add_Callback")
            .enable(Enable::Off)
            .tooltip("Add the selected type constraint"),
        ctl("button_add_to_all", Style::PushButton, {"All>>"}, {0.540, 0.412, 0.030, 0.034})
            .on_callback("button_add_to_all_Callback")
            .enable(Enable::Off)
            .tooltip("Add the selected type constraint"),
        ctl("text117", Style::Text, {"Delete:"}, {0.530, 0.388, 0.049, 0.023})
            .background(kPanel),
        ctl("button_del", Style::PushButton, {"<<"}, {0.540, 0.350, 0.030, 0.034})
            .on_callback("button_del_Callback")
            .enable(Enable::Off)
            .tooltip("Delete the selected constraint"),
        ctl("listbox_types", Style::ListBox, {}, {0.316, 0.346, 0.209, 0.265})
            .on_callback("listbox_types_Callback")
            .on_create("listbox_types_CreateFcn")
            .enable(Enable::Off),
        ctl("listbox_currVowel_defined", Style::ListBox, {}, {0.583, 0.346, 0.150, 0.177})
            .on_callback("listbox_currVowel_defined_Callback")
            .on_create("listbox_currVowel_defined_CreateFcn")
            .enable(Enable::Off)
            .max(3),
        ctl("button_help_types", Style::PushButton, {"?"}, {0.306, 0.329, 0.020, 0.034})
            .on_callback("button_help_types_Callback")
            .background(kHelp),
        ctl("button_step_4", Style::PushButton, {"Step 4: Overlap and Plot"}, {0.781, 0.930, 0.212, 0.037})
            .on_callback("button_step_4_Callback")
            .enable(Enable::Inactive)
            .background(kStep)
            .foreground({0.255, 0.055, 0.271})
            .align(Align::Left)
            .tooltip("Click this button to return to this step."),
        ctl("text101", Style::Text, {"Calculate overlap options:"}, {0.801, 0.874, 0.158, 0.031})
            .background(kPanel)
            .font_size(10)
            .align(Align::Left),
        ctl("text63", Style::Text, {"Define groups:"}, {0.811, 0.847, 0.100, 0.023})
            .background(kPanel)
            .align(Align::Left),
        ctl("text64", Style::Text, {"A"}, {0.812, 0.815, 0.020, 0.028})
            .background(kPanel)
            .align(Align::Left),
        ctl("popupmenu_overlap_group_a", Style::PopupMenu, {}, {0.837, 0.815, 0.129, 0.028})
            .on_callback("popupmenu_overlap_group_a_Callback")
            .on_create("popupmenu_overlap_group_a_CreateFcn")
            .enable(Enable::Off),
        ctl("text65", Style::Text, {"B"}, {0.812, 0.782, 0.020, 0.028})
            .background(kPanel)
            .align(Align::Left),
        ctl("popupmenu_overlap_group_b", Style::PopupMenu, {}, {0.837, 0.782, 0.129, 0.028})
            .on_callback("popupmenu_overlap_group_b_Callback")
            .on_create("popupmenu_overlap_group_b_CreateFcn")
            .enable(Enable::Off),
        ctl("checkbox_all_group_overlap", Style::CheckBox, {"calculate all group overlaps"}, {0.811, 0.754, 0.149, 0.023})
            .on_callback("checkbox_all_group_overlap_Callback")
            .enable(Enable::Off)
            .background(kPanel),
        ctl("button_calculate_3Doverlap", Style::PushButton, {"Calculate 3D"}, {0.801, 0.655, 0.080, 0.036})
            .discard_while_busy()
            .on_callback("button_calculate_3Doverlap_Callback")
            .enable(Enable::Off)
            .tooltip("This is necessary for plotting ellipses, ellipsoids, and volumes."),
        ctl("button_calculate_2Doverlap", Style::PushButton, {"Calculate 2D"}, {0.890, 0.655, 0.080, 0.036})
            .discard_while_busy()
            .on_callback("button_calculate_2Doverlap_Callback")
            .enable(Enable::Off)
            .tooltip("This is necessary for plotting ellipses, ellipsoids, and volumes."),
        ctl("text107", Style::Text, {"Result:"}, {0.801, 0.630, 0.080, 0.022})
            .background(kPanel),
        ctl("text112", Style::Text, {"Result:"}, {0.890, 0.630, 0.080, 0.022})
            .background(kPanel),
        ctl("text_3D_overlap", Style::Text, {" -- "}, {0.801, 0.604, 0.080, 0.023})
            .background(kPanel),
        ctl("text_2D_overlap", Style::Text, {" -- "}, {0.890, 0.604, 0.080, 0.023})
            .background(kPanel),
        ctl(kShowResultsTag, Style::PushButton, {"Show results table"}, {0.801, 0.568, 0.169, 0.032})
            .on_callback("button_show_results_Callback")
            .enable(Enable::Off)
            .tooltip("The overlap results and the measures of every calculated pair, in a table to sort, "
                     "copy and export."),
        ctl(kPerSubjectTag, Style::CheckBox, {"Per subject"}, {0.811, 0.729, 0.149, 0.023})
            .enable(Enable::Off)
            .background(kPanel)
            .tooltip("Calculate each pair within each subject: the Results window shows each pair's summary "
                     "over the subjects and opens its subjects' values; a strip plot shows them."),
        ctl("text_bootstrap_replicates", Style::Text, {"Bootstrap:"}, {0.811, 0.700, 0.052, 0.023})
            .background(kPanel)
            .align(Align::Left),
        ctl(kReplicatesTag, Style::Edit, {"0"}, {0.864, 0.699, 0.036, 0.026})
            .background({1, 1, 1})
            .enable(Enable::Off)
            .tooltip("Bootstrap replicates for percentile intervals of each value and measure (0: none). "
                     "Each replicate draws every group's tokens again with replacement; 1000 is usual."),
        ctl("text_bootstrap_confidence", Style::Text, {"conf.:"}, {0.902, 0.700, 0.030, 0.023})
            .background(kPanel)
            .align(Align::Left),
        ctl(kConfidenceTag, Style::Edit, {"0.95"}, {0.933, 0.699, 0.036, 0.026})
            .background({1, 1, 1})
            .enable(Enable::Off)
            .tooltip("The confidence of the bootstrap intervals, between 0 and 1."),
        ctl("text59", Style::Text, {"Plot options:"}, {0.801, 0.533, 0.158, 0.031})
            .background(kPanel)
            .font_size(10)
            .align(Align::Left),
        ctl("text86", Style::Text, {"Plot the following groups:"}, {0.811, 0.507, 0.150, 0.025})
            .background(kPanel)
            .align(Align::Left),
        ctl("checkbox_plot_group_a", Style::CheckBox, {"A"}, {0.811, 0.470, 0.026, 0.033})
            .on_callback("checkbox_plot_group_a_Callback")
            .enable(Enable::Off)
            .background(kPanel)
            .value(1),
        ctl("popupmenu_plot_group_a", Style::PopupMenu, {" "}, {0.841, 0.470, 0.130, 0.033})
            .on_callback("popupmenu_plot_group_a_Callback")
            .on_create("popupmenu_plot_group_a_CreateFcn")
            .enable(Enable::Off),
        ctl("checkbox_plot_group_b", Style::CheckBox, {"B"}, {0.811, 0.423, 0.025, 0.033})
            .on_callback("checkbox_plot_group_b_Callback")
            .enable(Enable::Off)
            .background(kPanel)
            .value(1),
        ctl("popupmenu_plot_group_b", Style::PopupMenu, {" "}, {0.841, 0.423, 0.130, 0.033})
            .on_callback("popupmenu_plot_group_b_Callback")
            .on_create("popupmenu_plot_group_b_CreateFcn")
            .enable(Enable::Off),
        ctl("checkbox_plot_group_all", Style::CheckBox, {"All groups"}, {0.811, 0.377, 0.140, 0.033})
            .on_callback("checkbox_plot_group_all_Callback")
            .enable(Enable::Off)
            .background(kPanel),
        ctl("popupmenu_plotSelection", Style::PopupMenu, menu_labels(kPlotKindMenu), {0.811, 0.330, 0.159, 0.033})
            .on_callback("popupmenu_plotSelection_Callback")
            .on_create("popupmenu_plotSelection_CreateFcn")
            .enable(Enable::Off),
        ctl("button_3d_plot", Style::PushButton, {"3D Plot"}, {0.801, 0.281, 0.090, 0.036})
            .on_callback("button_3d_plot_Callback")
            .enable(Enable::Off),
        ctl("button_2d_plot", Style::PushButton, {"2D Plot"}, {0.900, 0.281, 0.070, 0.036})
            .on_callback("button_2d_plot_Callback")
            .enable(Enable::Off),
        ctl("button_load_vowelGroup", Style::PushButton, {"Load from..."}, {0.662, 0.250, 0.070, 0.036})
            .on_callback("button_load_vowelGroup_Callback")
            .enable(Enable::Off)
            .hidden(),
        ctl("button_save_vowelGroup", Style::PushButton, {"Save as..."}, {0.583, 0.250, 0.060, 0.036})
            .on_callback("button_save_vowelGroup_Callback")
            .enable(Enable::Off)
            .hidden(),
        ctl("text93", Style::Text, {"Markers:", ""}, {0.895, 0.219, 0.050, 0.025})
            .background(kPanel)
            .font_size(10)
            .align(Align::Right),
        ctl("text122", Style::Text, {"3D plot labels"}, {0.596, 0.217, 0.071, 0.023})
            .background(kPanel),
        ctl("text123", Style::Text, {"2D plot labels"}, {0.732, 0.216, 0.080, 0.023})
            .background(kPanel),
        ctl("text94", Style::Text, {"Title:"}, {0.544, 0.184, 0.041, 0.023})
            .background(kPanel)
            .align(Align::Right),
        ctl("text105", Style::Text, {"Group:"}, {0.834, 0.183, 0.041, 0.025})
            .background(kPanel)
            .align(Align::Right),
        ctl("text118", Style::Text, {"Title:"}, {0.692, 0.183, 0.032, 0.023})
            .background(kPanel)
            .align(Align::Right),
        ctl("edit_plot_title", Style::Edit, {"3D graph title"}, {0.593, 0.178, 0.080, 0.033})
            .on_callback("edit_plot_title_Callback")
            .on_create("edit_plot_title_CreateFcn")
            .enable(Enable::Off)
            .align(Align::Left),
        ctl("edit_plot_title_2D", Style::Edit, {"2D graph title"}, {0.732, 0.178, 0.080, 0.033})
            .on_callback("edit_plot_title_2D_Callback")
            .on_create("edit_plot_title_2D_CreateFcn")
            .enable(Enable::Off)
            .align(Align::Left),
        ctl("popupmenu_plot_marker_group", Style::PopupMenu, {" "}, {0.880, 0.177, 0.090, 0.033})
            .on_callback("popupmenu_plot_marker_group_Callback")
            .on_create("popupmenu_plot_marker_group_CreateFcn")
            .enable(Enable::Off),
        ctl("text87", Style::Text, {"Graph", "options:"}, {0.484, 0.175, 0.046, 0.064})
            .background(kPanel)
            .font_size(10)
            .align(Align::Left),
        ctl("text95", Style::Text, {"X"}, {0.563, 0.146, 0.021, 0.023})
            .background(kPanel)
            .align(Align::Right),
        ctl("checkbox_show_legend", Style::CheckBox, {"Legend", "legend"}, {0.484, 0.146, 0.060, 0.031})
            .on_callback("checkbox_show_legend_Callback")
            .enable(Enable::Off)
            .background(kPanel),
        ctl("text88", Style::Text, {"Color:"}, {0.844, 0.144, 0.031, 0.023})
            .background(kPanel)
            .align(Align::Right),
        ctl("text119", Style::Text, {"X"}, {0.702, 0.141, 0.020, 0.023})
            .background(kPanel)
            .align(Align::Right),
        ctl("edit_plot_x_axis", Style::Edit, {"F2"}, {0.593, 0.138, 0.080, 0.033})
            .on_callback("edit_plot_x_axis_Callback")
            .on_create("edit_plot_x_axis_CreateFcn")
            .enable(Enable::Off)
            .align(Align::Left),
        ctl("popupmenu_plot_marker_color", Style::PopupMenu, {" "}, {0.880, 0.136, 0.090, 0.031})
            .on_callback("popupmenu_plot_marker_color_Callback")
            .on_create("popupmenu_plot_marker_color_CreateFcn")
            .enable(Enable::Off),
        ctl("edit_plot_x_axis_2D", Style::Edit, {"F2"}, {0.732, 0.136, 0.080, 0.033})
            .on_callback("edit_plot_x_axis_2D_Callback")
            .on_create("edit_plot_x_axis_2D_CreateFcn")
            .enable(Enable::Off)
            .align(Align::Left),
        ctl("text98", Style::Text, {"Y"}, {0.563, 0.102, 0.021, 0.023})
            .background(kPanel)
            .align(Align::Right),
        ctl("text89", Style::Text, {"Type:"}, {0.841, 0.098, 0.034, 0.026})
            .background(kPanel)
            .align(Align::Right),
        ctl("popupmenu_plot_marker_type", Style::PopupMenu, {" "}, {0.880, 0.095, 0.090, 0.031})
            .on_callback("popupmenu_plot_marker_type_Callback")
            .on_create("popupmenu_plot_marker_type_CreateFcn")
            .enable(Enable::Off),
        ctl("edit_plot_y_axis", Style::Edit, {"Duration"}, {0.593, 0.095, 0.080, 0.033})
            .on_callback("edit_plot_y_axis_Callback")
            .on_create("edit_plot_y_axis_CreateFcn")
            .enable(Enable::Off)
            .align(Align::Left),
        ctl("text120", Style::Text, {"Y"}, {0.702, 0.095, 0.021, 0.023})
            .background(kPanel)
            .align(Align::Right),
        ctl("edit_plot_y_axis_2D", Style::Edit, {"F1"}, {0.732, 0.091, 0.080, 0.033})
            .on_callback("edit_plot_y_axis_2D_Callback")
            .on_create("edit_plot_y_axis_2D_CreateFcn")
            .enable(Enable::Off)
            .align(Align::Left),
        ctl("text90", Style::Text, {"Line:"}, {0.844, 0.056, 0.031, 0.023})
            .background(kPanel)
            .align(Align::Right),
        ctl("text99", Style::Text, {"Z"}, {0.563, 0.056, 0.021, 0.023})
            .background(kPanel)
            .align(Align::Right),
        ctl("popupmenu_plot_marker_line", Style::PopupMenu, {" "}, {0.880, 0.051, 0.090, 0.033})
            .on_callback("popupmenu_plot_marker_line_Callback")
            .on_create("popupmenu_plot_marker_line_CreateFcn")
            .enable(Enable::Off),
        ctl("edit_plot_z_axis", Style::Edit, {"F1"}, {0.593, 0.051, 0.080, 0.033})
            .on_callback("edit_plot_z_axis_Callback")
            .on_create("edit_plot_z_axis_CreateFcn")
            .enable(Enable::Off)
            .align(Align::Left),
        ctl("listbox_log", Style::ListBox, {"Welcome!", "", "ZERIVIzi LOG:"}, {0.296, 0.042, 0.140, 0.042})
            .on_callback("listbox_log_Callback")
            .on_create("listbox_log_CreateFcn")
            .hidden()
            .align(Align::Left)
            .max(20),
        ctl("button_view_log", Style::PushButton, {"View Log"}, {0.019, 0.016, 0.120, 0.037})
            .on_callback("button_view_log_Callback"),
        ctl("button_save_log", Style::PushButton, {"Save log"}, {0.157, 0.016, 0.120, 0.037})
            .on_callback("button_save_log_Callback"),
        ctl("text_log_rightside_cover", Style::Text, {" "}, {0.395, 0.005, 0.070, 0.033})
            .hidden(),
        ctl("text_log_rightside_cover2", Style::Text, {" "}, {0.474, 0.005, 0.229, 0.033})
            .hidden(),
        ctl("text114", Style::Text, {"TARVIK3D"}, {0.306, 0.206, 0.130, 0.064})
            .foreground({0.643, 0.643, 0.643})
            .font_size(24),
        ctl("text115", Style::Text, kBannerLines, {0.306, 0.105, 0.130, 0.093})
            .foreground({0.502, 0.502, 0.502})
    };
    objects.insert(objects.end(), std::make_move_iterator(controls.begin()),
                   std::make_move_iterator(controls.end()));
    return objects;
}

std::shared_ptr<Figure> build_main_window() {
    return std::make_shared<Figure>(main_window_properties(), main_window_layout());
}

} // namespace tarvik
