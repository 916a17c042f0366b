// The overlap of one pair on the headless main window with scripted dialogs: what it writes into the
// groups, the overlap table, the log and the result texts, how it moves the progress dialog, and how
// it reports a failure.
#include "overlap/overlap_ops.h"

#include "app/session.h"
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
    g.data = data;
    g.dataOriginal = data;
    return g;
}

using Operation = std::function<Handles(Runtime&, Handles, int, int, int, int, std::optional<ProgressRef>)>;

const Operation kPlane = [](Runtime& rt, Handles h, int a, int b, int k, int n,
                            std::optional<ProgressRef> p) {
    return calculate_2D_overlap(rt, std::move(h), a, b, k, n, p);
};
const Operation kSpace = [](Runtime& rt, Handles h, int a, int b, int k, int n,
                            std::optional<ProgressRef> p) {
    return calculate_3D_overlap(rt, std::move(h), a, b, k, n, p);
};

class OverlapOps : public StartedSession {
  protected:
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

    void SetUp() override {
        StartedSession::SetUp();
        s.scripted.dialogs.clear();
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

// --- pair order ------------------------------------------------------------------------------------------

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

// --- progress -----------------------------------------------------------------------------------------

struct ProgressCase {
    std::string name;
    Operation op;
    int currPair, totalPairs;
    std::string text;
};
void PrintTo(const ProgressCase& c, std::ostream* os) {
    *os << c.name;
}

class OverlapProgress : public OverlapOps, public ::testing::WithParamInterface<ProgressCase> {};

TEST_P(OverlapProgress, TextThenOneStepPerF2Column) {
    const ProgressCase& c = GetParam();
    Handles h = five_groups();
    h.overlapResolution.m = 10;
    const ProgressRef bar = open_progress();
    c.op(s.rt, h, 2, 3, c.currPair, c.totalPairs, bar);

    // The pair owns the share 1/total from (pair - 1)/total on; column i moves it to i/m of that share.
    const double ratio = 1.0 / c.totalPairs;
    const double section = (c.currPair - 1) * ratio;
    const auto& events = s.scripted.progress;
    ASSERT_EQ(events.size(), 12u);
    EXPECT_EQ(events[0].kind, "update");
    EXPECT_EQ(events[0].id, bar.id);
    EXPECT_DOUBLE_EQ(events[0].fraction, section);
    EXPECT_EQ(events[0].message, c.text);
    for (int i = 1; i <= 11; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(events[i].kind, "update");
        EXPECT_DOUBLE_EQ(events[i].fraction, section + i / 10.0 * ratio);
        EXPECT_FALSE(events[i].message.has_value());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Overlap, OverlapProgress,
    ::testing::Values(
        ProgressCase{"SpaceSingle", kSpace, 1, 1,
                     "One moment, calculating overlap for 1 out of 1 pair(s).\nCurrent pair: g2 and g3"},
        ProgressCase{"SpaceThirdOfSix", kSpace, 3, 6,
                     "One moment, calculating overlap for 3 out of 6 pair(s).\nCurrent pair: g2 and g3"},
        ProgressCase{"PlaneSingle", kPlane, 1, 1, "One moment, calculating overlap for 1 pair"},
        ProgressCase{"PlaneThirdOfSix", kPlane, 3, 6,
                     "One moment, calculating overlap for 3 out of 6 pairs"}),
    [](const auto& info) { return info.param.name; });

TEST_F(OverlapOps, WithoutProgressDialogNothingIsShown) {
    calculate_3D_overlap(s.rt, worked_pair(), 1, 2, 1, 1);
    calculate_2D_overlap(s.rt, worked_pair(), 1, 2, 1, 1);
    EXPECT_TRUE(s.scripted.progress.empty());
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

// --- what the log and the result texts show ----------------------------------------------------------

struct ShownCase {
    std::string name;
    Operation op;
    bool space;
    std::vector<VowelGroup> groups;
    int first, second;
    std::string logEnd; // the log line after "is: "
    std::string text;
    bool emptyBoth;
};
void PrintTo(const ShownCase& c, std::ostream* os) {
    *os << c.name;
}

class OverlapShown : public OverlapOps, public ::testing::WithParamInterface<ShownCase> {};

TEST_P(OverlapShown, LogLineAndResultText) {
    const ShownCase& c = GetParam();
    const Handles h = c.op(s.rt, fitted(c.groups), c.first, c.second, 1, 1, std::nullopt);

    EXPECT_TRUE(s.scripted.dialogs.empty());
    const std::string dim = c.space ? "3D" : "2D";
    const std::string a = c.groups[static_cast<std::size_t>(std::min(c.first, c.second) - 1)].name;
    const std::string b = c.groups[static_cast<std::size_t>(std::max(c.first, c.second) - 1)].name;
    EXPECT_EQ(s.log().back(),
              dim + " VOWEL OVERLAP of Group <" + a + "> and Group <" + b + "> is: " + c.logEnd);
    EXPECT_EQ(s.control(c.space ? "text_3D_overlap" : "text_2D_overlap").string, TextList{c.text});
    const OverlapCell& cell = h.overlap.at({std::min(c.first, c.second), std::max(c.first, c.second)});
    if (c.emptyBoth) {
        EXPECT_TRUE(c.space ? cell.Bothcoordx->empty() && cell.Bothcoordz->empty()
                            : cell.Bothcoordx2D->empty() && cell.Bothcoordy2D->empty());
    }
}

// The second group moved 0.6 along F2: beyond the first one's long semi-axis (about 0.24) plus its own,
// yet close enough for both to hold grid points.
std::vector<VowelGroup> apart() {
    return {group("near", first_group()), group("far", shifted(second_group(), 0.6, 0, 0))};
}
// One token each: zero semi-axes, so neither shape holds a grid point.
std::vector<VowelGroup> single_tokens() {
    return {group("one", rows({{-0.25, -0.1, 0.06}})), group("other", rows({{-0.2, -0.05, 0.09}}))};
}
// The second group is the first shrunk far below the grid step about a point between grid points.
std::vector<VowelGroup> with_tiny() {
    Matrix tiny = first_group();
    for (std::size_t r = 0; r < tiny.rows; ++r)
        for (std::size_t c = 0; c < 3; ++c)
            tiny(r, c) = (c == 0 ? -0.2218 : c == 1 ? -0.0787 : 0.0751) + 1e-6 * first_group()(r, c);
    return {group("wide", first_group()), group("tiny", tiny)};
}

INSTANTIATE_TEST_SUITE_P(
    Overlap, OverlapShown,
    ::testing::Values(
        ShownCase{"SpaceItself", kSpace, true, {group("front", first_group())}, 1, 1, "1.000000", "1", false},
        ShownCase{
            "PlaneItself", kPlane, false, {group("front", first_group())}, 1, 1, "1.000000", "1", false},
        ShownCase{"SpaceApart", kSpace, true, apart(), 2, 1, "0.000000", "0", true},
        ShownCase{"PlaneApart", kPlane, false, apart(), 1, 2, "0.000000", "0", true},
        ShownCase{"SpaceTiny", kSpace, true, with_tiny(), 1, 2, "0.000000", "0", true},
        ShownCase{"PlaneTiny", kPlane, false, with_tiny(), 1, 2, "0.000000", "0", true},
        ShownCase{"SpaceNeither", kSpace, true, single_tokens(), 1, 2, "NaN", "NaN", true},
        ShownCase{"PlaneNeither", kPlane, false, single_tokens(), 1, 2, "NaN", "NaN", true}),
    [](const auto& info) { return info.param.name; });

TEST_F(OverlapOps, GroupNamesAreWrittenAsTheyAre) {
    Handles h = worked_pair();
    h.v[0].name = "50%s of /a/";
    h.v[1].name = "%f %d";
    calculate_3D_overlap(s.rt, h, 1, 2, 1, 1);
    EXPECT_EQ(s.log().back(), "3D VOWEL OVERLAP of Group <50%s of /a/> and Group <%f %d> is: 0.133136");
}

TEST_F(OverlapOps, GroupWithItselfFillsTheDiagonalCell) {
    const Handles h = calculate_3D_overlap(s.rt, worked_pair(), 2, 2, 1, 1);
    const OverlapCell& cell = h.overlap.at({2, 2});
    EXPECT_EQ(*cell.E1ovfrac, 1);
    EXPECT_EQ(*cell.E2ovfrac, 1);
    EXPECT_EQ(*cell.Bothcoordx, *h.v[1].Ecoordx);
    EXPECT_FALSE(h.v[0].Ecoordx.has_value());
}

TEST_F(OverlapOps, ShapesApartBothHoldPointsButShareNone) {
    const Handles h = calculate_3D_overlap(s.rt, fitted(apart()), 1, 2, 1, 1);
    EXPECT_FALSE(h.v[0].Ecoordx->empty());
    EXPECT_FALSE(h.v[1].Ecoordx->empty());
    EXPECT_EQ(*h.overlap.at({1, 2}).E1ovfrac, 0);
    EXPECT_EQ(*h.overlap.at({1, 2}).E2ovfrac, 0);
    const Handles p = calculate_2D_overlap(s.rt, fitted(apart()), 1, 2, 1, 1);
    EXPECT_FALSE(p.v[0].Ecoordx2D->empty());
    EXPECT_FALSE(p.v[1].Ecoordx2D->empty());
}

TEST_F(OverlapOps, TinyShapeHasNoInsidePointsAndNaNShare) {
    const Handles h = calculate_3D_overlap(s.rt, fitted(with_tiny()), 1, 2, 1, 1);
    EXPECT_TRUE(h.v[1].Ecoordx->empty());
    EXPECT_TRUE(std::isnan(*h.overlap.at({1, 2}).E2ovfrac));
    EXPECT_EQ(*h.overlap.at({1, 2}).E1ovfrac, 0);
}

// --- the two dimensions share a cell ----------------------------------------------------------------------

TEST_F(OverlapOps, PlaneAndSpaceFieldsOfACellStayApart) {
    const Handles start = worked_pair();
    const Handles spaceOnly = calculate_3D_overlap(s.rt, start, 1, 2, 1, 1);
    const Handles planeOnly = calculate_2D_overlap(s.rt, start, 1, 2, 1, 1);
    const OverlapCell& space = spaceOnly.overlap.at({1, 2});
    const OverlapCell& plane = planeOnly.overlap.at({1, 2});

    for (const Handles& both : {calculate_2D_overlap(s.rt, spaceOnly, 1, 2, 1, 1),
                                calculate_3D_overlap(s.rt, planeOnly, 2, 1, 1, 1)}) {
        const OverlapCell& cell = both.overlap.at({1, 2});
        EXPECT_EQ(cell.value, space.value);
        EXPECT_EQ(cell.E1ovfrac, space.E1ovfrac);
        EXPECT_EQ(cell.E2ovfrac, space.E2ovfrac);
        EXPECT_EQ(cell.E1sum, space.E1sum);
        EXPECT_EQ(cell.E2sum, space.E2sum);
        EXPECT_EQ(cell.Ebothsum, space.Ebothsum);
        EXPECT_EQ(cell.Bothcoordx, space.Bothcoordx);
        EXPECT_EQ(cell.Bothcoordy, space.Bothcoordy);
        EXPECT_EQ(cell.Bothcoordz, space.Bothcoordz);
        EXPECT_EQ(cell.value2D, plane.value2D);
        EXPECT_EQ(cell.E1ovfrac2D, plane.E1ovfrac2D);
        EXPECT_EQ(cell.E2ovfrac2D, plane.E2ovfrac2D);
        EXPECT_EQ(cell.E1sum2D, plane.E1sum2D);
        EXPECT_EQ(cell.E2sum2D, plane.E2sum2D);
        EXPECT_EQ(cell.Ebothsum2D, plane.Ebothsum2D);
        EXPECT_EQ(cell.Bothcoordx2D, plane.Bothcoordx2D);
        EXPECT_EQ(cell.Bothcoordy2D, plane.Bothcoordy2D);
        EXPECT_EQ(both.v[0].Ecoordx, spaceOnly.v[0].Ecoordx);
        EXPECT_EQ(both.v[0].Ecoordx2D, planeOnly.v[0].Ecoordx2D);
    }
}

// --- failures ---------------------------------------------------------------------------------------------

struct FailureCase {
    std::string name;
    Operation op;
    std::string title;
    std::function<void(Handles&)> spoil;
    int first, second;
    std::string message;
};
void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class OverlapFailure : public OverlapOps, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(OverlapFailure, ReportsWaitsAndReturnsTheRecordUnchanged) {
    const FailureCase& c = GetParam();
    Handles h = worked_pair();
    c.spoil(h);
    s.rt.store(h);
    const TextList logBefore = s.log();

    const Handles out = c.op(s.rt, h, c.first, c.second, 1, 1, std::nullopt);

    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    const DialogRecord& d = s.scripted.last();
    EXPECT_EQ(d.kind, "warning");
    EXPECT_EQ(d.text, TextList{"Function Error:\n\n " + c.message});
    EXPECT_EQ(d.title, c.title);
    EXPECT_TRUE(d.modal);
    EXPECT_TRUE(d.waited);
    EXPECT_EQ(out, h);
    EXPECT_EQ(s.record(), h);
    EXPECT_EQ(s.log(), logBefore);
}

const std::string kSpaceTitle = "Let Quillon know: \"calculate_3D_overlap\"";
const std::string kPlaneTitle = "Let Quillon know: \"calculate_2D_overlap\"";

INSTANTIATE_TEST_SUITE_P(
    Overlap, OverlapFailure,
    ::testing::Values(
        FailureCase{"SpaceNoEllipsoid", kSpace, kSpaceTitle, [](Handles& h) { h.v[1].ellps3D.reset(); }, 1, 2,
                    "Group <back> has no fitted ellipsoid to measure its overlap with."},
        FailureCase{"PlaneNoEllipse", kPlane, kPlaneTitle, [](Handles& h) { h.v[0].A2D.reset(); }, 2, 1,
                    "Group <front> has no fitted ellipse to measure its overlap with."},
        FailureCase{"SpaceNoSuchGroup", kSpace, kSpaceTitle, [](Handles&) {}, 1, 3,
                    "There is no group 3: the session has 2 groups."},
        FailureCase{"PlaneNoSuchGroup", kPlane, kPlaneTitle, [](Handles&) {}, 0, 2,
                    "There is no group 0: the session has 2 groups."},
        FailureCase{"SpaceNoGridSteps", kSpace, kSpaceTitle, [](Handles& h) { h.overlapResolution.s = 0; }, 1,
                    2, "The overlap resolution must be whole numbers from 1 to 1000."},
        FailureCase{"PlaneFractionalSteps", kPlane, kPlaneTitle,
                    [](Handles& h) { h.overlapResolution.n = 2.5; }, 1, 2,
                    "The overlap resolution must be whole numbers from 1 to 1000."},
        FailureCase{"PlaneAMillionSteps", kPlane, kPlaneTitle,
                    [](Handles& h) { h.overlapResolution.m = 1e6; }, 1, 2,
                    "The overlap resolution must be whole numbers from 1 to 1000."},
        // 1000 steps per axis are a fine plane but a billion points in space.
        FailureCase{"SpaceOfABillionPoints", kSpace, kSpaceTitle,
                    [](Handles& h) {
                        h.overlapResolution = {1000, 1000, 1000};
                    },
                    1, 2,
                    "The overlap grid of 1001 x 1001 x 1001 points is too large: at most 10 million points "
                    "can be measured."}),
    [](const auto& info) { return info.param.name; });

TEST_F(OverlapOps, PlaneIgnoresTheDurationSteps) {
    Handles h = worked_pair();
    h.overlapResolution.s = 1e9;
    calculate_2D_overlap(s.rt, h, 1, 2, 1, 1);
    EXPECT_TRUE(s.scripted.dialogs.empty());
    EXPECT_EQ(s.control("text_2D_overlap").string, TextList{"0.25"});
}

} // namespace
} // namespace tarvik::testing
