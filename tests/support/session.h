#pragma once

#include "app/entry.h"
#include "app/runtime.h"
#include "ui/scripted_services.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace tarvik::testing {

// A runtime over scripted dialogs and a fixed clock (05-Dec-2026 11:54:46), with its main window.
struct Session {
    Session() = default;
    // With another help service (the Qt Help window) in place of the scripted one.
    explicit Session(HelpService& help) : rt{[&] {
        Services s = scripted.services();
        s.help = &help;
        return s;
    }()} {}

    ScriptedServices scripted;
    Runtime rt{scripted.services()};

    std::optional<ControlRef> start(const std::vector<EntryArg>& args = {std::string("visible"),
                                                                         std::string("off")}) {
        return zerivizi_export(rt, args);
    }
    Figure& fig() const { return rt.figure(); }
    const Control& control(const std::string& tag) const { return rt.figure().control(tag); }
    // The record stored with the main window.
    Handles record() const {
        const auto& stored = rt.figure().retrieve();
        if (!stored)
            throw std::logic_error("no record stored with the main window");
        return *stored;
    }
    const TextList& log() const { return control("listbox_log").string; }
    // A value set the way a user sets it, then the control's callback.
    void click(const std::string& tag, double value) {
        fig().set_value(tag, value);
        dispatch_event(rt, tag);
    }
};

// The six role menus of step 1, in the order of the roles.
inline constexpr std::array<const char*, 6> kRolePopups = {
    "popupmenu_header_subject", "popupmenu_header_vowel",    "popupmenu_header_f1",
    "popupmenu_header_f2",      "popupmenu_header_duration", "popupmenu_header_phraseduration"};

// How a test study is taken to step 4: a data file of tests/data, its six roles (Speaker, Vowel, F1,
// F2, Dur or none, no phrase duration), no normalization, and three groups v1, v2, v3 with one vowel
// type each, in the order the types are listed; optionally every pair's overlap.
struct StudySetup {
    // wiz_vowels.txt: i (3 tokens), a (3 tokens), u (1 token), two speakers.
    // plot_vowels.txt: i, a, e with 6 tokens each per speaker; i and e overlap, a lies apart from both.
    std::string file = "wiz_vowels.txt";
    bool withDuration = true;
    bool overlaps = false; // every pair in 2D, and in 3D when there are durations
};

// A file of tests/data as the file dialog's answer.
inline FileChoice data_file(const std::string& name) {
    return {name, TARVIK_TEST_DATA_DIR};
}

// Step 1 as a user clicks it: the data file loaded and its roles mapped, ending in step 2.
inline void run_step_1(Session& s, const StudySetup& setup = {}) {
    s.scripted.fileAnswers.push_back(data_file(setup.file));
    dispatch_event(s.rt, "button_load_file");
    const double values[] = {3, 4, 5, 6, setup.withDuration ? 7.0 : 2.0, 2};
    for (std::size_t k = 0; k < 6; ++k)
        s.fig().set_value(kRolePopups[k], values[k]);
    dispatch_event(s.rt, "button_continue_to_normalize");
}

// Step 2 with no normalization, ending in step 3.
inline void run_step_2(Session& s) {
    for (const char* tag :
         {"popupmenu_normalize_spectral1", "popupmenu_normalize_spectral2", "popupmenu_normalize_duration"})
        s.fig().set_value(tag, 2);
    dispatch_event(s.rt, "button_continue_to_grouping");
}

// Steps 1 to 3 as a user clicks them, ending in step 4.
inline void run_steps_1_to_3(Session& s, const StudySetup& setup = {}) {
    run_step_1(s, setup);
    run_step_2(s);
    dispatch_event(s.rt, "button_create_new_vowelNum");
    for (int g = 1; g <= 3; ++g) {
        s.click("listbox_currVowel_select", g);
        s.fig().set_string("edit_currVowel_name", {"v" + std::to_string(g)});
        dispatch_event(s.rt, "edit_currVowel_name");
        s.click("listbox_groupings", 2); // Vowel
        s.click("listbox_types", g);
        dispatch_event(s.rt, "button_add");
    }
    dispatch_event(s.rt, "button_continue_to_overlap");
    ASSERT_EQ(s.record().currStep, 4);
    if (setup.overlaps) {
        s.click("checkbox_all_group_overlap", 1);
        dispatch_event(s.rt, "button_calculate_2Doverlap");
        if (setup.withDuration)
            dispatch_event(s.rt, "button_calculate_3Doverlap");
        s.click("checkbox_all_group_overlap", 0);
    }
}

// A test that starts with the main window created (hidden).
class StartedSession : public ::testing::Test {
  protected:
    void SetUp() override { s.start(); }
    Session s;
};

// Expects `d` to be the modal warning of the failure convention titled `title`, waited for or not, with one
// line of text that begins with `lead`; returns the rest of that line.
inline std::string failure_report(const DialogRecord& d, const std::string& title, const std::string& lead,
                                  bool waited = true) {
    EXPECT_EQ(d.kind, "warning");
    EXPECT_EQ(d.title, title);
    EXPECT_TRUE(d.modal);
    EXPECT_EQ(d.waited, waited);
    if (d.text.size() != 1 || d.text[0].rfind(lead, 0) != 0) {
        ADD_FAILURE() << "the report does not begin with \"" << lead << "\"";
        return "(another text)";
    }
    return d.text[0].substr(lead.size());
}

// Expects `d` to be a dialog of this kind, title, text and icon, waited for or not.
inline void expect_dialog(const DialogRecord& d, const std::string& kind, const std::string& title,
                          const TextList& text, Icon icon, bool waited) {
    EXPECT_EQ(d.kind, kind);
    EXPECT_EQ(d.title, title);
    EXPECT_EQ(d.text, text);
    EXPECT_EQ(d.icon, icon);
    EXPECT_EQ(d.waited, waited);
}

} // namespace tarvik::testing
