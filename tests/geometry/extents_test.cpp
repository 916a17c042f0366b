// The symmetric plot frame over all groups: 1.1 times the largest magnitude on each axis.
#include "geometry/extents.h"
#include "support/geometry_samples.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace tarvik::testing {
namespace {

std::vector<const Matrix*> pointers(const std::vector<Matrix>& groups) {
    std::vector<const Matrix*> out;
    for (const Matrix& m : groups)
        out.push_back(&m);
    return out;
}

struct ExtentCase {
    std::string name;
    std::vector<Matrix> groups;
    double x, y; // expected 2D extents
};

class PlaneExtents : public ::testing::TestWithParam<ExtentCase> {};

TEST_P(PlaneExtents, LargestMagnitudeWithMargin) {
    const ExtentCase& c = GetParam();
    const Axes2D axes = extents_2d(pointers(c.groups));
    for (const auto& [actual, expected] : {std::pair{axes.Xwidth, c.x}, {axes.Ylength, c.y}}) {
        if (std::isnan(expected))
            EXPECT_TRUE(std::isnan(actual)) << actual;
        else
            EXPECT_DOUBLE_EQ(actual, expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Geometry, PlaneExtents,
    ::testing::Values(
        // F2 over -1.5 .. 0.8 and F1 over -0.2 .. 2.0, spread over two groups: 1.1 x 1.5 and 1.1 x 2.
        ExtentCase{
            "twoGroups", {rows({{-1.5, -0.2}, {0.3, 1.0}}), rows({{0.8, 2.0}, {0.1, 0.5}})}, 1.65, 2.2},
        ExtentCase{"negativeWins", {rows({{-3, -4}, {2, 1}})}, 3.3, 4.4},
        ExtentCase{"oneToken", {rows({{0.5, -0.25}})}, 0.55, 0.275},
        ExtentCase{"missingIgnored", {rows({{kNaN, 1}, {2, kNaN}}), rows({{-1, kNaN}})}, 2.2, 1.1},
        // A group whose F1 is all missing does not hide the other group's values.
        ExtentCase{"groupColumnMissing", {rows({{1, kNaN}}), rows({{-2, 3}})}, 2.2, 3.3},
        ExtentCase{"columnMissingEverywhere", {rows({{1, kNaN}}), rows({{-2, kNaN}})}, 2.2, kNaN},
        ExtentCase{"emptyGroupSkipped", {Matrix(), rows({{1, 2}})}, 1.1, 2.2},
        ExtentCase{"noGroups", {}, kNaN, kNaN}),
    [](const auto& info) { return info.param.name; });

// The 3D plots stand duration on y and F1 on z; a group without a duration column is refused.
TEST(GeometryExtents, SpaceFrameTakesDurationForYAndF1ForZ) {
    const std::vector<Matrix> groups = {rows({{-1, 2, 0.1}}), rows({{0.5, -0.5, -0.3}})};
    const Axes3D axes = extents_3d(pointers(groups));
    EXPECT_DOUBLE_EQ(axes.Xwidth, 1.1);
    EXPECT_DOUBLE_EQ(axes.Ylength, 0.33);
    EXPECT_DOUBLE_EQ(axes.Zheight, 2.2);
    const std::vector<Matrix> plane = {rows({{1, 2}})};
    EXPECT_THROW(extents_3d(pointers(plane)), std::out_of_range);
}

} // namespace
} // namespace tarvik::testing
