// The overlap of one pair through the overlap step on the headless main window with scripted dialogs:
// what it writes into the groups, the overlap table, the log and the result texts, how it moves the
// progress dialog, and how it reports a failure.
#include "overlap/overlap_ops.h"

#include "geometry/geometry_ops.h"
#include "overlap/overlap_step.h"
#include "support/geometry_samples.h"
#include "support/session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <utility>

namespace tarvik::testing {
namespace {

using Sizes = std::vector<std::size_t>;

// The 3D overlap when `space`, else the 2D one, of pair (a, b) of `h`, stored with the window first; the
// record it stores.
Handles overlap(bool space, Session& s, const Handles& h, int a, int b) {
    s.rt.store(h);
    calculate_overlap(s.rt, {.threeD = space, .pair = std::pair{a, b}, .resolution = std::nullopt});
    return s.record();
}

class OverlapOps : public StartedSession {
  protected:
    // The stored record with these groups, fitted in 3D and 2D as the preparation run fits them, with the
    // mirrored axes of the worked results.
    Handles fitted(std::vector<VowelGroup> groups) {
        Handles h = s.record();
        h.onlyAllow2D = 0;
        h.fitOrientation = FitOrientation::Mirrored;
        h.overlap.clear(); // of an earlier case
        h.v = GroupList(groups.begin(), groups.end());
        h = calculate_vowel_3D_dubstar(s.rt, std::move(h));
        h = calculate_3D_ellipsoids(s.rt, std::move(h));
        h = calculate_vowel_2D_star(s.rt, std::move(h));
        h = calculate_2D_ellipses(s.rt, std::move(h));
        s.scripted.dialogs.clear();
        return h;
    }
    Handles worked_pair() { return fitted({group("front", first_group()), group("back", second_group())}); }
};

// The space pair first, then the plane pair on its result: neither touches the other's fields, and the
// plane ignores the duration steps.
TEST_F(OverlapOps, WorkedPairInSpaceThenInThePlane) {
    Handles h = overlap(true, s, worked_pair(), 1, 2);
    EXPECT_EQ(s.log().back(), "3D VOWEL OVERLAP of Group <front> and Group <back> is: 0.133136");
    EXPECT_EQ(s.control("text_3D_overlap").string, TextList{"0.13314"});
    const OverlapCell cell = h.overlap.at({1, 2});
    EXPECT_EQ((std::vector{*cell.E1sum, *cell.E2sum, *cell.Ebothsum}), (std::vector<double>{2056, 338, 45}));
    EXPECT_EQ((std::vector{*cell.E1ovfrac, *cell.E2ovfrac, *cell.value}),
              (std::vector{45.0 / 2056, 45.0 / 338, 45.0 / 338}));
    // The points are counted again on the pair's grid, which both groups keep: the lists of the walk.
    const GridOverlap3D walk = grid_overlap_3d(ellipsoid_of(h.v[0]), ellipsoid_of(h.v[1]), {});
    const PointList3D in1 = *group_inside_points(h, 1, true), in2 = *group_inside_points(h, 2, true);
    const PointList3D both3 = pair_points(h, 1, 2, true).both;
    EXPECT_EQ((Sizes{both3.z.size(), in1.z.size(), in2.x.size()}), (Sizes{45, 2056, 338}));
    EXPECT_EQ((std::array{in1.x, in1.y, in1.z}), (std::array{walk.inside1.x, walk.inside1.y, walk.inside1.z}));
    EXPECT_EQ((std::array{in2.x, in2.y, in2.z}), (std::array{walk.inside2.x, walk.inside2.y, walk.inside2.z}));
    EXPECT_EQ((std::array{both3.x, both3.y, both3.z}), (std::array{walk.both.x, walk.both.y, walk.both.z}));
    expect_rel(both3.x.front(), -0.241140845930155);
    expect_rel(in1.y.front(), -0.12151752426637);
    EXPECT_FALSE(cell.value2D || h.v[0]->Egrid2D);

    h.overlapResolution.s = 1e9;
    const Handles p = overlap(false, s, h, 1, 2);
    EXPECT_EQ(s.log().back(), "2D VOWEL OVERLAP of Group <front> and Group <back> is: 0.250000");
    EXPECT_EQ(s.control("text_2D_overlap").string, TextList{"0.25"});
    const OverlapCell& both = p.overlap.at({1, 2});
    EXPECT_EQ((std::vector{*both.E1sum2D, *both.E2sum2D, *both.Ebothsum2D}),
              (std::vector<double>{152, 36, 9}));
    EXPECT_EQ((std::vector{*both.E1ovfrac2D, *both.E2ovfrac2D, *both.value2D}),
              (std::vector{9.0 / 152, 0.25, 0.25}));
    const PointList3D both2 = pair_points(p, 1, 2, false).both, in1Plane = *group_inside_points(p, 1, false);
    EXPECT_EQ((Sizes{both2.y.size(), in1Plane.x.size(), group_inside_points(p, 2, false)->y.size()}),
              (Sizes{9, 152, 36}));
    EXPECT_TRUE(both2.z.empty());
    expect_rel(both2.y.front(), -0.0865951124615884);
    expect_rel(in1Plane.x.front(), -0.43326099800139);
    EXPECT_EQ(both.value, cell.value);
    EXPECT_EQ(p.v[0]->Egrid, h.v[0]->Egrid);
}

// The pair's text, then one step per F2 column, all on the run's one progress dialog.
TEST_F(OverlapOps, ProgressTextThenOneStepPerF2Column) {
    Handles h = worked_pair();
    h.overlapResolution.m = 10;
    for (const bool space : {true, false}) {
        s.scripted.progress.clear();
        overlap(space, s, h, 2, 1);
        const auto& events = s.scripted.progress;
        ASSERT_EQ(events.size(), 14u);
        EXPECT_EQ(events[0].kind + " " + *events[0].message, "create One moment... ");
        EXPECT_EQ(events[1].message, "Pair 1 of 1: front and back");
        for (int i = 0; i <= 11; ++i) {
            EXPECT_EQ(events[i + 1].id, events[0].id) << i;
            EXPECT_DOUBLE_EQ(events[i + 1].fraction, i / 10.0) << i;
            EXPECT_EQ(events[i + 1].message.has_value(), i == 0) << i;
        }
        EXPECT_EQ(events[13].kind, "close");
    }
    // On this coarser grid the plane pair shares 2/9, shown with five significant digits.
    EXPECT_EQ(s.control("text_2D_overlap").string, TextList{"0.22222"});
}

TEST_F(OverlapOps, LogLineResultTextSharesAndListsOfSpecialPairs) {
    // The second group moved 0.6 along F2: beyond the first one's long semi-axis (about 0.24) plus its
    // own, yet close enough for both to hold grid points. Names are written as they are.
    Matrix far = second_group();
    for (std::size_t r = 0; r < far.rows; ++r)
        far(r, 0) += 0.6;
    const std::vector<VowelGroup> apart = {group("50%s of /a/", first_group()), group("%f %d", far)};
    // One token each: zero semi-axes, so neither shape holds a grid point.
    const std::vector<VowelGroup> single = {group("one", rows({{-0.25, -0.1, 0.06}})),
                                            group("other", rows({{-0.2, -0.05, 0.09}}))};

    const struct {
        bool space;
        const std::vector<VowelGroup>& groups;
        int first, second;
        std::string logEnd, text; // the log line after "is: ", the result text
        double share;             // of both groups alike; NaN: the groups hold no grid point
    } cases[] = {{true, apart, 2, 1, "0.000000", "0", 0},
                 {false, apart, 1, 2, "0.000000", "0", 0},
                 {true, single, 1, 2, "NaN", "NaN", kNaN},
                 {false, single, 1, 2, "NaN", "NaN", kNaN}};
    for (const auto& c : cases) {
        const int a = std::min(c.first, c.second), b = std::max(c.first, c.second);
        const std::string names =
            "Group <" + c.groups[a - 1].name + "> and Group <" + c.groups[b - 1].name + ">";
        SCOPED_TRACE((c.space ? "3D " : "2D ") + names);
        const Handles h = overlap(c.space, s, fitted(c.groups), c.first, c.second);

        EXPECT_EQ(s.log().back(),
                  (c.space ? "3D" : "2D") + std::string(" VOWEL OVERLAP of ") + names + " is: " + c.logEnd);
        EXPECT_EQ(s.control(c.space ? "text_3D_overlap" : "text_2D_overlap").string, TextList{c.text});
        const OverlapCell& cell = h.overlap.at({a, b});
        expect_same(*(c.space ? cell.E1ovfrac : cell.E1ovfrac2D), c.share, 0);
        expect_same(*(c.space ? cell.E2ovfrac : cell.E2ovfrac2D), c.share, 0);
        // A group holding no grid point has no inside point; none is inside both unless the shares are
        // positive.
        EXPECT_EQ(group_inside_points(h, a, c.space)->x.empty(), std::isnan(c.share));
        EXPECT_EQ(group_inside_points(h, b, c.space)->y.empty(), std::isnan(c.share));
        EXPECT_EQ(pair_points(h, a, b, c.space).both.x.empty(), !(c.share > 0));
    }
}

// A failure is reported and waited for; the pair's results of that dimension become NaN, an earlier
// estimate's value included, and the log says the overlap could not be calculated.
TEST_F(OverlapOps, FailuresReportWaitAndLeaveThePairNaN) {
    const std::string resolution = "The overlap resolution must be whole numbers from 1 to 1000.";
    // 1000 steps per axis are a fine plane but a billion points in space.
    const auto billion = [](Handles& h) { h.overlapResolution = {1000, 1000, 1000}; };
    const struct {
        bool space;
        std::function<void(Handles&)> spoil;
        int first, second;
        std::string message;
    } cases[] = {
        {true, [](Handles& h) { h.v[1].edit().ellps3D.reset(), h.overlap[{1, 2}].value = 0.5; }, 1, 2,
         "Group <back> has no fitted ellipsoid to measure its overlap with."},
        {false, [](Handles& h) { h.v[0].edit().A2D.reset(); }, 2, 1,
         "Group <front> has no fitted ellipse to measure its overlap with."},
        {true, [](Handles&) {}, 1, 3, "There is no group 3: the session has 2 groups."},
        {true, [](Handles& h) { h.overlapResolution.s = 0; }, 1, 2, resolution},
        {false, [](Handles& h) { h.overlapResolution.n = 2.5; }, 1, 2, resolution},
        {false, [](Handles& h) { h.overlapResolution.m = 1001; }, 1, 2, resolution},
        {true, billion, 1, 2,
         "The overlap grid of 1001 x 1001 x 1001 points is too large: at most 10 million points can be "
         "measured."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        Handles h = worked_pair();
        c.spoil(h);
        const TextList logBefore = s.log();
        const Handles out = overlap(c.space, s, h, c.first, c.second);

        ASSERT_EQ(s.scripted.dialogs.size(), 1u);
        if (c.second == 3) { // no such group: refused before anything runs
            EXPECT_EQ(s.scripted.last().title, "No such group");
            EXPECT_EQ(s.scripted.last().text, TextList{c.message});
            EXPECT_EQ(out, h);
            EXPECT_EQ(s.log(), logBefore);
            continue;
        }
        const std::string op = c.space ? "calculate_3D_overlap" : "calculate_2D_overlap";
        EXPECT_EQ(
            failure_report(s.scripted.last(), "Let Quillon know: \"" + op + "\"", "Function Error:\n\n "),
            c.message);
        const OverlapCell& cell = out.overlap.at({1, 2});
        EXPECT_TRUE(overlap_failed(pair_results(cell, c.space)));
        expect_same(*(c.space ? cell.value : cell.value2D), kNaN);
        EXPECT_EQ(s.log().back(), std::string(c.space ? "3D" : "2D") +
                                      " VOWEL OVERLAP of Group <front> and Group <back> is: NaN (it could not be "
                                      "calculated)");
        Handles rest = out;
        rest.overlap = h.overlap;
        EXPECT_EQ(rest.v, h.v);
    }
}

} // namespace
} // namespace tarvik::testing
