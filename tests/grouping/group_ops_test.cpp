// The vowel groups of the grouping step on the headless main window with scripted dialogs: the group
// list, names, constraints, and the selection of each group's tokens.
#include "grouping/group_ops.h"

#include "support/session.h"
#include "core/number.h"
#include "grouping/constraints.h"
#include "grouping_tables.h"

#include <gtest/gtest.h>

#include <limits>

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

struct GroupDef {
    std::string name;
    TextList constraintList;
};

class GroupOps : public StartedSession {
  protected:
    void SetUp() override {
        StartedSession::SetUp();
        Handles h = s.record();
        set_table(h, kHeader, kCells);
        // Normalized values: F1 and F2 in kHz, durations in tenths of a second. A text that is not a
        // number stays text; row 4 has no normalized duration.
        for (const auto& [name, column] : h.dataColumn) {
            std::vector<Cell>& cells = h.dataNormalizedColumn[name];
            const double scale = name == "Dur" ? 100 : 1000;
            const bool numeric = name == "F1" || name == "F2" || name == "Dur";
            for (const std::string& text : column)
                cells.push_back(numeric && is_number_text(text) ? Cell{to_number(text) / scale} : Cell{text});
        }
        h.dataNormalizedColumn.at("Dur")[3] = std::monostate{};
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
            g.name = def.name;
            g.constraintList = def.constraintList;
            h.v.push_back(g);
        }
        h.totalVowelNum = static_cast<double>(defs.size());
        h.currVowelNum = current;
        s.fig().set_string(kGroupList, group_labels(h.v));
        s.fig().set_value(kGroupList, current);
        update_currVowelNum(s.rt, h);
        s.scripted.dialogs.clear();
    }

    void pick(const std::optional<std::string>& category, const std::optional<std::string>& type) {
        Handles h = s.record();
        h.currentSelectedGroup = category;
        h.currentSelectedType = type;
        s.fig().store(h);
    }

    // A user action on a control of the grouping step: its handler runs with the stored record.
    void press(const std::string& tag) {
        HandlerTable table;
        register_group_handlers(table);
        table.at(tag + "_Callback")(s.rt, ControlRef{tag}, s.record());
    }

    void click_group(double entry) {
        s.fig().set_value(kGroupList, entry);
        press(kGroupList);
    }

    void rename(const std::string& name) {
        s.fig().set_string(kNameField, {name});
        press(kNameField);
    }

    TextList names() const {
        TextList out;
        for (const VowelGroup& g : s.record().v)
            out.push_back(g.name);
        return out;
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

// ---- adding constraints -------------------------------------------------------------------------

TEST_F(GroupOps, AddAppendsTheEntryToTheCurrentGroupAndShowsIt) {
    use_groups({{"a", {}}, {"b", {}}}, 1);
    s.fig().set_value(kConstraintList, 1);
    press("button_add");
    pick("Stress", "primary");
    press("button_add");

    const Handles h = s.record();
    EXPECT_EQ(h.v[0].constraintList, (TextList{"Vowel : i", "Stress : primary"}));
    EXPECT_TRUE(h.v[1].constraintList.empty());
    EXPECT_EQ(items(kConstraintList), h.v[0].constraintList);
    EXPECT_TRUE(value(kConstraintList).empty()); // no entry selected
    EXPECT_TRUE(dialogs().empty());
}

TEST_F(GroupOps, AddingTheSameEntryTwiceLeavesOneAndWarns) {
    use_groups({{"a", {}}, {"b", {}}}, 2);
    press("button_add");
    const Handles before = s.record();
    press("button_add");

    EXPECT_EQ(s.record().v[1].constraintList, TextList{"Vowel : i"});
    EXPECT_EQ(s.record(), before);
    ASSERT_EQ(dialogs().size(), 1u);
    expect_dialog(dialogs()[0], "warning", "You already have 'Vowel : i' as a constraint.",
                  "Cannot Add Constraint", true, false);
}

TEST_F(GroupOps, AddAndAddToAllAskForACategoryAndAType) {
    using Choice = std::optional<std::string>;
    const std::pair<Choice, Choice> selections[] = {
        {"Vowel", std::nullopt}, {std::nullopt, "i"}, {"Vowel", ""}, {std::nullopt, std::nullopt}};
    for (const auto& [category, type] : selections) {
        SCOPED_TRACE(::testing::Message() << category.value_or("(none)") << " / " << type.value_or("(none)"));
        use_groups({{"a", {"Stress : primary"}}, {"b", {}}}, 1);
        pick(category, type);
        const Handles before = s.record();
        press("button_add");
        press("button_add_to_all");

        EXPECT_EQ(s.record(), before);
        ASSERT_EQ(dialogs().size(), 2u);
        expect_dialog(dialogs()[0], "message",
                      "Please make sure you've selected atype for the current selected group.", "", false,
                      true);
        expect_dialog(dialogs()[1], "message",
                      "Please make sure you've selected aCategory and a Category Type.", "", false, true);
    }
}

TEST_F(GroupOps, AddToAllSkipsTheGroupThatHasTheEntryWithOneWarning) {
    use_groups({{"a", {}}, {"b", {"Stress : primary"}}, {"c", {"Vowel : i", "Stress : primary"}}}, 1);
    press("button_add_to_all");

    const Handles h = s.record();
    EXPECT_EQ(h.v[0].constraintList, TextList{"Vowel : i"});
    EXPECT_EQ(h.v[1].constraintList, (TextList{"Stress : primary", "Vowel : i"}));
    EXPECT_EQ(h.v[2].constraintList, (TextList{"Vowel : i", "Stress : primary"}));
    ASSERT_EQ(dialogs().size(), 1u);
    expect_dialog(dialogs()[0], "warning",
                  "You already have 'Vowel : i' as a constraint for the vowel group 'c'",
                  "Cannot Add Constraint", true, false);
    // The current group's list shows what was added.
    EXPECT_EQ(items(kConstraintList), TextList{"Vowel : i"});
    EXPECT_EQ(h.currVowelNum, 1);
}

// ---- deleting constraints -----------------------------------------------------------------------

TEST_F(GroupOps, DeleteRemovesEverySelectedEntry) {
    use_groups({{"a", {"Vowel : i", "Vowel : e", "Stress : primary"}}, {"b", {"Vowel : a"}}}, 1);
    s.fig().set_value(kConstraintList, std::vector<double>{1, 3});
    press("button_del");

    EXPECT_EQ(s.record().v[0].constraintList, TextList{"Vowel : e"});
    EXPECT_EQ(s.record().v[1].constraintList, TextList{"Vowel : a"});
    EXPECT_EQ(items(kConstraintList), TextList{"Vowel : e"});
    EXPECT_TRUE(value(kConstraintList).empty());
    EXPECT_TRUE(dialogs().empty());
}

TEST_F(GroupOps, DeleteWithAnEmptyListOrASelectionPastItsEndWarns) {
    use_groups({{"a", {}}, {"b", {}}}, 1);
    press("button_del");
    ASSERT_EQ(dialogs().size(), 1u);
    expect_dialog(dialogs()[0], "warning", "There is no constraint to delete.", "Cannot Delete Constraint",
                  true, true);

    use_groups({{"a", {"Vowel : i", "Vowel : e", "Stress : primary"}}, {"b", {"Vowel : a"}}}, 1);
    s.fig().set_value(kConstraintList, 3);
    click_group(2); // the list now shows b's single entry; its selection stays 3
    ASSERT_EQ(items(kConstraintList), TextList{"Vowel : a"});
    const Handles before = s.record();
    press("button_del");

    EXPECT_EQ(s.record(), before);
    ASSERT_EQ(dialogs().size(), 1u);
    expect_dialog(dialogs()[0], "warning", "Make sure to select an entry in the current vowel listbox.",
                  "Cannot Delete Constraint", true, false);

    s.fig().set_value(kConstraintList, std::vector<double>{});
    press("button_del");
    ASSERT_EQ(dialogs().size(), 2u);
    EXPECT_EQ(dialogs()[1].text, TextList{"Make sure to select an entry in the current vowel listbox."});
}

// ---- the group list -----------------------------------------------------------------------------

TEST_F(GroupOps, CreateAppendsALabelMakesTheNewGroupCurrentAndCyclesTheColours) {
    // The start state: two groups, the first current.
    press("button_create_new_vowelNum");
    Handles h = s.record();
    ASSERT_EQ(h.v.size(), 3u);
    EXPECT_EQ(items(kGroupList),
              (TextList{"1 (change my name)", "2 (change my name)", "3 (change my name)"}));
    EXPECT_EQ(value(kGroupList), std::vector<double>{3});
    EXPECT_EQ(h.totalVowelNum, 3);
    expect_current(3, "(change my name)", {});
    EXPECT_TRUE(dialogs().empty());

    // Colour index n mod 8, with 0 read as 1: groups 8 and 9 are red (1), 10 is green (2).
    for (int k = 0; k < 7; ++k)
        press("button_create_new_vowelNum");
    h = s.record();
    ASSERT_EQ(h.v.size(), 10u);
    EXPECT_EQ(h.v[7].markerColorIndex, 1);
    EXPECT_EQ(h.v[8].markerColorIndex, 1);
    EXPECT_EQ(h.v[9].markerColorIndex, 2);
    EXPECT_EQ(h.v[8].markerColor, (Color{1, 0, 0}));
    EXPECT_EQ(h.v[9].markerColor, (Color{0, 1, 0}));
    EXPECT_EQ(items(kGroupList).back(), "10 (change my name)");
    EXPECT_EQ(h.totalVowelNum, 10);
}

// Yes, or the dialog closed without an answer (""), deletes; No, the default button, keeps the group.
TEST_F(GroupOps, DeletingTheSelectedGroupAsksAndKeepsTheOtherLabels) {
    for (const auto& answer : std::vector<std::optional<std::string>>{"Yes", "", "No", std::nullopt}) {
        SCOPED_TRACE(answer.value_or("(no answer queued)"));
        use_groups({{"a", {"Vowel : i"}}, {"b", {"Vowel : e"}}, {"c", {"Vowel : a", "Stress : primary"}}}, 2);
        s.scripted.questionAnswers.clear();
        if (answer)
            s.scripted.questionAnswers = {*answer};
        const Handles before = s.record();
        press("button_currVowel_delete");

        ASSERT_EQ(dialogs().size(), 1u);
        const DialogRecord& q = dialogs()[0];
        expect_dialog(q, "question", "Are you sure you want to delete the current selected vowel grouping?",
                      "Delete selected grouping?", true, true);
        EXPECT_EQ(q.buttons, (TextList{"Yes", "No", "No"}));
        if (!answer || *answer == "No") {
            EXPECT_EQ(q.answer, "No");
            EXPECT_EQ(s.record(), before);
            EXPECT_EQ(items(kGroupList), (TextList{"1 a", "2 b", "3 c"}));
            continue;
        }
        EXPECT_EQ(names(), (TextList{"a", "c"}));
        EXPECT_EQ(items(kGroupList), (TextList{"1 a", "3 c"}));
        EXPECT_EQ(value(kGroupList), std::vector<double>{2});
        EXPECT_EQ(s.record().totalVowelNum, 2);
        expect_current(2, "c", {"Vowel : a", "Stress : primary"});
    }
}

TEST_F(GroupOps, RenameAndAddWorkOnTheCurrentGroupAlsoAfterADeletion) {
    use_groups({{"a", {}}, {"b", {}}, {"c", {}}}, 2);
    s.scripted.questionAnswers = {"Yes"};
    press("button_currVowel_delete"); // labels 1 a, 3 c; "3 c" (now group 2) selected and current
    s.scripted.dialogs.clear();
    rename("back");
    EXPECT_EQ(names(), (TextList{"a", "back"}));
    EXPECT_EQ(items(kGroupList), (TextList{"1 a", "2 back"}));
    rename(""); // an empty name is allowed
    EXPECT_EQ(names(), (TextList{"a", ""}));
    EXPECT_EQ(items(kGroupList), (TextList{"1 a", "2 "}));
    press("button_add");
    EXPECT_EQ(s.record().v[1].constraintList, TextList{"Vowel : i"});
    EXPECT_TRUE(s.record().v[0].constraintList.empty());
    EXPECT_TRUE(dialogs().empty());
}

TEST_F(GroupOps, ClickInTheGroupListMakesThatGroupCurrent) {
    use_groups({{"a", {"Vowel : i"}}, {"b", {"Vowel : e"}}}, 1);
    click_group(2);
    expect_current(2, "b", {"Vowel : e"});

    // A selection that names no group leaves the current group current and selects it again.
    click_group(0);
    EXPECT_EQ(s.record().currVowelNum, 2);
    EXPECT_EQ(value(kGroupList), std::vector<double>{2});
    EXPECT_TRUE(dialogs().empty());
}

TEST_F(GroupOps, RebuildingTheLabelsSelectsTheLastGroupAndMakesItCurrent) {
    use_groups({{"a", {}}, {"b", {}}, {"c", {"Vowel : a"}}}, 1);
    s.fig().set_string(kGroupList, {"1 a", "3 b", "9 c"});
    update_listbox_currVowel_select(s.rt, s.record());

    EXPECT_EQ(items(kGroupList), (TextList{"1 a", "2 b", "3 c"}));
    EXPECT_EQ(value(kGroupList), std::vector<double>{3});
    expect_current(3, "c", {"Vowel : a"});
}

// ---- no group left ------------------------------------------------------------------------------

class GroupOpsNoGroupLeft : public GroupOps {
  protected:
    void SetUp() override {
        GroupOps::SetUp();
        use_groups({{"a", {"Vowel : i"}}}, 1);
        s.scripted.questionAnswers = {"Yes"};
        press("button_currVowel_delete");
    }
};

TEST_F(GroupOpsNoGroupLeft, DeletingTheLastGroupEmptiesTheGroupControlsAndANewGroupIsGroupOne) {
    ASSERT_EQ(dialogs().size(), 2u);
    expect_dialog(dialogs()[1], "warning",
                  "You need to create at least two vowel groupings for comparison and plotting",
                  "Just a note", true, false);
    EXPECT_TRUE(s.record().v.empty());
    EXPECT_EQ(s.record().totalVowelNum, 0);
    EXPECT_TRUE(items(kGroupList).empty());
    expect_current(0, "", {});
    EXPECT_TRUE(value(kConstraintList).empty());

    press("button_create_new_vowelNum");
    press("button_add");
    ASSERT_EQ(s.record().v.size(), 1u);
    EXPECT_EQ(items(kGroupList), TextList{"1 (change my name)"});
    EXPECT_EQ(value(kGroupList), std::vector<double>{1});
    EXPECT_EQ(s.record().totalVowelNum, 1);
    expect_current(1, "(change my name)", {"Vowel : i"});
    EXPECT_EQ(s.record().v[0].constraintList, TextList{"Vowel : i"});
}

TEST_F(GroupOpsNoGroupLeft, AddingRenamingOrDeletingAgainIsRefused) {
    s.scripted.dialogs.clear();
    const Handles before = s.record();
    press("button_add");
    press("button_add_to_all");
    rename("front");
    EXPECT_EQ(s.record(), before);
    EXPECT_EQ(items(kNameField), TextList{""});
    ASSERT_EQ(dialogs().size(), 3u);
    for (const DialogRecord& d : dialogs()) {
        expect_dialog(d, "message", "Please create a grouping first with 'Create new grouping'.",
                      "No grouping", true, true);
        EXPECT_EQ(d.icon, Icon::Warn);
    }

    s.scripted.dialogs.clear();
    press("button_del");
    s.scripted.questionAnswers = {"Yes"};
    press("button_currVowel_delete");
    click_group(1);
    ASSERT_EQ(dialogs().size(), 3u);
    EXPECT_EQ(dialogs()[0].text, TextList{"There is no constraint to delete."});
    EXPECT_EQ(dialogs()[1].kind, "question");
    expect_dialog(dialogs()[2], "warning", "You must have a vowel grouping selected to delete it.",
                  "Cannot proceed", true, false);
    EXPECT_EQ(s.record().currVowelNum, 0);
}

// ---- constraint structures and groups without constraints ---------------------------------------

TEST_F(GroupOps, ConstraintStructuresAreRebuiltFromTheListsAndAMalformedEntryIsReported) {
    use_groups({{"a", {"Vowel : i", "Stress : primary", "Vowel : e"}}, {"b", {}}}, 1);
    Handles h = s.record();
    h.v[1].constraints["Old"] = {"x"};
    h = calculate_constraints(s.rt, h);
    EXPECT_EQ(s.record(), h);
    EXPECT_EQ(h.v[0].constraints.keys(), (TextList{"Vowel", "Stress"}));
    EXPECT_EQ(h.v[0].constraints.at("Vowel"), (TextList{"i", "e"}));
    EXPECT_TRUE(h.v[1].constraints.empty());
    EXPECT_TRUE(dialogs().empty());

    use_groups({{"a", {"Vowel"}}}, 1);
    calculate_constraints(s.rt, s.record());
    ASSERT_EQ(dialogs().size(), 1u);
    expect_dialog(dialogs()[0], "warning",
                  "Function Error:\n\n The constraint 'Vowel' is not of the form category : type.",
                  "Let Quillon know: \"calculate_constraints\"", true, true);
}

class GroupOpsEmptyGroups : public GroupOps {
  protected:
    // Four groups a, b, c, d; the ones named in `withConstraints` get one.
    Handles four_groups(const std::string& withConstraints) {
        std::vector<GroupDef> defs;
        for (const char* name : {"a", "b", "c", "d"})
            defs.push_back(
                {name, withConstraints.find(name) != std::string::npos ? TextList{"Vowel : i"} : TextList{}});
        use_groups(defs, 1);
        return calculate_constraints(s.rt, s.record());
    }
};

TEST_F(GroupOpsEmptyGroups, NoneEmptyGoesOnWithoutAskingAndNoStopsKeepingTheGroups) {
    Handles h = four_groups("abcd");
    HandlesAndStatus r = calculate_empty_vowels(s.rt, h);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.handles, h);
    EXPECT_TRUE(dialogs().empty());

    h = four_groups("bd");
    s.scripted.questionAnswers = {"No"};
    r = calculate_empty_vowels(s.rt, h);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.handles, h);
    EXPECT_EQ(s.record(), h);
}

TEST_F(GroupOpsEmptyGroups, YesDeletesGroupsOneAndThreeAndRelabels) {
    four_groups("bd");
    s.scripted.questionAnswers = {"Yes"};
    const HandlesAndStatus r = calculate_empty_vowels(s.rt, s.record());

    ASSERT_EQ(dialogs().size(), 1u);
    expect_dialog(
        dialogs()[0], "question",
        "The following groups lack associated constraints:\n\n[1 3]\n\nIf you continue, the above groups "
        "will be deleted.\n\nDo you want to continue anyway?\n",
        "Continue and delete groups?", true, true);
    EXPECT_EQ(dialogs()[0].buttons, (TextList{"Yes", "No", "No"}));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(s.record(), r.handles);
    EXPECT_EQ(names(), (TextList{"b", "d"}));
    EXPECT_EQ(items(kGroupList), (TextList{"1 b", "2 d"}));
    EXPECT_EQ(r.handles.currVowelNum, 2); // names an existing group, the selected one
    EXPECT_EQ(value(kGroupList), std::vector<double>{2});
}

TEST_F(GroupOpsEmptyGroups, OneGroupIsNamedByItsBareNumberAndClosingDeletes) {
    four_groups("acd");
    s.scripted.questionAnswers = {""};
    const HandlesAndStatus r = calculate_empty_vowels(s.rt, s.record());
    EXPECT_NE(dialogs()[0].text[0].find(":\n\n2\n\n"), std::string::npos);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(names(), (TextList{"a", "c", "d"}));
}

TEST_F(GroupOpsEmptyGroups, DeletingEveryGroupCannotProceed) {
    four_groups("");
    s.scripted.questionAnswers = {"Yes"};
    const HandlesAndStatus r = calculate_empty_vowels(s.rt, s.record());

    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(dialogs().size(), 2u);
    expect_dialog(
        dialogs()[1], "message",
        "You cannot proceed if you do not have defined at least two vowel groups. Please add constraints to "
        "at least two groups.",
        "Cannot proceed", true, true);
    // The deletion stays in effect, and the controls agree with it.
    EXPECT_TRUE(s.record().v.empty());
    EXPECT_EQ(s.record().currVowelNum, 0);
    EXPECT_TRUE(items(kGroupList).empty());
}

// ---- selecting each group's tokens --------------------------------------------------------------

class GroupOpsTokens : public GroupOps {
  protected:
    Handles prepared(const std::vector<GroupDef>& defs) {
        use_groups(defs, 1);
        const Handles h = calculate_constraints(s.rt, s.record());
        s.scripted.dialogs.clear();
        return h;
    }
};

TEST_F(GroupOpsTokens, VowelIOrEWithPrimaryStressAndAHyphenatedValueByItsListedType) {
    // Rows 1 (i primary), 4 (e primary) and 6 (i primary); rows 2 and 3 have secondary stress.
    const Handles h =
        prepared({{"front", {"Vowel : i", "Vowel : e", "Stress : primary"}}, {"ab", {"Vowel : a_b"}}});
    const HandlesAndStatus r = calculate_userVowelGroups(s.rt, h);

    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(dialogs().empty());
    // Columns F2, F1, duration. Row 4 has no normalized duration, row 6 the F1 text "x".
    expect_matrix(r.handles.v[0].data, {{2.3, 0.3, 1.0}, {1.9, 0.42, kNaN}, {2.4, kNaN, 1.05}});
    expect_matrix(r.handles.v[0].dataOriginal, {{2300, 300, 100}, {1900, 420, 130}, {2400, kNaN, 105}});
    expect_matrix(r.handles.v[1].data, {{1.2, 0.65, 1.4}}); // row 7, a-b
    // The caller stores the record.
    EXPECT_TRUE(s.record().v[0].data.empty());
}

TEST_F(GroupOpsTokens, TwoDimensionsLeaveOutTheDuration) {
    Handles h = prepared({{"a", {"Vowel : a"}}});
    h.onlyAllow2D = 1;
    h.HeaderName.Duration = "notAvailable";
    const HandlesAndStatus r = calculate_userVowelGroups(s.rt, h);
    EXPECT_EQ(r.status, 0);
    expect_matrix(r.handles.v[0].data, {{1.3, 0.7}});
    expect_matrix(r.handles.v[0].dataOriginal, {{1300, 700}});
}

TEST_F(GroupOpsTokens, AGroupWithoutTokensStopsAndLaterGroupsAreNotProcessed) {
    Handles h = prepared({{"front", {"Vowel : i"}}, {"back", {"Vowel : u"}}, {"mid", {"Vowel : e"}}});
    const Matrix earlier(1, 3, 7.0);
    h.v[2].data = earlier;
    s.fig().store(h);
    const HandlesAndStatus r = calculate_userVowelGroups(s.rt, h);

    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(dialogs().size(), 1u);
    expect_dialog(
        dialogs()[0], "warning",
        "Vowel group 'back' has no tokens that satisfy the constraints. Remove the vowel or change the "
        "constraints before continuing.",
        "Cannot continue", false, false);
    EXPECT_EQ(r.handles.v[2].data, earlier);
    EXPECT_EQ(s.record(), h);
}

TEST_F(GroupOpsTokens, AGroupWithoutConstraintsIsSkippedWithAWarning) {
    Handles h = prepared({{"front", {"Vowel : i"}}, {"none", {}}, {"mid", {"Vowel : e"}}});
    const Matrix earlier(1, 3, 7.0);
    h.v[1].data = earlier;
    const HandlesAndStatus r = calculate_userVowelGroups(s.rt, h);

    EXPECT_EQ(r.status, 0);
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(
        dialogs()[0].text,
        TextList{"Vowel group number 2 has no constraints... this should have been caught. Notify Quillon."});
    EXPECT_FALSE(dialogs()[0].waited);
    EXPECT_EQ(r.handles.v[1].data, earlier);
    EXPECT_EQ(r.handles.v[0].data.rows, 3u);
    EXPECT_EQ(r.handles.v[2].data.rows, 2u);
}

TEST_F(GroupOpsTokens, AConstraintOnAnUnknownColumnIsReportedAndStops) {
    const HandlesAndStatus r = calculate_userVowelGroups(s.rt, prepared({{"a", {"Context : x"}}}));
    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(dialogs().size(), 1u);
    expect_dialog(dialogs()[0], "warning", "Function Error:\n\n Reference to non-existent field 'Context'.",
                  "Let Quillon know: \"calculate_userVowelGroups\"", true, true);
}

} // namespace
} // namespace tarvik::testing
