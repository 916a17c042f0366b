// The vowel groups of the grouping step on the headless main window with scripted dialogs: the group
// list, names, constraints, and the selection of each group's tokens.
#include "grouping/group_ops.h"

#include "grouping/constraints.h"
#include "grouping_tables.h"
#include "support/session.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

namespace tarvik::testing {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

const char* const kGroupList = "listbox_currVowel_select";
const char* const kConstraintList = "listbox_currVowel_defined";
const char* const kNameField = "edit_currVowel_name";

const TextList kHeader = {"Speaker", "Vowel", "F1", "F2", "Dur", "Stress"};
// Rows 1..7. Row 6 has a non-numeric F1; row 7 the vowel a-b, listed as the type a_b.
const std::vector<TextList> kCells = {
    {"m01", "i", "300", "2300", "100", "primary"},   {"m01", "e", "400", "2000", "120", "secondary"},
    {"m01", "i", "310", "2250", "110", "secondary"}, {"w02", "e", "420", "1900", "130", "primary"},
    {"w02", "a", "700", "1300", "150", "primary"},   {"w02", "i", "x", "2400", "105", "primary"},
    {"w02", "a-b", "650", "1200", "140", "primary"},
};

using GroupDef = std::pair<std::string, TextList>; // name, constraint list

class GroupOps : public StartedSession {
  protected:
    void SetUp() override {
        StartedSession::SetUp();
        Handles h = s.record();
        set_table(h, kHeader, kCells);
        // Normalized values: F1 and F2 in kHz, durations in tenths of a second. A text that is not a
        // number stays text; row 4 has no normalized duration.
        h.dataNormalizedColumn["F1"] = {0.3, 0.4, 0.31, 0.42, 0.7, std::string("x"), 0.65};
        h.dataNormalizedColumn["F2"] = {2.3, 2.0, 2.25, 1.9, 1.3, 2.4, 1.2};
        h.dataNormalizedColumn["Dur"] = {1.0, 1.2, 1.1, std::monostate{}, 1.5, 1.05, 1.4};
        h.HeaderName = {"Speaker", "Vowel", "F1", "F2", "Dur", "(not available)"};
        h.onlyAllow2D = 0;
        h.currentSelectedGroup = "Vowel";
        h.currentSelectedType = "i";
        s.fig().store(h);
        s.scripted.dialogs.clear();
    }

    // Groups shown in the list with their index labels, `current` selected and current.
    void use_groups(const std::vector<GroupDef>& defs, double current) {
        Handles h = s.record();
        h.v.clear();
        for (const GroupDef& def : defs) {
            VowelGroup g;
            g.name = def.first;
            g.constraintList = def.second;
            h.v.push_back(g);
        }
        h.totalVowelNum = static_cast<double>(defs.size());
        s.fig().set_string(kGroupList, group_labels(h.v));
        s.fig().set_value(kGroupList, current);
        update_currVowelNum(s.rt, h);
        s.scripted.dialogs.clear();
    }
    // Groups with their constraint structures built, ready for their tokens to be selected.
    Handles prepared(const std::vector<GroupDef>& defs) {
        use_groups(defs, 1);
        const Handles h = calculate_constraints(s.rt, s.record());
        s.scripted.dialogs.clear();
        return h;
    }

    // A user action on a control of the grouping step: its handler runs with the stored record.
    void press(const std::string& tag) {
        HandlerTable table;
        register_group_handlers(table);
        table.at(tag + "_Callback")(s.rt, ControlRef{tag}, s.record());
    }
    void rename(const std::string& name) {
        s.fig().set_string(kNameField, {name});
        press(kNameField);
    }

    const TextList& items(const std::string& tag) const { return s.control(tag).string; }
    const std::vector<double>& value(const std::string& tag) const { return s.control(tag).value; }
    const std::vector<DialogRecord>& dialogs() const { return s.scripted.dialogs; }
    // Group `n` (0: none) is current, and the controls show its name and constraint entries.
    void expect_current(double n, const std::string& name, const TextList& constraints) const {
        EXPECT_EQ(s.record().currVowelNum, n);
        EXPECT_EQ(items(kNameField), TextList{name});
        EXPECT_EQ(items(kConstraintList), constraints);
    }
};

void expect_dialog(const DialogRecord& d, const std::string& kind, const std::string& text,
                   const std::string& title, bool modal, bool waited) {
    EXPECT_EQ(d.kind, kind);
    EXPECT_EQ(d.text, TextList{text});
    EXPECT_EQ(d.title, title);
    EXPECT_EQ(d.modal, modal);
    EXPECT_EQ(d.waited, waited);
}

// ---- constraints of a group ---------------------------------------------------------------------

// Without a type both ask for one. "All>>" adds "Vowel : i" to every group that lacks it, with one
// warning per group that has it; ">>" then finds it in the current group.
TEST_F(GroupOps, AddToAllOrToTheCurrentGroupOncePerGroup) {
    use_groups({{"a", {}}, {"b", {"Vowel : i"}}, {"c", {"Stress : primary"}}}, 1);
    Handles before = s.record();
    before.currentSelectedType = "";
    s.fig().store(before);
    press("button_add");
    press("button_add_to_all");
    EXPECT_EQ(s.record(), before);
    ASSERT_EQ(dialogs().size(), 2u);
    expect_dialog(dialogs()[0], "message",
                  "Please make sure you've selected atype for the current selected group.", "", false, true);
    expect_dialog(dialogs()[1], "message", "Please make sure you've selected aCategory and a Category Type.",
                  "", false, true);

    before.currentSelectedType = "i";
    s.fig().store(before);
    s.scripted.dialogs.clear();
    press("button_add_to_all");
    press("button_add");

    const Handles h = s.record();
    EXPECT_EQ(h.v[0]->constraintList, TextList{"Vowel : i"});
    EXPECT_EQ(h.v[1]->constraintList, TextList{"Vowel : i"});
    EXPECT_EQ(h.v[2]->constraintList, (TextList{"Stress : primary", "Vowel : i"}));
    EXPECT_EQ(items(kConstraintList), TextList{"Vowel : i"}); // the current group's list shows it
    ASSERT_EQ(dialogs().size(), 2u);
    expect_dialog(dialogs()[0], "warning",
                  "You already have 'Vowel : i' as a constraint for the vowel group 'b'",
                  "Cannot Add Constraint", true, false);
    expect_dialog(dialogs()[1], "warning", "You already have 'Vowel : i' as a constraint.",
                  "Cannot Add Constraint", true, false);
}

TEST_F(GroupOps, DeleteRemovesTheSelectedEntriesAndWarnsWhenTheSelectionIsPastTheList) {
    use_groups({{"a", {"Vowel : i", "Vowel : e", "Stress : primary"}}, {"b", {"Vowel : a"}}}, 1);
    s.fig().set_value(kConstraintList, std::vector<double>{1, 3});
    press("button_del");
    EXPECT_EQ(s.record().v[0]->constraintList, TextList{"Vowel : e"});
    EXPECT_EQ(items(kConstraintList), TextList{"Vowel : e"});
    EXPECT_TRUE(value(kConstraintList).empty());

    s.fig().set_value(kConstraintList, 2);
    s.fig().set_value(kGroupList, 2);
    press(kGroupList); // the list now shows b's single entry; its selection stays 2
    ASSERT_EQ(items(kConstraintList), TextList{"Vowel : a"});
    const Handles before = s.record();
    press("button_del");
    EXPECT_EQ(s.record(), before);
    ASSERT_EQ(dialogs().size(), 1u);
    expect_dialog(dialogs()[0], "warning", "Make sure to select an entry in the current vowel listbox.",
                  "Cannot Delete Constraint", true, false);
}

// ---- the group list -----------------------------------------------------------------------------

// Deleting group 2 of 1 a, 2 b, 3 c on Yes leaves the labels 1 a and 3 c; closing the dialog without an
// answer ("") deletes too, here group 1. The last label is selected and its group (now group 2) current:
// renaming and adding act on it. No, the default button, keeps the group.
TEST_F(GroupOps, DeletingTheSelectedGroupAsksAndTheLastGroupBecomesCurrent) {
    const std::tuple<std::string, double, TextList> cases[] = {
        {"Yes", 2, {"1 a", "3 c"}}, {"", 1, {"2 b", "3 c"}}, {"No", 2, {"1 a", "2 b", "3 c"}}};
    for (const auto& [answer, selected, labels] : cases) {
        SCOPED_TRACE(answer);
        use_groups({{"a", {"Vowel : i"}}, {"b", {"Vowel : e"}}, {"c", {"Vowel : a", "Stress : primary"}}},
                   selected);
        s.scripted.questionAnswers = {answer};
        const Handles before = s.record();
        press("button_currVowel_delete");

        ASSERT_EQ(dialogs().size(), 1u);
        expect_dialog(dialogs()[0], "question",
                      "Are you sure you want to delete the current selected vowel grouping?",
                      "Delete selected grouping?", true, true);
        EXPECT_EQ(dialogs()[0].buttons, (TextList{"Yes", "No", "No"}));
        EXPECT_EQ(items(kGroupList), labels);
        if (answer == "No") {
            EXPECT_EQ(s.record(), before);
            continue;
        }
        EXPECT_EQ(value(kGroupList), std::vector<double>{2});
        EXPECT_EQ(s.record().totalVowelNum, 2);
        expect_current(2, "c", {"Vowel : a", "Stress : primary"});
        rename("back");
        press("button_add");
        EXPECT_EQ(s.record().v[1]->name, "back");
        EXPECT_EQ(items(kGroupList), (TextList{labels[0], "2 back"}));
        EXPECT_EQ(s.record().v[1]->constraintList, (TextList{"Vowel : a", "Stress : primary", "Vowel : i"}));
        EXPECT_EQ(dialogs().size(), 1u);
    }
}

// With no group left the group controls are empty and every edit is refused until a group is created,
// which becomes current. (Creating appends to the list: pipeline_test; the colours and styles of new
// groups: record_test.)
TEST_F(GroupOps, DeletingTheLastGroupLeavesNothingToEditUntilOneIsCreated) {
    use_groups({{"a", {"Vowel : i"}}}, 1);
    s.scripted.questionAnswers = {"Yes"};
    press("button_currVowel_delete");
    ASSERT_EQ(dialogs().size(), 2u);
    expect_dialog(dialogs()[1], "warning",
                  "You need to create at least two vowel groupings for comparison and plotting",
                  "Just a note", true, false);
    EXPECT_TRUE(items(kGroupList).empty());
    expect_current(0, "", {});

    s.scripted.dialogs.clear();
    const Handles before = s.record();
    press("button_del");
    s.scripted.questionAnswers = {"Yes"};
    press("button_currVowel_delete");
    EXPECT_EQ(s.record(), before);
    ASSERT_EQ(dialogs().size(), 3u);
    expect_dialog(dialogs()[0], "warning", "There is no constraint to delete.", "Cannot Delete Constraint",
                  true, true);
    expect_dialog(dialogs()[2], "warning", "You must have a vowel grouping selected to delete it.",
                  "Cannot proceed", true, false);

    press("button_create_new_vowelNum");
    EXPECT_EQ(items(kGroupList), TextList{"1 (change my name)"});
    expect_current(1, "(change my name)", {});
    EXPECT_EQ(s.record().totalVowelNum, 1);
}

// ---- groups without constraints -----------------------------------------------------------------

// Four groups a, b, c, d; `withConstraints` names those with one. The question lists the others as a
// matrix literal: one index bare, several in brackets. Yes, or closing the question, deletes them,
// relabels the rest and selects the last as current. (No keeps them: pipeline_test.)
TEST_F(GroupOps, GroupsWithoutConstraintsAreDeletedAfterAsking) {
    struct Case {
        std::string withConstraints, answer, indices;
        int status;
        TextList labels;
    };
    const Case cases[] = {{"bd", "Yes", "[1 3]", 0, {"1 b", "2 d"}},
                          {"acd", "", "2", 0, {"1 a", "2 c", "3 d"}},
                          {"", "Yes", "[1 2 3 4]", 1, {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.withConstraints + " " + c.answer);
        std::vector<GroupDef> defs;
        for (const char* name : {"a", "b", "c", "d"})
            defs.push_back({name, c.withConstraints.find(name) != std::string::npos ? TextList{"Vowel : i"}
                                                                                    : TextList{}});
        s.scripted.questionAnswers = {c.answer};
        const HandlesAndStatus r = calculate_empty_vowels(s.rt, prepared(defs));

        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.handles.v.size(), c.labels.size());
        EXPECT_EQ(items(kGroupList), c.labels);
        EXPECT_EQ(s.record(), r.handles);
        EXPECT_EQ(r.handles.currVowelNum, c.labels.size()); // the last group left
        ASSERT_FALSE(dialogs().empty());
        expect_dialog(dialogs()[0], "question",
                      "The following groups lack associated constraints:\n\n" + c.indices +
                          "\n\nIf you continue, the above groups will be deleted.\n\nDo you want to "
                          "continue anyway?\n",
                      "Continue and delete groups?", true, true);
    }
    // No group left: the deletion stays in effect, and the user is told to add constraints.
    ASSERT_EQ(dialogs().size(), 2u);
    EXPECT_EQ(dialogs()[0].buttons, (TextList{"Yes", "No", "No"}));
    expect_dialog(dialogs()[1], "message",
                  "You cannot proceed if you do not have defined at least two vowel groups. Please add "
                  "constraints to at least two groups.",
                  "Cannot proceed", true, true);
}

// ---- selecting each group's tokens --------------------------------------------------------------

TEST_F(GroupOps, TokensOfVowelIOrEWithPrimaryStressAndOfAHyphenatedValueByItsListedType) {
    // Rows 1 (i primary), 4 (e primary) and 6 (i primary); rows 2 and 3 have secondary stress.
    Handles h =
        prepared({{"front", {"Vowel : i", "Vowel : e", "Stress : primary"}}, {"ab", {"Vowel : a_b"}}});
    HandlesAndStatus r = calculate_userVowelGroups(s.rt, h);

    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(dialogs().empty());
    // Columns F2, F1, duration. Row 4 has no normalized duration, row 6 the F1 text "x".
    expect_matrix(r.handles.v[0]->data, 3, {2.3, 0.3, 1.0, 1.9, 0.42, kNaN, 2.4, kNaN, 1.05});
    expect_matrix(r.handles.v[0]->dataOriginal, 3, {2300, 300, 100, 1900, 420, 130, 2400, kNaN, 105});
    expect_matrix(r.handles.v[1]->data, 3, {1.2, 0.65, 1.4}); // row 7, a-b
    EXPECT_TRUE(s.record().v[0]->data.empty());               // the caller stores the record

    // Two dimensions leave out the duration.
    h.onlyAllow2D = 1;
    h.HeaderName.Duration = "notAvailable";
    r = calculate_userVowelGroups(s.rt, h);
    expect_matrix(r.handles.v[1]->dataOriginal, 2, {1200, 650});
}

// A group without constraints is skipped with a warning; a group without tokens stops the selection, and
// later groups keep their earlier data.
TEST_F(GroupOps, TokensStopAtAGroupWithoutTokens) {
    Handles h =
        prepared({{"front", {"Vowel : i"}}, {"none", {}}, {"back", {"Vowel : u"}}, {"mid", {"Vowel : e"}}});
    const Matrix earlier(1, 3, 7.0);
    h.v[1].edit().data = earlier;
    h.v[3].edit().data = earlier;
    const HandlesAndStatus r = calculate_userVowelGroups(s.rt, h);

    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(dialogs().size(), 2u);
    EXPECT_EQ(
        dialogs()[0].text,
        TextList{"Vowel group number 2 has no constraints... this should have been caught. Notify Quillon."});
    EXPECT_FALSE(dialogs()[0].waited);
    expect_dialog(
        dialogs()[1], "warning",
        "Vowel group 'back' has no tokens that satisfy the constraints. Remove the vowel or change the "
        "constraints before continuing.",
        "Cannot continue", false, false);
    EXPECT_EQ(r.handles.v[0]->data.rows, 3u);
    EXPECT_EQ(r.handles.v[1]->data, earlier);
    EXPECT_EQ(r.handles.v[3]->data, earlier);
}

// A malformed entry fails the constraint structures; a category that is no column fails the selection.
TEST_F(GroupOps, MalformedEntriesAndUnknownColumnsAreReported) {
    use_groups({{"a", {"Vowel"}}}, 1);
    calculate_constraints(s.rt, s.record());
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(
        failure_report(dialogs()[0], "Let Quillon know: \"calculate_constraints\"", "Function Error:\n\n "),
        "The constraint 'Vowel' is not of the form category : type.");

    const HandlesAndStatus r = calculate_userVowelGroups(s.rt, prepared({{"a", {"Context : x"}}}));
    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(failure_report(dialogs()[0], "Let Quillon know: \"calculate_userVowelGroups\"",
                             "Function Error:\n\n "),
              "Reference to non-existent field 'Context'.");
}

} // namespace
} // namespace tarvik::testing
