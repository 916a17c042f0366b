#pragma once

// A session brought to step 4 for the plot tests: a data file loaded and mapped, left unnormalized,
// three groups v1, v2, v3 (one per vowel type, in the order the types are listed), optionally with
// every pair's overlap calculated in 2D and 3D.
#include "support/session.h"
#include "ui/plot_description.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvik::testing {

class PlotSession : public StartedSession {
  protected:
    void reach_step_4(const StudySetup& setup = {}) {
        run_steps_1_to_3(s, setup);
        s.scripted.dialogs.clear();
        s.scripted.progress.clear();
    }

    void click(const std::string& tag, double value) { s.click(tag, value); }

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
};

// A session brought to step 4 with study() before each test; `h` is its record.
class PlotsAtStep4 : public PlotSession {
  protected:
    virtual StudySetup study() const { return {}; }
    void SetUp() override {
        PlotSession::SetUp();
        reach_step_4(study());
        h = s.record();
    }
    Handles h;
};

} // namespace tarvik::testing
