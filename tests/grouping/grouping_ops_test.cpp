// Categories, the two list boxes of the grouping step, the subject record and its log listing, run on
// the headless main window with scripted dialogs.
#include "grouping/grouping_ops.h"
#include "grouping/summaries.h"
#include "grouping_tables.h"
#include "support/session.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tarvik::testing {
namespace {

const TextList kHeader = {"Speaker", "Vowel", "F1", "F2", "Dur", "Stress"};
// Speaker w-02 is listed as the type w_02; row 3 has no subject and row 5 no vowel. A column's first value
// decides it, so Stress is a category and its 2.5 the type 2_5. Row 4 has an F1 and a duration that are no
// numbers.
const std::vector<TextList> kCells = {
    {"z01", "iy", "300", "2500", "200", "primary"}, {"w-02", "ae", "750", "1700.5", "260", "2.5"},
    {"NULL", "ae", "1", "1", "1", "none"},          {"z01", "ae", "n/a", "1600", "x", "primary"},
    {"w-02", "NULL", "800", "1800", "270", "none"}, {"w-02", "ae", "710", "1650", "240", "secondary"},
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
    Handles populated() { return populate_grouping_listboxes(s.rt, calculate_groupings(s.rt, with_table())); }

    // Clicks an entry of a list box: the view sets the Value, then the list's callback runs.
    void click(const std::string& list, double entry) {
        s.fig().set_enable(list, Enable::On); // both lists are enabled while steps 2 and 3 are active
        s.click(list, entry);
    }
    const TextList& items(const std::string& list) const { return s.control(list).string; }
    double value(const std::string& list) const { return first_value(s.control(list)); }

    // Each change of the pointer, with the number of dialogs shown by then: the busy pointer while
    // working, and the arrow back before any report shows.
    using PointerChange = std::pair<Pointer, std::size_t>;
    const std::vector<PointerChange> kBusyThenArrow = {{Pointer::Watch, 0}, {Pointer::Arrow, 0}};
    std::vector<PointerChange> pointers;
};

// A second run replaces everything the first found.
TEST_F(GroupingOps, CategoriesAreFoundUnderProgressAndTheBusyPointer) {
    calculate_groupings(s.rt, with_table({"Note", "F1"}, {{"x", "1"}}));
    s.scripted.progress.clear();
    pointers.clear();
    const Handles h = calculate_groupings(s.rt, with_table());

    EXPECT_EQ(h.groups, (TextList{"Speaker", "Vowel", "Stress"}));
    EXPECT_EQ(h.groupsNumeric, (TextList{"F1", "F2", "Dur"}));
    EXPECT_EQ(h.subgroup.keys(), h.groups);
    EXPECT_EQ(h.subgroup.at("Speaker"), (TextList{"z01", "w_02", "NULL"}));
    EXPECT_EQ(h.subgroup.at("Stress"), (TextList{"primary", "2_5", "none", "secondary"}));
    EXPECT_EQ(s.record(), h);

    const auto& p = s.scripted.progress;
    ASSERT_EQ(p.size(), 1u + kHeader.size() + 1u);
    EXPECT_EQ(p.front().kind, "create");
    EXPECT_EQ(p.front().fraction, 0);
    EXPECT_EQ(p.front().message, "One moment while groupings and their types are calculated...");
    for (std::size_t k = 1; k <= kHeader.size(); ++k)
        EXPECT_DOUBLE_EQ(p[k].fraction, static_cast<double>(k) / 6.0); // column k of 6
    EXPECT_EQ(p.back().kind, "close");
    EXPECT_EQ(pointers, kBusyThenArrow);
    EXPECT_TRUE(s.scripted.dialogs.empty());

    // A failure: the record stands as it was when the failing column was reached.
    pointers.clear();
    Handles bad = with_table();
    OrderedMap<TextList> columns; // the header names a column the table lacks
    for (const auto& [name, cells] : bad.dataColumn)
        if (name != "Stress")
            columns[name] = cells;
    bad.dataColumn = std::move(columns);
    const Handles out = calculate_groupings(s.rt, bad);
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_EQ(failure_report(s.scripted.last(), "Function \"calculate_groupings\"",
                             "Let Quillon know about this error:\n\n "),
              "Reference to non-existent field 'Stress'.");
    EXPECT_EQ(pointers, kBusyThenArrow);
    EXPECT_EQ(s.scripted.progress.back().kind, "close");
    EXPECT_EQ(out.groups, (TextList{"Speaker", "Vowel"}));
}

TEST_F(GroupingOps, ListsSelectTheFirstCategoryAndTypeAndClicksChangeTheSelection) {
    const Handles h = populated();
    EXPECT_EQ(items("listbox_groupings"), (TextList{"Speaker", "Vowel", "Stress"}));
    EXPECT_EQ(items("listbox_types"), (TextList{"z01", "w_02", "NULL"}));
    EXPECT_EQ(h.currentSelectedGroup, "Speaker");
    EXPECT_EQ(h.currentSelectedType, "z01");
    EXPECT_EQ(s.record(), h);

    click("listbox_groupings", 2);
    click("listbox_types", 3);
    EXPECT_EQ(s.record().currentSelectedGroup, "Vowel");
    EXPECT_EQ(s.record().currentSelectedType, "NULL");
    // Speaker's list is as long as the selected position: it stays selected.
    click("listbox_groupings", 1);
    EXPECT_EQ(s.record().currentSelectedType, "NULL");
    // Vowel has no fourth type: its first is selected instead.
    click("listbox_groupings", 3);
    click("listbox_types", 4);
    click("listbox_groupings", 2);
    EXPECT_EQ(value("listbox_types"), 1);
    EXPECT_EQ(s.record().currentSelectedType, "iy");
    EXPECT_TRUE(s.scripted.dialogs.empty());

    // An unknown category: only the selection reports, without waiting; the callback around it goes on
    // and stores the record unchanged.
    const Handles before = s.record();
    s.fig().set_string("listbox_groupings", {"Speaker", "Ghost"});
    click("listbox_groupings", 2);
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_EQ(failure_report(s.scripted.last(), "Let Quillon know: \"calculate_selected_field\"",
                             "Function Error:\n\n ", false),
              "Reference to non-existent field 'Ghost'.");
    EXPECT_EQ(s.record(), before);
}

// Subjects in order of appearance, each with its vowels in order of appearance among its rows; rows 3 and
// 5 belong nowhere. No phrase duration while it is "(not available)".
TEST_F(GroupingOps, SubjectRecordIsBuiltFromTheRolesAndReplacedWhole) {
    Handles h = calculate_dataSubject(s.rt, with_table());
    EXPECT_EQ(h.dataSubject.keys(), (TextList{"z01", "w-02"}));
    EXPECT_EQ(h.dataSubject.at("z01").vowelTargets.keys(), (TextList{"iy", "ae"}));
    EXPECT_EQ(h.dataSubject.at("w-02").vowelTargets.keys(), TextList{"ae"});
    EXPECT_EQ(h.dataSubject.at("w-02").vowelTargets.at("ae"),
              (VowelTarget{{750, 710}, {1700.5, 1650}, {260, 240}, std::nullopt, {2, 6}, {}}));
    // Text that is not a number is kept as NaN, and its row still counts.
    const VowelTarget& ae = h.dataSubject.at("z01").vowelTargets.at("ae");
    EXPECT_TRUE(std::isnan(ae.F1[0]) && std::isnan(ae.Duration[0]));
    EXPECT_EQ(ae.RowLocation, std::vector<double>{4});
    EXPECT_EQ(s.record().dataSubject.keys(), h.dataSubject.keys()); // stored (NaN is unequal to itself)

    // Phrase durations from Dur, and only 2D work: durations 0. Nothing of the earlier record survives,
    // not even what a normalization added.
    h.dataSubject.at("z01").grandmeanDuration = 42;
    h.HeaderName.Duration = "notAvailable";
    h.HeaderName.PhraseDuration = "Dur";
    h.onlyAllow2D = 1;
    h = calculate_dataSubject(s.rt, h);
    EXPECT_EQ(h.dataSubject.at("z01").vowelTargets.at("iy"),
              (VowelTarget{{300}, {2500}, {0}, std::vector<double>{200}, {1}, {}}));
    EXPECT_FALSE(h.dataSubject.at("z01").grandmeanDuration.has_value());
    EXPECT_TRUE(s.scripted.dialogs.empty());

    // A failure is reported and waited for.
    h.HeaderName.F2 = "Formant2";
    const Handles out = calculate_dataSubject(s.rt, h);
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_EQ(failure_report(s.scripted.last(), "Function \"calculate_dataSubject\"",
                             "Let Quillon know about this error:\n\n "),
              "Reference to non-existent field 'Formant2'.");
    EXPECT_TRUE(out.dataSubject.empty());         // cleared at the start, nothing half-built
    EXPECT_FALSE(s.record().dataSubject.empty()); // the earlier stored record is untouched
}

// After an empty line, the listing (its format is the summaries' own test); a failure appends nothing.
TEST_F(GroupingOps, SubjectListingIsAppendedToTheLogAndAFailureAppendsNothing) {
    TextList expected = s.log();
    Handles h = stat_dataSubject(s.rt, calculate_dataSubject(s.rt, with_table()));
    expected.push_back("");
    for (const std::string& line : subject_listing(h.dataSubject))
        expected.push_back(line);
    EXPECT_EQ(s.log(), expected);
    EXPECT_EQ(std::count(expected.begin(), expected.end(), "         710.000   1650.000   240.000"), 1);
    EXPECT_TRUE(s.scripted.dialogs.empty());

    h.dataSubject.at("z01").vowelTargets.at("iy").Duration.clear(); // lists of unequal length
    stat_dataSubject(s.rt, h);
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    failure_report(s.scripted.last(), "Function \"stat_dataSubject\"", "Let Quillon know about this error:");
    EXPECT_EQ(s.log(), expected);
}

} // namespace
} // namespace tarvik::testing
