#pragma once

#include <optional>
#include <string_view>

namespace tarvik {

// How a fit lays its axes. Line: each axis lies along its least-squares line, so an ellipse lies along
// its cloud. Mirrored: each axis lies at the mirror angle of that line (the angle's sign turned), as
// every fit did before; sessions saved then keep it so that their stored results stay what they were.
enum class FitOrientation { Line, Mirrored };

constexpr std::string_view orientation_name(FitOrientation o) {
    return o == FitOrientation::Mirrored ? "mirrored" : "line";
}

constexpr std::optional<FitOrientation> orientation_from_name(std::string_view name) {
    if (name == "line")
        return FitOrientation::Line;
    if (name == "mirrored")
        return FitOrientation::Mirrored;
    return std::nullopt;
}

} // namespace tarvik
