#pragma once

// A session brought to step 4 for the plot tests: a data file loaded and mapped, z-score normalized,
// three groups v1, v2, v3 (one per vowel type, in the order the types are listed), optionally with
// every pair's overlap calculated in 2D and 3D.
#include "app/session.h"
#include "ui/plot_description.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvik::testing {

struct PlotSetup {
    // wiz_vowels.txt: i (3 tokens), a (3 tokens), u (1 token), two speakers.
    // plot_vowels.txt: i, a, e with 6 tokens each per speaker; i and e overlap, a lies apart from both.
    std::string file = "wiz_vowels.txt";
    bool withDuration = true;
    bool overlaps = false;
};

class PlotSession : public StartedSession {
  protected:
    void reach_step_4(const PlotSetup& setup = {}) {
        s.scripted.fileAnswers.push_back(FileChoice{setup.file, TARVIK_TEST_DATA_DIR});
        dispatch_event(s.rt, "button_load_file");
        const char* const roles[] = {"popupmenu_header_subject",  "popupmenu_header_vowel",
                                     "popupmenu_header_f1",       "popupmenu_header_f2",
                                     "popupmenu_header_duration", "popupmenu_header_phraseduration"};
        const double values[] = {3, 4, 5, 6, setup.withDuration ? 7.0 : 2.0, 2};
        for (std::size_t k = 0; k < 6; ++k)
            s.fig().set_value(roles[k], values[k]);
        dispatch_event(s.rt, "button_continue_to_normalize");
        for (const char* tag : {"popupmenu_normalize_spectral1", "popupmenu_normalize_spectral2",
                                "popupmenu_normalize_duration"})
            s.fig().set_value(tag, 2);
        dispatch_event(s.rt, "button_continue_to_grouping");
        dispatch_event(s.rt, "button_create_new_vowelNum");
        for (int g = 1; g <= 3; ++g) {
            click("listbox_currVowel_select", g);
            s.fig().set_string("edit_currVowel_name", {"v" + std::to_string(g)});
            dispatch_event(s.rt, "edit_currVowel_name");
            click("listbox_groupings", 2); // Vowel
            click("listbox_types", g);
            dispatch_event(s.rt, "button_add");
        }
        dispatch_event(s.rt, "button_continue_to_overlap");
        ASSERT_EQ(s.record().currStep, 4);
        if (setup.overlaps) {
            click("checkbox_all_group_overlap", 1);
            dispatch_event(s.rt, "button_calculate_2Doverlap");
            if (setup.withDuration)
                dispatch_event(s.rt, "button_calculate_3Doverlap");
            click("checkbox_all_group_overlap", 0);
        }
        s.scripted.dialogs.clear();
        s.scripted.progress.clear();
    }

    void click(const std::string& tag, double value) {
        s.fig().set_value(tag, value);
        dispatch_event(s.rt, tag);
    }

    // Chooses the plot kind (1 to 5) and presses "3D Plot" ("3d") or "2D Plot".
    void plot(int kind, const std::string& dimensions) {
        s.fig().set_value("popupmenu_plotSelection", kind);
        dispatch_event(s.rt, dimensions == "3d" ? "button_3d_plot" : "button_2d_plot");
    }

    // Ticks exactly the given group boxes and sets the menus of A and B.
    void choose_groups(bool a, int groupA, bool b, int groupB, bool all = false) {
        s.fig().set_value("popupmenu_plot_group_a", groupA);
        s.fig().set_value("popupmenu_plot_group_b", groupB);
        s.fig().set_value("checkbox_plot_group_a", a ? 1 : 0);
        s.fig().set_value("checkbox_plot_group_b", b ? 1 : 0);
        s.fig().set_value("checkbox_plot_group_all", all ? 1 : 0);
    }

    RecordingPlotHost& plots() { return s.scripted.plots; }

    // What window `number` shows now; fails the test when it never showed anything.
    const PlotDescription& shown(int number) {
        const auto& w = plots().window(number);
        if (!w.shown)
            throw std::logic_error("plot window " + std::to_string(number) + " showed nothing");
        return *w.shown;
    }

    std::vector<std::string> dialog_titles() const {
        std::vector<std::string> out;
        for (const auto& d : s.scripted.dialogs)
            out.push_back(d.title);
        return out;
    }
};

} // namespace tarvik::testing
