#pragma once

#include <array>

namespace tarvik {

// An RGB colour with components in [0, 1].
struct Color {
    double r = 0, g = 0, b = 0;
    friend bool operator==(const Color&, const Color&) = default;
};

inline Color rgb255(double r, double g, double b) { return {r / 255.0, g / 255.0, b / 255.0}; }

} // namespace tarvik
