// The session record as the opening function leaves it, and the defaults of new vowel groups. (The group
// count and step at start: the group styles below and the wizard test.)
#include "app/record.h"
#include "support/session.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

namespace tarvik::testing {
namespace {

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
              (TextList{"blue", "orange", "red", "teal", "green", "yellow", "purple", "pink", "brown", "grey",
                        "black", "olive"}));
    EXPECT_EQ(s.control("popupmenu_plot_marker_line").string, (TextList{"-", "--", ":", "-."}));
    EXPECT_EQ(s.control("popupmenu_plot_marker_type").string,
              (TextList{"x", "+", "o", "*", ".", "s", "^", "v", ">", "<"}));
}

// Group n takes colour n of the twelve and a marker that moves one further on with every round of the
// colours, so the first 48 groups (and more) all look different and neighbours differ in both; the line
// style comes from the queue "---:-.", taken from the front and moved to the back by every group ever
// created, so a deleted group does not give it back.
TEST_F(RecordAtStart, NewGroupsTakeDistinctStylesAndTheLineQueue) {
    const struct {
        double colorIndex;
        const char* line;
        const char* marker;
    } groups[] = {{1, "-", "o"}, {2, "-", "s"}, {3, ":", "^"},  {4, "-", "v"},  {5, ".", "x"},
                  {6, "-", "+"}, {7, "-", "*"}, {8, "-", "<"},  {9, ":", "o"},  {10, "-", "s"},
                  {11, ".", "^"}, {12, "-", "v"}, {1, "-", "+"}, {2, "-", "*"}};
    Handles h = s.record();
    EXPECT_EQ(h.vowelLineStyle, "-:-.--"); // two groups made at start-up
    h.v.pop_back();
    while (h.v.size() < 48)
        h = create_newVowel(s.rt, h);
    EXPECT_EQ(s.record(), h); // create_newVowel keeps the window's record up to date itself
    std::set<std::pair<std::string, std::string>> looks;
    for (std::size_t i = 0; i < h.v.size(); ++i) {
        SCOPED_TRACE("group " + std::to_string(i + 1));
        const VowelGroup& g = *h.v[i];
        EXPECT_EQ(g.markerColor, kGroupPalette[static_cast<std::size_t>(g.markerColorIndex) - 1].second);
        const Color c = g.markerColor;
        looks.insert({std::to_string(c.r) + std::to_string(c.g) + std::to_string(c.b), g.markerType});
        if (i > 0) {
            EXPECT_TRUE(g.markerColor != h.v[i - 1]->markerColor && g.markerType != h.v[i - 1]->markerType);
        }
        if (i < std::size(groups)) {
            EXPECT_EQ(g.markerColorIndex, groups[i].colorIndex);
            EXPECT_EQ(g.markerLine, groups[i].line);
            EXPECT_EQ(g.markerType, groups[i].marker);
        }
        EXPECT_EQ(g.name, "(change my name)");
        EXPECT_TRUE(g.constraintList.empty() && g.constraints.empty() && g.data.empty());
    }
    EXPECT_EQ(looks.size(), 48u);
}

} // namespace
} // namespace tarvik::testing
