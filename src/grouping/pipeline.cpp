#include "grouping/pipeline.h"

#include "app/guarded.h"
#include "app/wizard.h"
#include "geometry/geometry_ops.h"
#include "grouping/group_ops.h"
#include "grouping/grouping_ops.h"

#include <algorithm>
#include <functional>

namespace tarvik {

namespace {

const char* const kObtaining = "One moment... obtaining group data";
const char* const kNotYetTitle = "Cannot proceed.";
const char* const kNotYetText = "Sorry, you have to complete Steps 1 & 2 before proceeding.";
const char* const kThereTitle = "You are there already.";
const char* const kThereText =
    "You are already at Step 3. Please identify at least 2 vowel groupings then press the 'Continue' button.";


struct Stage {
    const char* message;
    Handles (*run)(Runtime&, Handles);
};

const Stage k3DStages[] = {
    {"One moment... calculating 3D plot axes", calculate_max_3D_axes},
    {"One moment... calculating 3D rotating variables", calculate_vowel_3D_dubstar},
    {"One moment... calculating 3D ellipsoid data", calculate_3D_ellipsoids},
};
const Stage k2DStages[] = {
    {"One moment... calculating 2D plot axes", calculate_max_2D_axes},
    {"One moment... calculating 2D rotating variables", calculate_vowel_2D_star},
    {"One moment... calculating 2D ellipse data", calculate_2D_ellipses},
    {"One moment... writing to log file", stat_vowelGroups},
};

} // namespace

Handles populate_overlap_and_plot_popupmenus(Runtime& rt, Handles handles) {
    guarded(rt, ReportForm::B, "populate_overlap_and_plot_popupmenus", [&] {
        Figure& fig = rt.figure();
        TextList names;
        for (const VowelGroup& g : handles.v)
            names.push_back(g.name);
        // With a single group, the menus meant for a second group show the first.
        const double second = names.size() >= 2 ? 2 : 1;
        const std::pair<const char*, double> menus[] = {
            {"popupmenu_overlap_group_a", 1}, {"popupmenu_overlap_group_b", second}, {"popupmenu_plot_group_a", 1},
            {"popupmenu_plot_group_b", second}, {"popupmenu_plot_marker_group", 1}};
        for (const auto& [tag, value] : menus) {
            fig.set_string(tag, names);
            fig.set_value(tag, value);
        }
    });
    return handles;
}

void button_continue_to_overlap_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    std::optional<ProgressRef> bar;
    ProgressService& progress = *rt.services().progress;
    auto pipeline = [&] {
        Figure& fig = rt.figure();
        handles = calculate_constraints(rt, std::move(handles));
        HandlesAndStatus checked = calculate_empty_vowels(rt, std::move(handles));
        handles = std::move(checked.handles);
        if (checked.status == 1)
            return;
        handles = update_listbox_currVowel_select(rt, std::move(handles));

        const bool threeD = handles.onlyAllow2D != 1;
        const double steps = threeD ? 8 : 5;
        bar = progress.create(0, kObtaining);
        fig.set_pointer(Pointer::Watch);

        HandlesAndStatus selected = calculate_userVowelGroups(rt, handles);
        if (selected.status == 1) {
            progress.close(*bar);
            bar.reset();
            fig.set_pointer(Pointer::Arrow);
            return;
        }
        handles = std::move(selected.handles);

        double k = 0;
        auto run = [&](const Stage& stage) {
            progress.update(*bar, ++k / steps, std::string(stage.message));
            handles = stage.run(rt, std::move(handles));
        };
        if (threeD)
            std::for_each(std::begin(k3DStages), std::end(k3DStages), run);
        std::for_each(std::begin(k2DStages), std::end(k2DStages), run);

        enable_step(rt, handles, 3, Enable::Off);
        handles = populate_overlap_and_plot_popupmenus(rt, std::move(handles));
        enable_step(rt, handles, 4, Enable::On);
        handles = update_frame_colors(rt, std::move(handles), 4);

        progress.close(*bar);
        bar.reset();
        fig.set_pointer(Pointer::Arrow);
        rt.store(handles);
    };
    guarded(rt, ReportForm::B, "button_continue_to_overlap_Callback", [&] {
        try {
            pipeline();
        } catch (...) {
            // A failure of the pipeline's own steps leaves no progress dialog or busy pointer behind;
            // the pointer is back before the report shows.
            if (bar)
                progress.close(*bar);
            if (auto w = rt.main_window())
                w->set_pointer(Pointer::Arrow);
            throw;
        }
    });
}

void button_step_3_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    guarded(rt, ReportForm::B, "button_step_3_Callback", [&] {
        if (handles.currStep < 3) {
            rt.dialogs().warning({kNotYetText}, kNotYetTitle, true);
            return;
        }
        if (handles.currStep == 3) {
            rt.dialogs().warning({kThereText}, kThereTitle, true);
            return;
        }
        enable_step(rt, handles, 4, Enable::Off);
        enable_step(rt, handles, 3, Enable::On);
        handles = update_listbox_currVowel_select(rt, std::move(handles));
        handles = update_frame_colors(rt, std::move(handles), 3);
        rt.store(handles);
    });
}

void register_pipeline_handlers(HandlerTable& table) {
    table.emplace("button_step_3_Callback", button_step_3_Callback);
    table.emplace("button_continue_to_overlap_Callback", button_continue_to_overlap_Callback);
}

} // namespace tarvik
