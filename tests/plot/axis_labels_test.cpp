// The axis labels of a plot: the column names and units behind label boxes left at their defaults.
#include "plot/axis_labels.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

TEST(AxisLabels, DefaultBoxesNameTheColumnWithItsUnitTypedTextsStay) {
    const HeaderNames columns{"Speaker", "Vowel", "F1 Hz", "f2", "Dur", std::nullopt};
    const AxisMethods zscore{SpectralMethod::ZScore, SpectralMethod::Bark, DurationMethod::ZScore};
    const AxisMethods none{SpectralMethod::None, SpectralMethod::None, DurationMethod::None};
    const struct {
        std::string typed;
        AxisQuantity quantity;
        bool normalized;
        AxisMethods methods;
        std::string label;
    } cases[] = {
        {"F1", AxisQuantity::F1, false, zscore, "F1 Hz (Hz)"}, // the original data are as read
        {" F2 ", AxisQuantity::F2, false, zscore, "f2 (Hz)"},
        {"", AxisQuantity::Duration, false, zscore, "Dur (ms)"},
        {"F1", AxisQuantity::F1, true, zscore, "F1 Hz"}, // z-scores have no unit
        {"F2", AxisQuantity::F2, true, zscore, "f2 (Bark)"},
        {"Duration", AxisQuantity::Duration, true, zscore, "Dur"},
        {"Duration", AxisQuantity::Duration, true, none, "Dur (ms)"}, // not normalized: as read
        {"F2", AxisQuantity::F2, true, none, "f2 (Hz)"},
        {"F1", AxisQuantity::Duration, true, none, "F1"},                    // another quantity's name is the user's
        {"Second formant", AxisQuantity::F2, false, none, "Second formant"}, // the user's own text
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed + " -> " + c.label);
        EXPECT_EQ(axis_label(c.typed, c.quantity, columns, axis_unit(c.quantity, c.normalized, c.methods)), c.label);
    }
    // A quantity without a mapped column keeps its own name.
    EXPECT_EQ(axis_label("Duration", AxisQuantity::Duration, HeaderNames{}, "ms"), "Duration (ms)");
}

} // namespace
} // namespace tarvik
