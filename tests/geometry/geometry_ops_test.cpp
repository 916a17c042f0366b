// The fit and extent operations on the headless main window with scripted dialogs: what they write
// into every group, that they keep the record with the window, and how a failure is reported.
#include "geometry/geometry_ops.h"

#include "support/session.h"
#include "geometry/fits.h"
#include "support/geometry_samples.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <tuple>

namespace tarvik::testing {
namespace {

using Operation = std::function<Handles(Runtime&, Handles)>;
using Sizes = std::vector<std::size_t>;

// The values as read: the normalized tokens shifted into Hz-like numbers, so that the two frames differ.
Matrix as_read(const Matrix& normalized) {
    Matrix out = normalized;
    for (std::size_t r = 0; r < out.rows; ++r) {
        out(r, 0) = 1500 + 1000 * normalized(r, 0);
        out(r, 1) = 500 + 1000 * normalized(r, 1);
        if (out.cols > 2)
            out(r, 2) = 1000 * normalized(r, 2);
    }
    return out;
}

VowelGroup group(const std::string& name, const Matrix& data) {
    VowelGroup g;
    g.name = name;
    g.data = data;
    g.dataOriginal = as_read(data);
    return g;
}

Handles run_plane_stages(Runtime& rt, Handles h) {
    h = calculate_max_2D_axes(rt, std::move(h));
    h = calculate_vowel_2D_star(rt, std::move(h));
    return calculate_2D_ellipses(rt, std::move(h));
}

// Every stage, in the order the preparation run calls them.
Handles run_all_stages(Runtime& rt, Handles h) {
    h = calculate_max_3D_axes(rt, std::move(h));
    h = calculate_vowel_3D_dubstar(rt, std::move(h));
    return run_plane_stages(rt, calculate_3D_ellipsoids(rt, std::move(h)));
}

void expect_no_space_fit(const VowelGroup& g) {
    EXPECT_FALSE(g.avg || g.theta || g.rottheta || g.phi || g.rotphi || g.dubstar || g.A || g.B || g.C ||
                 g.xdubstar || g.ydubstar || g.zdubstar || g.ellps3D)
        << g.name;
}

class GeometryOps : public StartedSession {
  protected:
    void SetUp() override {
        StartedSession::SetUp();
        s.scripted.dialogs.clear();
    }

    // The stored record with the two nine-token groups, in 3D or (first two columns) 2D only.
    Handles with_groups(bool space = true) const {
        Handles h = s.record();
        h.onlyAllow2D = space ? 0 : 1;
        h.v = {group("front", space ? first_group() : plane_of(first_group())),
               group("back", space ? second_group() : plane_of(second_group()))};
        return h;
    }
};

TEST_F(GeometryOps, PreparationStagesFitEveryGroup) {
    const Handles h = run_all_stages(s.rt, with_groups());

    EXPECT_TRUE(s.scripted.dialogs.empty());
    EXPECT_EQ(s.record(), h);
    ASSERT_EQ(h.v.size(), 2u);
    for (const VowelGroup& g : h.v) {
        SCOPED_TRACE(g.name);
        ASSERT_TRUE(g.avg2D && g.theta2D && g.rottheta2D && g.star && g.A2D && g.B2D && g.xstar && g.ystar &&
                    g.ellps2D);
        EXPECT_EQ((Sizes{g.avg2D->size(), g.rottheta2D->rows, g.rottheta2D->cols, g.star->rows, g.star->cols,
                         g.xstar->size(), g.ystar->size(), g.ellps2D->rows, g.ellps2D->cols}),
                  (Sizes{2, 2, 2, 9, 2, 101, 101, 101, 2}));
        ASSERT_TRUE(g.avg && g.theta && g.rottheta && g.phi && g.rotphi && g.dubstar && g.A && g.B && g.C &&
                    g.xdubstar && g.ydubstar && g.zdubstar && g.ellps3D);
        EXPECT_EQ((Sizes{g.avg->size(), g.rottheta->rows, g.rotphi->cols, g.dubstar->rows, g.dubstar->cols,
                         g.xdubstar->size(), g.ydubstar->size(), g.zdubstar->size(), g.ellps3D->rows,
                         g.ellps3D->cols}),
                  (Sizes{3, 3, 3, 9, 3, 305, 305, 305, 305, 3}));
        EXPECT_EQ(*g.theta, *g.theta2D);
        EXPECT_EQ(*g.B, *g.B2D);
    }
    expect_rel(*h.v[0].A, 0.240157288139504);
    expect_rel((*h.v[0].ellps3D)(203, 0), -0.218115858635223);
    expect_rel(*h.v[1].theta2D, -0.608548460575071);
    expect_rel(*h.v[1].C, 0.0239219952474529);

    // Largest magnitudes: F2 0.3509 (front), F1 0.1287 (front), duration 0.11 (back).
    EXPECT_DOUBLE_EQ(h.axes3D.Xwidth, 1.1 * 0.3509);
    EXPECT_DOUBLE_EQ(h.axes3D.Ylength, 1.1 * 0.11);
    EXPECT_DOUBLE_EQ(h.axes3D.Zheight, 1.1 * 0.1287);
    ASSERT_TRUE(h.axes2D && h.axes2DOriginal);
    EXPECT_DOUBLE_EQ(h.axes2D->Xwidth, 1.1 * 0.3509);
    EXPECT_DOUBLE_EQ(h.axes2D->Ylength, 1.1 * 0.1287);
    // As read: F2 1500 - 350.9, F1 500 + 5.9 (back), duration 110.
    EXPECT_DOUBLE_EQ(h.axes3DOriginal.Xwidth, 1.1 * (1500 + 1000 * 0.0818));
    EXPECT_DOUBLE_EQ(h.axes3DOriginal.Ylength, 1.1 * (1000 * 0.11));
    EXPECT_DOUBLE_EQ(h.axes3DOriginal.Zheight, 1.1 * (500 + 1000 * 0.0059));
    EXPECT_DOUBLE_EQ(h.axes2DOriginal->Xwidth, h.axes3DOriginal.Xwidth);
    EXPECT_DOUBLE_EQ(h.axes2DOriginal->Ylength, h.axes3DOriginal.Zheight);
}

TEST_F(GeometryOps, PlaneOnlyRunLeavesTheSpaceFieldsAlone) {
    const Handles h = run_plane_stages(s.rt, with_groups(false));

    EXPECT_TRUE(s.scripted.dialogs.empty());
    EXPECT_EQ(s.record(), h);
    for (const VowelGroup& g : h.v) {
        expect_no_space_fit(g);
        EXPECT_TRUE(g.ellps2D.has_value()) << g.name;
    }
    EXPECT_EQ(h.axes3D, Axes3D{});
    EXPECT_EQ(h.axes3DOriginal, Axes3D{});
    EXPECT_TRUE(h.axes2D.has_value());
}

TEST_F(GeometryOps, RunningAgainReplacesTheFitsWhole) {
    const Matrix fewer =
        rows({{-0.2568, -0.1155, 0.055}, {-0.2056, -0.0672, 0.0618}, {-0.2452, -0.1287, 0.0694}});
    Handles h = run_all_stages(s.rt, with_groups());
    h.v.erase(h.v.begin());
    h.v[0].data = fewer;
    h.v[0].dataOriginal = as_read(fewer);
    h = run_all_stages(s.rt, std::move(h));

    Handles fresh = s.record();
    fresh.v = {group("back", fewer)};
    fresh = run_all_stages(s.rt, std::move(fresh));
    EXPECT_EQ(h.v, fresh.v);
    EXPECT_EQ(h.v[0].star->rows, 3u);
    EXPECT_EQ(h.axes3D, fresh.axes3D);
    EXPECT_EQ(h.axes2D, fresh.axes2D);
}

// Degenerate groups give their degenerate shapes (see the pure fit's tests) without any report.
TEST_F(GeometryOps, DegenerateGroupsAreNoFailure) {
    Handles h = s.record();
    h.v = {group("one", rows({{0.5, -0.2, 0.07}})),
           group("two", rows({{0.1, 0.2, 0.05}, {0.3, 0.1, 0.09}})),
           group("same", rows({{0.1, 0.3, 0.05}, {0.1, 0.3, 0.05}, {0.1, 0.3, 0.05}})),
           group("vertical", rows({{0.2, -0.1, 0.05}, {0.2, 0.0, 0.06}, {0.2, 0.2, 0.08}})),
           group("missing", rows({{0.1, kNaN, 0.05}, {0.3, 0.1, 0.09}})),
           group("none", Matrix(0, 3))};
    h = run_all_stages(s.rt, std::move(h));

    EXPECT_TRUE(s.scripted.dialogs.empty());
    // NaN fields make whole-record equality false; the last stage's own output shows it was stored.
    ASSERT_EQ(s.record().v.size(), 6u);
    EXPECT_TRUE(s.record().v[5].ellps2D.has_value());
    EXPECT_EQ(s.record().axes2D, h.axes2D);
    for (const VowelGroup& g : h.v) {
        SCOPED_TRACE(g.name);
        ASSERT_TRUE(g.ellps2D && g.ellps3D);
        EXPECT_EQ(g.ellps2D->rows, 101u);
        EXPECT_EQ(g.ellps3D->rows, 305u);
    }
    EXPECT_EQ(*h.v[0].A2D, 0);
    EXPECT_EQ(*h.v[0].C, 0);
    EXPECT_DOUBLE_EQ((*h.v[0].ellps3D)(150, 2), 0.07);
    EXPECT_EQ(*h.v[2].A, 0);
    EXPECT_EQ(*h.v[3].theta2D, 0);
    EXPECT_EQ(*h.v[3].A2D, 0);
    EXPECT_TRUE(std::isnan(*h.v[4].theta2D));
    EXPECT_TRUE(std::isnan((*h.v[4].ellps2D)(0, 0)));
    EXPECT_TRUE(std::isnan(*h.v[5].A));
    // The frame ignores what is missing and what is empty.
    EXPECT_DOUBLE_EQ(h.axes2D->Xwidth, 1.1 * 0.5);
    EXPECT_DOUBLE_EQ(h.axes2D->Ylength, 1.1 * 0.3);
}

TEST_F(GeometryOps, FailingGroupKeepsTheEarlierGroupsFits) {
    Handles h = with_groups();
    h.v[1].data = plane_of(h.v[1].data);
    s.rt.store(h);
    const Handles before = s.record();

    const Handles out = calculate_vowel_3D_dubstar(s.rt, h);

    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_TRUE(out.v[0].ellps3D == std::nullopt && out.v[0].A.has_value());
    expect_no_space_fit(out.v[1]);
    EXPECT_EQ(s.record(), before); // stored only at the end of a complete run
}

// Each operation on a record it cannot handle: one column, no third column, or no fit to draw from.
TEST_F(GeometryOps, FailureIsReportedUnderTheOperationsOwnNameAndStoresNothing) {
    const auto oneColumn = [](Handles& h) {
        for (VowelGroup& g : h.v)
            g.data = g.dataOriginal = rows({{0.1}, {0.2}});
    };
    const auto planeOnly = [](Handles& h) {
        for (VowelGroup& g : h.v) {
            g.data = plane_of(g.data);
            g.dataOriginal = plane_of(g.dataOriginal);
        }
    };
    const auto unfitted = [](Handles&) {};
    const std::string index = "Index exceeds matrix dimensions.";
    const std::tuple<std::string, Operation, std::function<void(Handles&)>, std::string> cases[] = {
        {"calculate_vowel_2D_star", calculate_vowel_2D_star, oneColumn, index},
        {"calculate_2D_ellipses", calculate_2D_ellipses, unfitted,
         "Group 1 has no 2D star axes to draw its ellipse from."},
        {"calculate_vowel_3D_dubstar", calculate_vowel_3D_dubstar, planeOnly, index},
        {"calculate_3D_ellipsoids", calculate_3D_ellipsoids, unfitted,
         "Group 1 has no 3D double-star axes to draw its ellipsoid from."},
        {"calculate_max_3D_axes", calculate_max_3D_axes, planeOnly, index},
        {"calculate_max_2D_axes", calculate_max_2D_axes, oneColumn, index}};
    for (const auto& [name, op, spoil, error] : cases) {
        SCOPED_TRACE(name);
        Handles h = with_groups();
        spoil(h);
        s.rt.store(h);
        s.scripted.dialogs.clear();
        const Handles before = s.record();
        op(s.rt, h);

        ASSERT_EQ(s.scripted.dialogs.size(), 1u);
        const DialogRecord& d = s.scripted.last();
        EXPECT_EQ(d.kind, "warning");
        EXPECT_EQ(d.text, TextList{"Let Quillon know about this error:\n\n " + error});
        EXPECT_EQ(d.title, "Function \"" + name + "\"");
        EXPECT_EQ(d.icon, Icon::Warn);
        EXPECT_TRUE(d.modal);
        EXPECT_TRUE(d.waited);
        EXPECT_EQ(s.record(), before);
    }
}

} // namespace
} // namespace tarvik::testing
