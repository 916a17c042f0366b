#pragma once

#include "core/handles.h"
#include "core/matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

namespace tarvik::testing {

// What rounding leaves of a value that is 0 in exact arithmetic, for inputs of size about 1.
constexpr double kRounding = 1e-15;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Worked numbers are printed to 15 significant digits, and the line fit may reach them by another
// route than ours: agreement to 1e-12 of their size.
inline void expect_rel(double actual, double expected, double rel = 1e-12) {
    EXPECT_NEAR(actual, expected, rel * std::fabs(expected)) << "expected " << expected;
}

// NaN matches NaN only; numbers match within an absolute tolerance.
inline void expect_same(double actual, double expected, double tol = kRounding) {
    if (std::isnan(expected))
        EXPECT_TRUE(std::isnan(actual)) << actual;
    else
        EXPECT_NEAR(actual, expected, tol);
}

// A matrix from its rows.
inline Matrix rows(std::initializer_list<std::vector<double>> lines) {
    Matrix m(lines.size(), lines.size() == 0 ? 0 : lines.begin()->size());
    std::size_t r = 0;
    for (const auto& line : lines) {
        for (std::size_t c = 0; c < line.size(); ++c)
            m(r, c) = line[c];
        ++r;
    }
    return m;
}

// Nine tokens of one vowel (F2, F1, duration), normalized.
inline Matrix first_group() {
    return rows({{-0.2568, -0.1155, 0.055},
                 {-0.2056, -0.0672, 0.0618},
                 {-0.2452, -0.1287, 0.0694},
                 {-0.3509, -0.0912, 0.0825},
                 {0.0818, -0.1155, 0.0862},
                 {-0.2693, -0.1287, 0.0872},
                 {-0.2693, -0.1038, 0.0943},
                 {-0.2056, -0.1038, 0.0975},
                 {-0.2333, -0.0791, 0.0997}});
}

// Nine tokens of another vowel from the same speakers; its data rise with F2.
inline Matrix second_group() {
    return rows({{-0.2111, -0.0567, 0.0834},
                 {-0.2056, -0.0238, 0.11},
                 {-0.2167, -0.0143, 0.095},
                 {-0.2167, -0.0238, 0.0862},
                 {-0.2275, -0.0345, 0.0675},
                 {-0.1456, 0.0059, 0.0794},
                 {-0.2223, -0.0912, 0.0972},
                 {-0.1847, -0.0143, 0.0863},
                 {-0.2111, -0.0345, 0.0906}});
}

// A vowel group of these tokens, read as they are.
inline VowelGroup group(const std::string& name, const Matrix& data) {
    VowelGroup g;
    g.name = name;
    g.data = g.dataOriginal = data;
    return g;
}

} // namespace tarvik::testing
