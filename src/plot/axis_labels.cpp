#include "plot/axis_labels.h"

#include "core/format.h"

#include <string_view>

namespace tarvik {

namespace {

std::string_view quantity_name(AxisQuantity q) {
    return q == AxisQuantity::F1 ? "F1" : q == AxisQuantity::F2 ? "F2" : "Duration";
}

} // namespace

std::string axis_unit(AxisQuantity quantity, bool normalizedData, const AxisMethods& methods) {
    const bool duration = quantity == AxisQuantity::Duration;
    const std::string asRead = duration ? "ms" : "Hz";
    if (!normalizedData)
        return asRead;
    if (duration)
        return !methods.duration || *methods.duration == DurationMethod::None ? asRead : "";
    const std::optional<SpectralMethod>& method = quantity == AxisQuantity::F1 ? methods.f1 : methods.f2;
    if (!method || *method == SpectralMethod::None)
        return asRead;
    return *method == SpectralMethod::Bark ? "Bark" : "";
}

std::string axis_label(const std::string& typed, AxisQuantity quantity, const HeaderNames& columns,
                       const std::string& unit) {
    const std::string_view text = trimmed(typed);
    if (!text.empty() && text != quantity_name(quantity))
        return typed;
    const std::optional<std::string>& column = quantity == AxisQuantity::F1   ? columns.F1
                                               : quantity == AxisQuantity::F2 ? columns.F2
                                                                              : columns.Duration;
    std::string label = column && !column->empty() ? *column : std::string(quantity_name(quantity));
    if (!unit.empty())
        label += " (" + unit + ")";
    return label;
}

} // namespace tarvik
