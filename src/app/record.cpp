#include "app/record.h"

#include "app/guarded.h"
#include "ui/layout.h"

#include <algorithm>

namespace tarvik {

namespace {

const char* const kHomepage = "http://www.tarvik3d.org/";

const TextList kAboutMessage = {
    "TARVIK3D: overlap of vowel categories in two and three dimensions",
    "Version 0.98, release 12.31.04",
    "",
    "Written for phonetic research by the TARVIK3D developers.",
    "Ellipse and ellipsoid fits after the principal-axes method of vowel space studies.",
    "Free for research and teaching; please cite the program in your publications.",
};

std::vector<ControlRef> refs(std::initializer_list<const char*> tags) {
    std::vector<ControlRef> out;
    for (const char* t : tags)
        out.push_back(ControlRef{t});
    return out;
}

void rotate_left(std::string& queue) {
    if (!queue.empty())
        std::rotate(queue.begin(), queue.begin() + 1, queue.end());
}

} // namespace

Handles initialize_variables(Runtime& rt, Handles handles) {
    Figure& fig = rt.figure();

    handles.web.homepage = kHomepage;
    handles.web.isWorking = 1;
    handles.web.extension = ".php";
    handles.aboutMessage = kAboutMessage;

    handles.vowelColor.clear();
    TextList colourNames;
    for (const auto& [name, colour] : kGroupPalette) {
        colourNames.emplace_back(name);
        handles.vowelColor.push_back(colour);
    }
    handles.vowelLineStyle = "---:-.";
    handles.vowelMarkerType = kGroupMarkers;

    fig.set_string("popupmenu_plot_marker_color", colourNames);
    fig.set_string("popupmenu_plot_marker_line", {"-", "--", ":", "-."});
    fig.set_string("popupmenu_plot_marker_type", {"x", "+", "o", "*", ".", "s", "^", "v", ">", "<"});

    handles.v.clear();
    handles = create_newVowel(rt, handles);
    handles = create_newVowel(rt, handles);

    handles.currVowelNum = 1;
    handles.totalVowelNum = 2;

    handles.overlap.clear();
    handles.overlapResolution = {20, 20, 20};
    handles.stdmult = 2;

    handles.header.clear();
    handles.dataColumn.clear();
    handles.dataSubject.clear();
    handles.dataNormalizedColumn.clear();
    handles.HeaderName = HeaderNames{};
    handles.groupsNumeric.clear();
    handles.groups.clear();
    handles.subgroup.clear();
    handles.plotFigure.clear();

    handles.currStep = 1;
    handles.stepObjects = {
        refs({"button_load_file", "popupmenu_header_subject", "popupmenu_header_vowel", "popupmenu_header_f1",
              "popupmenu_header_f2", "popupmenu_header_duration", "popupmenu_header_phraseduration",
              "button_continue_to_normalize"}),
        refs({"popupmenu_normalize_spectral1", "popupmenu_normalize_spectral2", "popupmenu_normalize_duration",
              "button_continue_to_grouping", "listbox_groupings", "listbox_types"}),
        refs({"button_add", "button_add_to_all", "button_del", "listbox_currVowel_select",
              "button_create_new_vowelNum", "button_currVowel_delete", "listbox_currVowel_defined",
              "edit_currVowel_name", "button_continue_to_overlap", "listbox_groupings", "listbox_types"}),
        refs({"popupmenu_overlap_group_a", "popupmenu_overlap_group_b", "button_calculate_2Doverlap",
              "button_calculate_3Doverlap", "checkbox_all_group_overlap", "popupmenu_plotSelection",
              "button_3d_plot", "button_2d_plot", "popupmenu_plot_group_a", "popupmenu_plot_group_b",
              "checkbox_plot_group_a", "checkbox_plot_group_b", "checkbox_plot_group_all", "edit_plot_title",
              "edit_plot_x_axis", "edit_plot_y_axis", "edit_plot_z_axis", "edit_plot_title_2D",
              "edit_plot_x_axis_2D", "edit_plot_y_axis_2D", "checkbox_show_legend",
              "popupmenu_plot_marker_group", "popupmenu_plot_marker_color", "popupmenu_plot_marker_type",
              "popupmenu_plot_marker_line", kPerSubjectTag, kReplicatesTag, kConfidenceTag}),
    };
    handles.stepFrames = {
        TextList{"button_step_1", "frame_step_1a"},
        TextList{"button_step_2", "frame_step_2a"},
        TextList{"button_step_3", "frame_step_3a"},
        TextList{"button_step_4", "frame_step_4a", "frame_step_5b"},
    };

    handles.onlyAllow2D = 0;
    handles.frameColor = {0.863, 0.906, 0.906};
    handles.frameColorHighlight = {0.992, 0.878, 0.808};

    handles.axes3D = {};
    handles.axes3DOriginal = {};
    return handles;
}

GroupStyle group_style(std::size_t n, std::size_t colours, std::size_t markers) {
    const std::size_t k = n - 1;
    // Colours go round first; each round of colours starts the markers one further on, so that no two
    // of the first colours x markers groups look alike and neighbours differ in both.
    return {colours ? k % colours : 0, markers ? (k + (colours ? k / colours : 0)) % markers : 0};
}

Handles create_newVowel(Runtime& rt, Handles handles) {
    guarded(rt, ReportForm::A, "create_newVowel", [&] {
        const std::size_t n = handles.v.size() + 1;
        VowelGroup g;
        g.name = "(change my name)";

        const GroupStyle style = group_style(n, handles.vowelColor.size(), handles.vowelMarkerType.size());
        g.markerColor = handles.vowelColor.at(style.colour);
        g.markerColorIndex = static_cast<double>(style.colour + 1);
        g.markerType = handles.vowelMarkerType.substr(style.marker, 1);

        g.markerLine = handles.vowelLineStyle.substr(0, 1);
        rotate_left(handles.vowelLineStyle);

        handles.v.push_back(std::move(g));
        rt.store(handles);
    });
    return handles;
}

} // namespace tarvik
