// The session record as the opening function leaves it, and the defaults of new vowel groups. (The group
// count and step at start: the group styles below and the wizard test.)
#include "app/record.h"
#include "support/session.h"

#include <gtest/gtest.h>

namespace tarvik::testing {
namespace {

const Color kRed{1, 0, 0}, kGreen{0, 1, 0}, kBlue{0, 0, 1}, kCyan{0, 1, 1}, kMagenta{1, 0, 1},
    kYellow{1, 1, 0}, kBlack{0, 0, 0};

using RecordAtStart = StartedSession;

TEST_F(RecordAtStart, HoldsTheInitialValuesAndRefersToEveryObjectOfTheWindow) {
    const Handles h = s.record();
    EXPECT_EQ(h.stdmult, 2);
    EXPECT_EQ(h.overlapResolution, (OverlapResolution{20, 20, 20}));
    EXPECT_EQ(h.HeaderName, HeaderNames{}); // every role still unset, not an empty text
    EXPECT_EQ(h.output, ControlRef{"figure1"});
    EXPECT_EQ(h.objects.size(), s.fig().objects().size() + 1);
    for (const auto& c : s.fig().objects())
        EXPECT_EQ(h.objects.find(c.tag) ? h.objects.find(c.tag)->tag : "(none)", c.tag);
    EXPECT_EQ(s.control("popupmenu_plot_marker_color").string,
              (TextList{"red", "green", "blue", "cyan", "magenta", "yellow", "black"}));
    EXPECT_EQ(s.control("popupmenu_plot_marker_line").string, (TextList{"-", "--", ":", "-."}));
    EXPECT_EQ(s.control("popupmenu_plot_marker_type").string,
              (TextList{"x", "+", "o", "*", ".", "s", "^", "v", ">", "<"}));
}

// Group n takes colour n mod 8 (0 read as 1); line style and marker come from the queues "---:-." and
// "x+o*.s^", each taken from the front and moved to the back by every group ever created, so a deleted
// group does not give its styles back.
TEST_F(RecordAtStart, NewGroupsFollowTheColourRuleAndTheStyleQueues) {
    const struct {
        double colorIndex;
        Color color;
        const char* line;
        const char* marker;
    } groups[] = {{1, kRed, "-", "x"},   {2, kGreen, "-", "o"},   {3, kBlue, ":", "*"},
                  {4, kCyan, "-", "."},  {5, kMagenta, ".", "s"}, {6, kYellow, "-", "^"},
                  {7, kBlack, "-", "x"}, {1, kRed, "-", "+"},     {1, kRed, ":", "o"},
                  {2, kGreen, "-", "*"}};
    Handles h = s.record();
    EXPECT_EQ(h.vowelLineStyle, "-:-.--"); // two groups made at start-up
    EXPECT_EQ(h.vowelMarkerType, "o*.s^x+");
    h.v.pop_back();
    while (h.v.size() < std::size(groups))
        h = create_newVowel(s.rt, h);
    EXPECT_EQ(s.record(), h); // create_newVowel keeps the window's record up to date itself
    for (std::size_t i = 0; i < std::size(groups); ++i) {
        SCOPED_TRACE("group " + std::to_string(i + 1));
        EXPECT_EQ(h.v[i]->markerColorIndex, groups[i].colorIndex);
        EXPECT_EQ(h.v[i]->markerColor, groups[i].color);
        EXPECT_EQ(h.v[i]->markerLine, groups[i].line);
        EXPECT_EQ(h.v[i]->markerType, groups[i].marker);
        EXPECT_EQ(h.v[i]->name, "(change my name)");
        EXPECT_TRUE(h.v[i]->constraintList.empty() && h.v[i]->constraints.empty() && h.v[i]->data.empty());
    }
}

} // namespace
} // namespace tarvik::testing
