// The plot frame over all groups, and the fit and extent operations on the headless main window with
// scripted dialogs: what they write into every group, that they keep the record with the window, and
// how a failure is reported.
#include "geometry/geometry_ops.h"

#include "geometry/extents.h"
#include "support/geometry_samples.h"
#include "support/session.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace tarvik::testing {
namespace {

TEST(GeometryExtents, LargestMagnitudeOverAllGroupsWithMargin) {
    const std::tuple<std::string, std::vector<Matrix>, double, double> cases[] = {
        // F2 over -1.5 .. 0.8 and F1 over -0.2 .. 2.0, spread over two groups: 1.1 x 1.5 and 1.1 x 2.
        {"twoGroups", {rows({{-1.5, -0.2}, {0.3, 1.0}}), rows({{0.8, 2.0}, {0.1, 0.5}})}, 1.65, 2.2},
        // Missing values are passed over; an axis without any number has no extent.
        {"missingIgnored", {rows({{kNaN, 1}, {2, kNaN}}), rows({{-1, kNaN}})}, 2.2, 1.1},
        {"columnMissingEverywhere", {rows({{1, kNaN}}), rows({{-2, kNaN}})}, 2.2, kNaN},
        {"emptyGroupSkipped", {Matrix(), rows({{1, 2}})}, 1.1, 2.2}};
    for (const auto& [name, groups, x, y] : cases) {
        SCOPED_TRACE(name);
        std::vector<const Matrix*> pointers;
        for (const Matrix& m : groups)
            pointers.push_back(&m);
        const Axes2D axes = extents_2d(pointers);
        expect_same(axes.Xwidth, x, 1e-15);
        expect_same(axes.Ylength, y, 1e-15);
    }
}

// The values as read: the normalized tokens shifted into Hz-like numbers, so that the two frames differ.
VowelGroup read_group(const std::string& name, const Matrix& normalized) {
    VowelGroup g = group(name, normalized);
    for (std::size_t r = 0; r < normalized.rows; ++r) {
        g.dataOriginal(r, 0) = 1500 + 1000 * normalized(r, 0);
        g.dataOriginal(r, 1) = 500 + 1000 * normalized(r, 1);
        if (normalized.cols > 2)
            g.dataOriginal(r, 2) = 1000 * normalized(r, 2);
    }
    return g;
}

// Every stage, in the order the preparation run calls them.
Handles run_all_stages(Runtime& rt, Handles h) {
    h = calculate_max_3D_axes(rt, std::move(h));
    h = calculate_vowel_3D_dubstar(rt, std::move(h));
    h = calculate_3D_ellipsoids(rt, std::move(h));
    h = calculate_max_2D_axes(rt, std::move(h));
    h = calculate_vowel_2D_star(rt, std::move(h));
    return calculate_2D_ellipses(rt, std::move(h));
}

using GeometryOps = StartedSession;

TEST_F(GeometryOps, PreparationStagesFitEveryGroup) {
    Handles start = s.record();
    start.v = {read_group("front", first_group()), read_group("back", second_group())};
    start.fitOrientation = FitOrientation::Mirrored; // the worked fits
    const Handles h = run_all_stages(s.rt, start);

    EXPECT_TRUE(s.scripted.dialogs.empty());
    EXPECT_EQ(s.record(), h);
    for (const VowelGroup& g : h.v) {
        ASSERT_TRUE(g.ellps2D && g.ellps3D && g.theta && g.B);
        EXPECT_EQ(*g.theta, *g.theta2D);
        EXPECT_EQ(*g.B, *g.B2D);
    }
    // Fields of the worked fits, and outline points that are drawn from them.
    const VowelGroup& front = h.v[0];
    expect_rel(front.avg2D->at(1), -0.103722222222222);
    expect_rel(*front.A2D, 0.240207273808149);
    expect_rel((*front.rottheta2D)(1, 0), -0.0233378842195547);
    expect_rel((*front.rotphi)(2, 0), 0.0118126394400461);
    expect_rel((*front.dubstar)(0, 2), -0.0269809487177188);
    expect_rel(*front.C, 0.032337529099586);
    expect_rel((*front.ellps3D)(101, 2), 0.0926288628314105);
    expect_rel((*front.ellps3D)(203, 0), -0.218115858635223);

    // Largest magnitudes: F2 0.3509 (front), F1 0.1287 (front), duration 0.11 (back). The 3D plots
    // stand duration on y and F1 on z. As read: F2 1500 + 81.8 (front), F1 500 + 5.9 (back), duration 110.
    EXPECT_EQ(h.axes3D, (Axes3D{1.1 * 0.3509, 1.1 * 0.11, 1.1 * 0.1287}));
    EXPECT_EQ(h.axes2D, (Axes2D{1.1 * 0.3509, 1.1 * 0.1287}));
    EXPECT_EQ(h.axes3DOriginal,
              (Axes3D{1.1 * (1500 + 1000 * 0.0818), 1.1 * (1000 * 0.11), 1.1 * (500 + 1000 * 0.0059)}));
    EXPECT_EQ(h.axes2DOriginal, (Axes2D{h.axes3DOriginal.Xwidth, h.axes3DOriginal.Zheight}));
}

// Degenerate groups give their degenerate shapes (see the pure fit's tests) and no failure; a group
// with a missing value or without tokens cannot be fitted and gives NaN. Groups with too few tokens for
// the shape, or a flat one (a vertical line in 2D, one duration in 3D), are named in one warning per fit.
TEST_F(GeometryOps, DegenerateGroupsAreNoFailureAndAreWarnedOfOncePerFit) {
    Handles h = s.record();
    h.v = {group("one", rows({{0.5, -0.2, 0.07}})),
           group("missing", rows({{0.1, kNaN, 0.05}, {0.3, 0.1, 0.09}})), group("none", Matrix(0, 3)),
           group("line", rows({{0.5, 0.1, 0.1}, {0.5, 0.2, 0.3}, {0.5, -0.1, 0.2}})),
           group("flat", rows({{0.1, 0.1, 0.5}, {0.2, -0.1, 0.5}, {0.4, 0.2, 0.5}, {0.3, 0.0, 0.5}}))};
    h = run_all_stages(s.rt, std::move(h));

    auto line = [](const std::string& name, const std::string& tokens, const std::string& shape, bool flat) {
        return "Group " + name + " has " + tokens +
               (flat ? " with no spread along one of its axes: its " + shape +
                           " is flat and its overlaps cannot be trusted."
                     : ": its " + shape + " cannot be fitted and its overlaps will be NaN.");
    };
    TextList few3D, few2D;
    for (const auto& [name, tokens] :
         {std::pair{"one", "1 token"}, {"missing", "2 tokens"}, {"none", "0 tokens"}})
        for (const auto& [list, shape] : {std::pair{&few3D, "ellipsoid"}, {&few2D, "ellipse"}})
            list->push_back(line(name, tokens, shape, false));
    ASSERT_EQ(s.scripted.dialogs.size(), 2u);
    EXPECT_EQ(s.scripted.dialogs[0].title, "Ellipsoid cannot be fitted");
    few3D.insert(few3D.end(),
                 {line("line", "3 tokens", "ellipsoid", false), line("flat", "4 tokens", "ellipsoid", true)});
    few3D.insert(few3D.begin(), "5 warnings:");
    EXPECT_EQ(s.scripted.dialogs[0].text, few3D);
    EXPECT_EQ(s.scripted.dialogs[1].title, "Ellipse cannot be fitted");
    few2D.insert(few2D.end(), {line("line", "3 tokens", "ellipse", true)});
    few2D.insert(few2D.begin(), "4 warnings:");
    EXPECT_EQ(s.scripted.dialogs[1].text, few2D);
    // One token is its own outline.
    const VowelGroup& one = h.v[0];
    EXPECT_EQ((std::vector{*one.theta, *one.phi, *one.A, *one.B, *one.C, *one.A2D}), std::vector(6, 0.0));
    EXPECT_DOUBLE_EQ((*one.ellps3D)(150, 2), 0.07);
    for (const VowelGroup& g : {h.v[1], h.v[2]}) {
        EXPECT_TRUE(std::isnan(*g.theta2D) && std::isnan(*g.A) && std::isnan((*g.ellps2D)(0, 0)) &&
                    std::isnan((*g.ellps3D)(304, 2)))
            << g.name;
    }
    // The frame ignores what is missing and what is empty.
    EXPECT_EQ(h.axes2D, (Axes2D{1.1 * 0.5, 1.1 * 0.2}));
}

// Each operation on groups it cannot handle: one column, no third column, or no fit to draw from.
TEST_F(GeometryOps, FailureIsReportedUnderTheOperationsOwnNameAndStoresNothing) {
    const Matrix oneColumn = rows({{0.1}, {0.2}}), plane = rows({{0.1, 0.2}, {0.2, 0.3}}),
                 unfitted = first_group();
    const std::string index = "Index exceeds matrix dimensions.";
    const std::tuple<std::string, std::function<Handles(Runtime&, Handles)>, Matrix, std::string> cases[] = {
        {"calculate_vowel_2D_star", calculate_vowel_2D_star, oneColumn, index},
        {"calculate_2D_ellipses", calculate_2D_ellipses, unfitted,
         "Group 1 has no 2D star axes to draw its ellipse from."},
        {"calculate_vowel_3D_dubstar", calculate_vowel_3D_dubstar, plane, index},
        {"calculate_3D_ellipsoids", calculate_3D_ellipsoids, unfitted,
         "Group 1 has no 3D double-star axes to draw its ellipsoid from."},
        {"calculate_max_3D_axes", calculate_max_3D_axes, plane, index},
        {"calculate_max_2D_axes", calculate_max_2D_axes, oneColumn, index}};
    for (const auto& [name, op, tokens, error] : cases) {
        SCOPED_TRACE(name);
        Handles h = s.record();
        h.v = {group("front", tokens), group("back", tokens)};
        s.rt.store(h);
        s.scripted.dialogs.clear();
        op(s.rt, h);

        ASSERT_EQ(s.scripted.dialogs.size(), 1u);
        const DialogRecord& d = s.scripted.last();
        EXPECT_EQ(failure_report(d, "Function \"" + name + "\"", "Let Quillon know about this error:\n\n "),
                  error);
        EXPECT_EQ(d.icon, Icon::Warn);
        EXPECT_EQ(s.record(), h);
    }
}

} // namespace
} // namespace tarvik::testing
