#pragma once

#include "support/session.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

// What the import and normalization tests share: the role menus, dialogs as shown, and a started session
// that loads files from tests/data or written into a folder of the test's own.
namespace tarvik::testing {

// The entries picked in the six role menus, 1-based as the user picks them: 1 "(please select)",
// 2 "(not available)", k + 2 header name k.
using Roles = std::array<double, 6>;

// How a dialog showed: kind, title, text, icon, modal, waited for.
using Shown = std::tuple<std::string, std::string, TextList, Icon, bool, bool>;
inline Shown shown(const DialogRecord& d) {
    return {d.kind, d.title, d.text, d.icon, d.modal, d.waited};
}

class ImportSession : public StartedSession {
  protected:
    // Writes `content` as `name` into the test's folder and returns it as a file dialog's answer.
    FileChoice write(const std::string& name, const std::string& content) {
        write_contents(folder.path() / name, content);
        return {name, folder.path().string()};
    }
    // Presses "Load File" and answers the file dialog with `file` (nothing: the dialog is cancelled).
    void press_load(const std::optional<FileChoice>& file) {
        s.scripted.fileAnswers.push_back(file);
        dispatch_event(s.rt, "button_load_file");
    }
    // Step 1's Continue with the given role entries; the dialogs shown before are forgotten.
    void map_and_continue(const Roles& roles) {
        for (std::size_t k = 0; k < roles.size(); ++k)
            s.fig().set_value(kRolePopups[k], roles[k]);
        s.scripted.dialogs.clear();
        dispatch_event(s.rt, "button_continue_to_normalize");
    }
    // The titles of the dialogs shown, the file dialog as "(open)".
    std::vector<std::string> titles() const {
        std::vector<std::string> out;
        for (const auto& d : s.scripted.dialogs)
            out.push_back(d.kind == "open" ? "(open)" : d.title);
        return out;
    }
    // Step `step` still active after a refusal: its controls enabled (but the duration method in 2D), the
    // next step's first control not.
    void expect_step_active(int step) const {
        const Handles h = s.record();
        EXPECT_EQ(h.currStep, step);
        for (const auto& ref : h.stepObjects[step - 1]) {
            const bool off = h.onlyAllow2D == 1 && ref.tag == "popupmenu_normalize_duration";
            EXPECT_EQ(s.control(ref.tag).enable, off ? Enable::Off : Enable::On) << ref.tag;
        }
        EXPECT_EQ(s.control(h.stepObjects[step].front().tag).enable, Enable::Off);
    }
    void forget_dialogs() {
        s.scripted.dialogs.clear();
        s.scripted.progress.clear();
    }

    TestFolder folder{"tarvik_import"};
};

} // namespace tarvik::testing
