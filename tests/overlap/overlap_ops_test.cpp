// The overlap of one pair on the headless main window with scripted dialogs: what it writes into the
// groups, the overlap table, the log and the result texts, how it moves the progress dialog, and how
// it reports a failure.
#include "overlap/overlap_ops.h"

#include "support/session.h"
#include "geometry/geometry_ops.h"
#include "overlap_samples.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarvik::testing {
namespace {

// The tokens moved by (dF2, dF1, dduration).
Matrix shifted(Matrix m, double f2, double f1, double dur) {
    for (std::size_t r = 0; r < m.rows; ++r) {
        m(r, 0) += f2;
        m(r, 1) += f1;
        m(r, 2) += dur;
    }
    return m;
}

VowelGroup group(const std::string& name, const Matrix& data) {
    VowelGroup g;
    g.name = name;
    g.data = g.dataOriginal = data;
    return g;
}

// The 3D overlap when `space`, else the 2D one.
Handles overlap(bool space, Runtime& rt, Handles h, int a, int b, int currPair = 1, int totalPairs = 1,
                std::optional<ProgressRef> bar = std::nullopt) {
    return space ? calculate_3D_overlap(rt, std::move(h), a, b, currPair, totalPairs, bar)
                 : calculate_2D_overlap(rt, std::move(h), a, b, currPair, totalPairs, bar);
}

class OverlapOps : public StartedSession {
  protected:
    void SetUp() override {
        StartedSession::SetUp();
        s.scripted.dialogs.clear();
    }
    // The stored record with these groups, fitted in 3D and 2D as the preparation run fits them.
    Handles fitted(std::vector<VowelGroup> groups) {
        Handles h = s.record();
        h.onlyAllow2D = 0;
        h.v = std::move(groups);
        h = calculate_vowel_3D_dubstar(s.rt, std::move(h));
        h = calculate_3D_ellipsoids(s.rt, std::move(h));
        h = calculate_vowel_2D_star(s.rt, std::move(h));
        h = calculate_2D_ellipses(s.rt, std::move(h));
        s.scripted.dialogs.clear();
        return h;
    }
    Handles worked_pair() { return fitted({group("front", first_group()), group("back", second_group())}); }
    // Five groups: the two worked ones and three shifted copies.
    Handles five_groups() {
        return fitted({group("g1", first_group()), group("g2", second_group()),
                       group("g3", shifted(first_group(), 0.05, 0.02, 0.01)),
                       group("g4", shifted(second_group(), -0.04, 0.01, 0)),
                       group("g5", shifted(second_group(), 0.02, -0.03, 0.005))});
    }
    ProgressRef open_progress() {
        const ProgressRef ref = s.scripted.create(0, "One moment... ");
        s.scripted.progress.clear();
        return ref;
    }
};

// --- the two nine-token groups ----------------------------------------------------------------------

TEST_F(OverlapOps, SpaceWorkedPair) {
    const Handles h = calculate_3D_overlap(s.rt, worked_pair(), 1, 2, 1, 1, open_progress());

    EXPECT_TRUE(s.scripted.dialogs.empty());
    EXPECT_EQ(s.log().back(), "3D VOWEL OVERLAP of Group <front> and Group <back> is: 0.133136");
    EXPECT_EQ(s.control("text_3D_overlap").string, TextList{"0.13314"});
    ASSERT_EQ(h.overlap.count({1, 2}), 1u);
    const OverlapCell& cell = h.overlap.at({1, 2});
    EXPECT_DOUBLE_EQ(*cell.value, 45.0 / 338.0);
    EXPECT_DOUBLE_EQ(*cell.E1ovfrac, 45.0 / 2056.0);
    EXPECT_DOUBLE_EQ(*cell.E2ovfrac, 45.0 / 338.0);
    EXPECT_EQ(*cell.E1sum, 2056);
    EXPECT_EQ(*cell.E2sum, 338);
    EXPECT_EQ(*cell.Ebothsum, 45);
    EXPECT_EQ(cell.Bothcoordz->size(), 45u);
    expect_rel(cell.Bothcoordx->front(), -0.241140845930155);
    EXPECT_EQ(h.v[0].Ecoordx->size(), 2056u);
    EXPECT_EQ(h.v[0].Ecoordz->size(), 2056u);
    expect_rel(h.v[0].Ecoordy->front(), -0.12151752426637);
    EXPECT_EQ(h.v[1].Ecoordy->size(), 338u);
    EXPECT_FALSE(cell.value2D || cell.E1sum2D || cell.Bothcoordx2D || h.v[0].Ecoordx2D);
    // Stored with the window, so that the pair survives a failure of a later one.
    EXPECT_EQ(s.record(), h);
}

TEST_F(OverlapOps, PlaneWorkedPair) {
    const Handles h = calculate_2D_overlap(s.rt, worked_pair(), 1, 2, 1, 1, open_progress());

    EXPECT_TRUE(s.scripted.dialogs.empty());
    EXPECT_EQ(s.log().back(), "2D VOWEL OVERLAP of Group <front> and Group <back> is: 0.250000");
    EXPECT_EQ(s.control("text_2D_overlap").string, TextList{"0.25"});
    const OverlapCell& cell = h.overlap.at({1, 2});
    EXPECT_DOUBLE_EQ(*cell.value2D, 0.25);
    EXPECT_DOUBLE_EQ(*cell.E1ovfrac2D, 9.0 / 152.0);
    EXPECT_DOUBLE_EQ(*cell.E2ovfrac2D, 0.25);
    EXPECT_EQ(*cell.E1sum2D, 152);
    EXPECT_EQ(*cell.E2sum2D, 36);
    EXPECT_EQ(*cell.Ebothsum2D, 9);
    EXPECT_EQ(cell.Bothcoordy2D->size(), 9u);
    expect_rel(cell.Bothcoordy2D->front(), -0.0865951124615884);
    EXPECT_EQ(h.v[0].Ecoordx2D->size(), 152u);
    expect_rel(h.v[0].Ecoordx2D->front(), -0.43326099800139);
    EXPECT_EQ(h.v[1].Ecoordy2D->size(), 36u);
    EXPECT_FALSE(cell.value || cell.E1sum || cell.Bothcoordx || h.v[0].Ecoordx);
    EXPECT_EQ(s.control("text_3D_overlap").string, TextList{" -- "});
    EXPECT_EQ(s.record(), h); // kept by the log append
}

// --- pair order and progress ------------------------------------------------------------------------------

TEST_F(OverlapOps, LargerIndexFirstIsStoredSmallerFirst) {
    const ProgressRef bar = open_progress();
    const Handles five = five_groups();
    const Handles h = calculate_3D_overlap(s.rt, five, 5, 2, 3, 6, bar);

    EXPECT_EQ(h.overlap.count({2, 5}), 1u);
    EXPECT_EQ(h.overlap.count({5, 2}), 0u);
    EXPECT_EQ(s.log().back().rfind("3D VOWEL OVERLAP of Group <g2> and Group <g5> is: ", 0), 0u)
        << s.log().back();
    ASSERT_FALSE(s.scripted.progress.empty());
    EXPECT_EQ(s.scripted.progress.front().message,
              "One moment, calculating overlap for 3 out of 6 pair(s).\nCurrent pair: g2 and g5");
    // Group 2 is the pair's first shape: its lists and share are the first ones.
    const GridOverlap3D direct = grid_overlap_3d(ellipsoid_of(five.v[1]), ellipsoid_of(five.v[4]), {});
    EXPECT_EQ(*h.v[1].Ecoordx, direct.inside1.x);
    EXPECT_EQ(*h.v[4].Ecoordz, direct.inside2.z);
    EXPECT_EQ(*h.overlap.at({2, 5}).E1ovfrac, direct.shares.E1ovfrac);

    const Handles p = calculate_2D_overlap(s.rt, five, 4, 1, 1, 1, bar);
    EXPECT_EQ(p.overlap.count({1, 4}), 1u);
    EXPECT_EQ(p.overlap.count({4, 1}), 0u);
    EXPECT_EQ(s.log().back().rfind("2D VOWEL OVERLAP of Group <g1> and Group <g4> is: ", 0), 0u)
        << s.log().back();
    const GridOverlap2D plane = grid_overlap_2d(ellipse_of(five.v[0]), ellipse_of(five.v[3]), {});
    EXPECT_EQ(*p.v[0].Ecoordy2D, plane.inside1.y);
    EXPECT_EQ(*p.v[3].Ecoordx2D, plane.inside2.x);
}

TEST_F(OverlapOps, ProgressTextThenOneStepPerF2Column) {
    Handles h = five_groups();
    h.overlapResolution.m = 10;
    const struct {
        bool space;
        int currPair, totalPairs;
        std::string text;
    } cases[] = {
        {true, 1, 1, "One moment, calculating overlap for 1 out of 1 pair(s).\nCurrent pair: g2 and g3"},
        {true, 3, 6, "One moment, calculating overlap for 3 out of 6 pair(s).\nCurrent pair: g2 and g3"},
        {false, 1, 1, "One moment, calculating overlap for 1 pair"},
        {false, 3, 6, "One moment, calculating overlap for 3 out of 6 pairs"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const ProgressRef bar = open_progress();
        overlap(c.space, s.rt, h, 2, 3, c.currPair, c.totalPairs, bar);
        // The pair owns the share 1/total from (pair - 1)/total on; column i moves it to i/m of that share.
        const double ratio = 1.0 / c.totalPairs, section = (c.currPair - 1) * ratio;
        const auto& events = s.scripted.progress;
        ASSERT_EQ(events.size(), 12u);
        EXPECT_EQ(events[0].id, bar.id);
        EXPECT_EQ(events[0].message, c.text);
        for (int i = 0; i <= 11; ++i) {
            EXPECT_EQ(events[i].kind, "update") << i;
            EXPECT_DOUBLE_EQ(events[i].fraction, section + i / 10.0 * ratio) << i;
            EXPECT_EQ(events[i].message.has_value(), i == 0) << i;
        }
    }
    // Without a progress dialog nothing is shown.
    s.scripted.progress.clear();
    overlap(true, s.rt, h, 1, 2);
    overlap(false, s.rt, h, 1, 2);
    EXPECT_TRUE(s.scripted.progress.empty());
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

// --- what the log, the result texts and the lists show ------------------------------------------------

TEST_F(OverlapOps, LogLineResultTextSharesAndListsOfSpecialPairs) {
    // The second group moved 0.6 along F2: beyond the first one's long semi-axis (about 0.24) plus its
    // own, yet close enough for both to hold grid points.
    const std::vector<VowelGroup> apart = {group("near", first_group()),
                                           group("far", shifted(second_group(), 0.6, 0, 0))};
    // One token each: zero semi-axes, so neither shape holds a grid point.
    const std::vector<VowelGroup> single = {group("one", rows({{-0.25, -0.1, 0.06}})),
                                            group("other", rows({{-0.2, -0.05, 0.09}}))};
    // The second group is the first shrunk far below the grid step about a point between grid points.
    Matrix tiny = first_group();
    for (std::size_t r = 0; r < tiny.rows; ++r)
        for (std::size_t c = 0; c < 3; ++c)
            tiny(r, c) = (c == 0 ? -0.2218 : c == 1 ? -0.0787 : 0.0751) + 1e-6 * first_group()(r, c);
    const std::vector<VowelGroup> withTiny = {group("wide", first_group()), group("tiny", tiny)};
    const std::vector<VowelGroup> tinyFirst = {group("tiny", tiny), group("wide", first_group())};
    const std::vector<VowelGroup> worked = {group("front", first_group()), group("back", second_group())};

    const struct {
        bool space;
        const std::vector<VowelGroup>& groups;
        int first, second;
        std::string logEnd, text;  // the log line after "is: ", the result text
        double E1ovfrac, E2ovfrac; // NaN: the group holds no grid point
    } cases[] = {
        {true, worked, 2, 2, "1.000000", "1", 1, 1},      {false, worked, 2, 2, "1.000000", "1", 1, 1},
        {true, apart, 2, 1, "0.000000", "0", 0, 0},       {false, apart, 1, 2, "0.000000", "0", 0, 0},
        {true, withTiny, 1, 2, "0.000000", "0", 0, kNaN}, {false, tinyFirst, 2, 1, "0.000000", "0", kNaN, 0},
        {true, single, 1, 2, "NaN", "NaN", kNaN, kNaN},   {false, single, 1, 2, "NaN", "NaN", kNaN, kNaN}};
    for (const auto& c : cases) {
        const int a = std::min(c.first, c.second), b = std::max(c.first, c.second);
        const std::string names =
            "Group <" + c.groups[a - 1].name + "> and Group <" + c.groups[b - 1].name + ">";
        SCOPED_TRACE((c.space ? "3D " : "2D ") + names);
        const Handles h = overlap(c.space, s.rt, fitted(c.groups), c.first, c.second);

        EXPECT_TRUE(s.scripted.dialogs.empty());
        EXPECT_EQ(s.log().back(),
                  (c.space ? "3D" : "2D") + std::string(" VOWEL OVERLAP of ") + names + " is: " + c.logEnd);
        EXPECT_EQ(s.control(c.space ? "text_3D_overlap" : "text_2D_overlap").string, TextList{c.text});
        const OverlapCell& cell = h.overlap.at({a, b});
        const auto share = [](double got, double want) {
            return std::isnan(want) ? std::isnan(got) : got == want;
        };
        EXPECT_TRUE(share(*(c.space ? cell.E1ovfrac : cell.E1ovfrac2D), c.E1ovfrac));
        EXPECT_TRUE(share(*(c.space ? cell.E2ovfrac : cell.E2ovfrac2D), c.E2ovfrac));
        // A group's inside list is empty exactly when it holds no grid point; the both-list is empty
        // unless the shares are positive and, for a group with itself, equals the group's list.
        const auto inside = [&](int g) -> const std::optional<SharedValues>& {
            return c.space ? h.v[g - 1].Ecoordx : h.v[g - 1].Ecoordx2D;
        };
        ASSERT_TRUE(inside(a) && inside(b) && (c.space ? cell.Bothcoordx : cell.Bothcoordx2D));
        const SharedValues& both = *(c.space ? cell.Bothcoordx : cell.Bothcoordx2D);
        EXPECT_EQ(inside(a)->empty(), std::isnan(c.E1ovfrac));
        EXPECT_EQ(inside(b)->empty(), std::isnan(c.E2ovfrac));
        EXPECT_EQ(both.empty(), !(c.E1ovfrac > 0));
        if (a == b) {
            EXPECT_EQ(both, *inside(a));
            EXPECT_FALSE(inside(3 - a).has_value()) << "the other group is not in the pair";
        }
    }
}

TEST_F(OverlapOps, GroupNamesAreWrittenAsTheyAre) {
    Handles h = worked_pair();
    h.v[0].name = "50%s of /a/";
    h.v[1].name = "%f %d";
    calculate_3D_overlap(s.rt, h, 1, 2, 1, 1);
    EXPECT_EQ(s.log().back(), "3D VOWEL OVERLAP of Group <50%s of /a/> and Group <%f %d> is: 0.133136");
}

TEST_F(OverlapOps, PlaneAndSpaceFieldsOfACellStayApart) {
    const Handles start = worked_pair();
    const Handles spaceOnly = calculate_3D_overlap(s.rt, start, 1, 2, 1, 1);
    const Handles planeOnly = calculate_2D_overlap(s.rt, start, 1, 2, 1, 1);
    const Handles spaceThenPlane = calculate_2D_overlap(s.rt, spaceOnly, 1, 2, 1, 1);
    const Handles planeThenSpace = calculate_3D_overlap(s.rt, planeOnly, 2, 1, 1, 1);
    // Either order gives the same cell: neither calculation touches a field of the other.
    const OverlapCell& cell = spaceThenPlane.overlap.at({1, 2});
    EXPECT_EQ(cell, planeThenSpace.overlap.at({1, 2}));
    EXPECT_EQ(cell.value, spaceOnly.overlap.at({1, 2}).value);
    EXPECT_EQ(cell.Bothcoordz, spaceOnly.overlap.at({1, 2}).Bothcoordz);
    EXPECT_EQ(cell.value2D, planeOnly.overlap.at({1, 2}).value2D);
    EXPECT_EQ(cell.Bothcoordy2D, planeOnly.overlap.at({1, 2}).Bothcoordy2D);
    for (const Handles* both : {&spaceThenPlane, &planeThenSpace}) {
        EXPECT_EQ(both->v[0].Ecoordx, spaceOnly.v[0].Ecoordx);
        EXPECT_EQ(both->v[0].Ecoordx2D, planeOnly.v[0].Ecoordx2D);
    }
}

// --- failures ---------------------------------------------------------------------------------------------

TEST_F(OverlapOps, FailuresReportWaitAndReturnTheRecordUnchanged) {
    const std::string resolution = "The overlap resolution must be whole numbers from 1 to 1000.";
    const struct {
        bool space;
        std::function<void(Handles&)> spoil;
        int first, second;
        std::string message;
    } cases[] = {
        {true, [](Handles& h) { h.v[1].ellps3D.reset(); }, 1, 2,
         "Group <back> has no fitted ellipsoid to measure its overlap with."},
        {false, [](Handles& h) { h.v[0].A2D.reset(); }, 2, 1,
         "Group <front> has no fitted ellipse to measure its overlap with."},
        {true, [](Handles&) {}, 1, 3, "There is no group 3: the session has 2 groups."},
        {false, [](Handles&) {}, 0, 2, "There is no group 0: the session has 2 groups."},
        {true, [](Handles& h) { h.overlapResolution.s = 0; }, 1, 2, resolution},
        {false, [](Handles& h) { h.overlapResolution.n = 2.5; }, 1, 2, resolution},
        {false, [](Handles& h) { h.overlapResolution.m = 1e6; }, 1, 2, resolution},
        // 1000 steps per axis are a fine plane but a billion points in space.
        {true,
         [](Handles& h) {
             h.overlapResolution = {1000, 1000, 1000};
         },
         1, 2,
         "The overlap grid of 1001 x 1001 x 1001 points is too large: at most 10 million points can be "
         "measured."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        Handles h = worked_pair();
        c.spoil(h);
        s.rt.store(h);
        const TextList logBefore = s.log();
        const Handles out = overlap(c.space, s.rt, h, c.first, c.second);

        ASSERT_EQ(s.scripted.dialogs.size(), 1u);
        const DialogRecord& d = s.scripted.last();
        EXPECT_EQ(d.kind, "warning");
        EXPECT_EQ(d.text, TextList{"Function Error:\n\n " + c.message});
        EXPECT_EQ(d.title, c.space ? "Let Quillon know: \"calculate_3D_overlap\""
                                   : "Let Quillon know: \"calculate_2D_overlap\"");
        EXPECT_TRUE(d.modal && d.waited);
        EXPECT_EQ(out, h);
        EXPECT_EQ(s.record(), h);
        EXPECT_EQ(s.log(), logBefore);
    }
}

TEST_F(OverlapOps, PlaneIgnoresTheDurationSteps) {
    Handles h = worked_pair();
    h.overlapResolution.s = 1e9;
    calculate_2D_overlap(s.rt, h, 1, 2, 1, 1);
    EXPECT_TRUE(s.scripted.dialogs.empty());
    EXPECT_EQ(s.control("text_2D_overlap").string, TextList{"0.25"});
}

} // namespace
} // namespace tarvik::testing
