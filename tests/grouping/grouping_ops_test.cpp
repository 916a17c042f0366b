// Categories, the two list boxes of the grouping step, the subject record and its log listing, run on
// the headless main window with scripted dialogs.
#include "support/session.h"
#include "grouping/grouping_ops.h"
#include "grouping/summaries.h"
#include "grouping_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace tarvik::testing {
namespace {

using Numbers = std::vector<double>;

const TextList kHeader = {"Speaker", "Vowel", "F1", "F2", "Dur", "Stress"};
const std::vector<TextList> kCells = {
    {"m01", "ae", "700", "1600", "250", "primary"},
    {"m01", "iy", "300", "2500", "200", "secondary"},
    {"w02", "ae", "750", "1700.5", "260", "primary"},
    {"w02", "NULL", "800", "1800", "270", "none"},
};

class GroupingOps : public StartedSession {
  protected:
    void SetUp() override {
        StartedSession::SetUp();
        s.scripted.dialogs.clear();
        s.scripted.progress.clear();
        s.fig().subscribe([this](const std::string& tag, Property p) {
            if (tag == Figure::kWindowTag && p == Property::Pointer)
                pointers.push_back({s.fig().window().pointer, s.scripted.dialogs.size()});
        });
    }

    // The stored record with a hand-built data table and its column roles.
    Handles with_table(const TextList& header = kHeader, const std::vector<TextList>& cells = kCells) {
        Handles h = s.record();
        set_table(h, header, cells);
        h.HeaderName = {"Speaker", "Vowel", "F1", "F2", "Dur", "(not available)"};
        h.onlyAllow2D = 0;
        return h;
    }

    // Clicks an entry of a list box: the view sets the Value, then the list's callback runs.
    void click(const std::string& list, double entry) {
        s.fig().set_enable(list, Enable::On); // both lists are enabled while steps 2 and 3 are active
        s.fig().set_value(list, entry);
        dispatch_event(s.rt, list);
    }

    const TextList& items(const std::string& list) const { return s.control(list).string; }
    double value(const std::string& list) const { return first_value(s.control(list)); }

    struct PointerChange {
        Pointer pointer;
        std::size_t dialogsShown;
        friend bool operator==(const PointerChange&, const PointerChange&) = default;
    };
    std::vector<PointerChange> pointers;
};

void expect_report(const DialogRecord& d, const std::string& text, const std::string& title, bool waited) {
    EXPECT_EQ(d.kind, "warning");
    EXPECT_EQ(d.text, TextList{text});
    EXPECT_EQ(d.title, title);
    EXPECT_EQ(d.icon, Icon::Warn);
    EXPECT_TRUE(d.modal);
    EXPECT_EQ(d.waited, waited);
}

TEST_F(GroupingOps, GroupingsClassifyEveryColumnUnderProgressAndTheBusyPointer) {
    const Handles h = calculate_groupings(s.rt, with_table());

    EXPECT_EQ(h.groups, (TextList{"Speaker", "Vowel", "Stress"}));
    EXPECT_EQ(h.groupsNumeric, (TextList{"F1", "F2", "Dur"}));
    EXPECT_EQ(h.subgroup.keys(), h.groups);
    EXPECT_EQ(h.subgroup.at("Speaker"), (TextList{"m01", "w02"}));
    EXPECT_EQ(h.subgroup.at("Vowel"), (TextList{"ae", "iy", "NULL"}));
    EXPECT_EQ(h.subgroup.at("Stress"), (TextList{"primary", "secondary", "none"}));
    EXPECT_EQ(s.record(), h);
    EXPECT_TRUE(s.scripted.dialogs.empty());

    const auto& p = s.scripted.progress;
    ASSERT_EQ(p.size(), 1u + kHeader.size() + 1u);
    EXPECT_EQ(p.front().kind, "create");
    EXPECT_EQ(p.front().fraction, 0);
    EXPECT_EQ(p.front().message, "One moment while groupings and their types are calculated...");
    for (std::size_t k = 1; k <= kHeader.size(); ++k) {
        EXPECT_EQ(p[k].kind, "update");
        EXPECT_DOUBLE_EQ(p[k].fraction, static_cast<double>(k) / 6.0); // column k of 6
    }
    EXPECT_EQ(p.back().kind, "close");
    EXPECT_EQ(pointers, (std::vector<PointerChange>{{Pointer::Watch, 0}, {Pointer::Arrow, 0}}));
}

TEST_F(GroupingOps, GroupingsFailureRestoresThePointerBeforeTheReport) {
    Handles h = with_table();
    h.dataRow[2] = make_rows({"Speaker", "Vowel", "F1", "F2", "Dur"}, {{"w02", "ae", "1", "2", "3"}})[0];
    const Handles out = calculate_groupings(s.rt, h);

    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    expect_report(s.scripted.last(),
                  "Let Quillon know about this error:\n\n Reference to non-existent field 'Stress'.",
                  "Function \"calculate_groupings\"", true);
    EXPECT_EQ(pointers, (std::vector<PointerChange>{{Pointer::Watch, 0}, {Pointer::Arrow, 0}}));
    EXPECT_EQ(s.scripted.progress.back().kind, "close");
    // The record stands as it was when the failing column was reached.
    EXPECT_EQ(out.groups, (TextList{"Speaker", "Vowel"}));
    EXPECT_EQ(out.groupsNumeric, (TextList{"F1", "F2", "Dur"}));
}

TEST_F(GroupingOps, PopulatingSelectsTheFirstCategoryAndTypeAndClicksChangeTheSelection) {
    const Handles h = populate_grouping_listboxes(s.rt, calculate_groupings(s.rt, with_table()));
    EXPECT_EQ(items("listbox_groupings"), (TextList{"Speaker", "Vowel", "Stress"}));
    EXPECT_EQ(value("listbox_groupings"), 1);
    EXPECT_EQ(items("listbox_types"), (TextList{"m01", "w02"}));
    EXPECT_EQ(value("listbox_types"), 1);
    EXPECT_EQ(h.currentSelectedGroup, "Speaker");
    EXPECT_EQ(h.currentSelectedType, "m01");
    EXPECT_EQ(s.record(), h);

    click("listbox_groupings", 3);
    EXPECT_EQ(items("listbox_types"), (TextList{"primary", "secondary", "none"}));
    EXPECT_EQ(s.record().currentSelectedGroup, "Stress");
    EXPECT_EQ(s.record().currentSelectedType, "primary");
    click("listbox_types", 3);
    EXPECT_EQ(s.record().currentSelectedType, "none");
    EXPECT_EQ(s.record().currentSelectedGroup, "Stress");

    // Speaker has two types: the third entry is gone, so the first is selected instead.
    click("listbox_groupings", 1);
    EXPECT_EQ(items("listbox_types"), (TextList{"m01", "w02"}));
    EXPECT_EQ(value("listbox_types"), 1);
    EXPECT_EQ(s.record().currentSelectedType, "m01");
    // A list as long as the selected position keeps it.
    click("listbox_types", 2);
    click("listbox_groupings", 2);
    EXPECT_EQ(value("listbox_types"), 2);
    EXPECT_EQ(s.record().currentSelectedType, "iy");
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

TEST_F(GroupingOps, ARunWithoutCategoriesEmptiesTheListsAndSelectingDoesNothing) {
    // A run with categories first, so that stale categories or a stale selection would show.
    populate_grouping_listboxes(s.rt, calculate_groupings(s.rt, with_table()));
    const Handles h = populate_grouping_listboxes(
        s.rt, calculate_groupings(s.rt, with_table({"F1", "F2"}, {{"500", "1500"}, {"510", "1510"}})));

    EXPECT_TRUE(h.groups.empty());
    EXPECT_TRUE(h.subgroup.empty());
    EXPECT_EQ(h.groupsNumeric, (TextList{"F1", "F2"}));
    EXPECT_TRUE(items("listbox_groupings").empty());
    EXPECT_TRUE(items("listbox_types").empty());
    EXPECT_FALSE(h.currentSelectedGroup.has_value());
    EXPECT_FALSE(h.currentSelectedType.has_value());

    click("listbox_groupings", 1);
    click("listbox_types", 1);
    EXPECT_EQ(s.record(), h);
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

TEST_F(GroupingOps, LabelsThatAreNotIdentifiersAreListedAsTypes) {
    const TextList header = {"Speaker", "Vowel", "F1", "F2", "Dur"};
    populate_grouping_listboxes(
        s.rt, calculate_groupings(s.rt, with_table(header, {{"s1", "ae", "1", "2", "3"},
                                                            {"s1", "3", "1", "2", "3"},
                                                            {"s-2", "\xC9\x9B", "1", "2", "3"}})));
    click("listbox_groupings", 2);
    EXPECT_EQ(items("listbox_types"), (TextList{"ae", "3", "\xC9\x9B"}));
    click("listbox_types", 3);
    EXPECT_EQ(s.record().currentSelectedType, "\xC9\x9B");
    click("listbox_groupings", 1);
    EXPECT_EQ(items("listbox_types"), (TextList{"s1", "s_2"}));
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

TEST_F(GroupingOps, SelectingAnUnknownCategoryOrPastTheListReportsWithoutWaiting) {
    const std::tuple<TextList, double, std::string> cases[] = {
        {{"Speaker", "Ghost"}, 2, "Reference to non-existent field 'Ghost'."},
        {{"Speaker", "Vowel"}, 3, "Index exceeds matrix dimensions."}};
    for (const auto& [groupings, entry, error] : cases) {
        SCOPED_TRACE(error);
        populate_grouping_listboxes(s.rt, calculate_groupings(s.rt, with_table()));
        s.scripted.dialogs.clear();
        const Handles before = s.record();
        s.fig().set_string("listbox_groupings", groupings);
        click("listbox_groupings", entry);

        // Only the selection reports; the callback around it goes on and stores the record unchanged.
        ASSERT_EQ(s.scripted.dialogs.size(), 1u);
        expect_report(s.scripted.last(), "Function Error:\n\n " + error,
                      "Let Quillon know: \"calculate_selected_field\"", false);
        EXPECT_EQ(s.record(), before);
    }
}

TEST_F(GroupingOps, SubjectRecordIsBuiltFromTheRolesStoredAndReplacedWhole) {
    Handles h = calculate_dataSubject(s.rt, with_table());
    EXPECT_EQ(h.dataSubject.keys(), (TextList{"m01", "w02"}));
    EXPECT_EQ(h.dataSubject.at("m01").vowelTargets.keys(), (TextList{"ae", "iy"}));
    // Row 4 has no vowel: w02 keeps only row 3. No phrase duration: "(not available)".
    EXPECT_EQ(h.dataSubject.at("w02").vowelTargets.at("ae"),
              (VowelTarget{{750}, {1700.5}, {260}, std::nullopt, {3}, {}}));
    EXPECT_EQ(s.record(), h);
    EXPECT_TRUE(s.scripted.dialogs.empty());

    // Phrase durations from Dur, and only 2D work: durations 0.
    h.HeaderName.Duration = "notAvailable";
    h.HeaderName.PhraseDuration = "Dur";
    h.onlyAllow2D = 1;
    h = calculate_dataSubject(s.rt, h);
    EXPECT_EQ(h.dataSubject.at("m01").vowelTargets.at("ae"),
              (VowelTarget{{700}, {1600}, {0}, Numbers{250}, {1}, {}}));

    // A new table: nothing of the earlier record survives, not even what a normalization added.
    h.dataSubject.at("m01").grandmeanDuration = 42;
    set_table(h, kHeader, {{"x9", "uw", "1", "2", "3", "primary"}});
    h = calculate_dataSubject(s.rt, h);
    EXPECT_EQ(h.dataSubject.keys(), TextList{"x9"});
}

TEST_F(GroupingOps, SubjectRecordFailureIsReportedAndWaitedFor) {
    Handles h = calculate_dataSubject(s.rt, with_table());
    h.HeaderName.F2 = "Formant2";
    const Handles out = calculate_dataSubject(s.rt, h);

    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    expect_report(s.scripted.last(),
                  "Let Quillon know about this error:\n\n Reference to non-existent field 'Formant2'.",
                  "Function \"calculate_dataSubject\"", true);
    EXPECT_TRUE(out.dataSubject.empty());         // cleared at the start, nothing half-built
    EXPECT_FALSE(s.record().dataSubject.empty()); // the earlier stored record is untouched
}

TEST_F(GroupingOps, SubjectListingIsAppendedToTheLog) {
    Handles h = with_table({"Speaker", "Vowel", "F1", "F2"},
                           {{"m01", "ae", "700", "x"}, {"w02", "iy", "300.25", "2500"}});
    h.HeaderName.Duration = "notAvailable";
    h.onlyAllow2D = 1;
    TextList expected = s.log();
    h = stat_dataSubject(s.rt, calculate_dataSubject(s.rt, h));

    // After an empty line, the listing (its format is the summaries' own test): F2 "x" is NaN and 2D
    // work has zero durations.
    expected.push_back("");
    for (const std::string& line : subject_listing(h.dataSubject))
        expected.push_back(line);
    EXPECT_EQ(s.log(), expected);
    EXPECT_EQ(std::count(s.log().begin(), s.log().end(), "         700.000       NaN     0.000"), 1);
    EXPECT_EQ(std::count(s.log().begin(), s.log().end(), "         300.250   2500.000     0.000"), 1);
    // (The records hold a NaN, so they are compared by what was stored, not as wholes.)
    EXPECT_EQ(s.record().dataSubject.keys(), h.dataSubject.keys());
    EXPECT_EQ(s.record().header, h.header);
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

TEST_F(GroupingOps, SubjectListingFailureAppendsNothing) {
    Handles h = calculate_dataSubject(s.rt, with_table());
    h.dataSubject.at("m01").vowelTargets.at("ae").Duration.clear(); // lists of unequal length
    const TextList logBefore = s.log();
    stat_dataSubject(s.rt, h);

    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_EQ(s.scripted.last().title, "Function \"stat_dataSubject\"");
    EXPECT_TRUE(s.scripted.last().waited);
    EXPECT_EQ(s.log(), logBefore);
}

} // namespace
} // namespace tarvik::testing
