#pragma once

#include "app/step.h"
#include "overlap/per_subject_step.h"

#include <cstddef>
#include <optional>
#include <utility>

// How the overlap of step 4 spreads: within each subject ("Per subject") and over bootstrap resamples
// (replicates and confidence), as the window asks for them beside "Calculate 2D" and "Calculate 3D".
namespace tarvik {

class Figure;

struct SpreadOptions {
    bool perSubject = false;
    std::size_t replicates = 0; // 0: no intervals
    double confidence = 0.95;
};

// The window's options for the pair of the overlap buttons (none: every pair). A replicates field that is
// not a whole number from 0 to 1,000,000, a confidence that is not a number between 0 and 1, or one group
// as both A and B within subjects or with intervals, is named in a warning and gives none.
std::optional<SpreadOptions> spread_options_from_window(Runtime& rt, std::optional<std::pair<int, int>> pair);

// Runs the window's pair (or every pair) within each subject, with intervals when replicates are asked
// for, then shows the summary per pair in the Results window (each pair opening its subjects' rows) and
// the strip plot of the pairs' values within subjects.
StepReport calculate_within_subjects(Runtime& rt, bool threeD, std::optional<std::pair<int, int>> pair,
                                     const SpreadOptions& options);

// After the pooled overlap of the pair (or every pair) was calculated: their bootstrap intervals, shown
// with their results and measures in the Results window.
StepReport show_pooled_intervals(Runtime& rt, bool threeD, std::optional<std::pair<int, int>> pair,
                                 const SpreadOptions& options);

} // namespace tarvik
