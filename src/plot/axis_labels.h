#pragma once

#include "core/handles.h"
#include "ui/menus.h"

#include <optional>
#include <string>

// The labels of a plot's axes: the texts of the label boxes, and where a box holds no text of the
// user's own, the name of the column the axis shows with its unit.
namespace tarvik {

// What an axis of a plot shows.
enum class AxisQuantity { F1, F2, Duration };

// The methods the data were normalized with (empty: not chosen).
struct AxisMethods {
    std::optional<SpectralMethod> f1, f2;
    std::optional<DurationMethod> duration;
};

// The unit of an axis, "" for none. Formants are in Hz and durations in ms as read: in a plot of the
// original data, and where the data were not normalized. Normalized data are on the normalization's
// own scale: Bark for the Bark formants, no unit for the others (z-scores, logarithms, ratios).
std::string axis_unit(AxisQuantity quantity, bool normalizedData, const AxisMethods& methods);

// The label of an axis. A label box that is empty or holds the bare name of the quantity ("F1", "F2",
// "Duration": its text until the user types another) gives the name of the column mapped to the
// quantity, followed by the unit in brackets; any other text is the user's own and shown as typed.
std::string axis_label(const std::string& typed, AxisQuantity quantity, const HeaderNames& columns,
                       const std::string& unit);

} // namespace tarvik
