#pragma once

#include "app/step.h"
#include "overlap/measures.h"

#include <optional>
#include <utility>
#include <vector>

// The standard measures of pairs of fitted groups as a step: computed on each group's tokens as the fits
// use them, with one warning per group (or pair) that a measure could not be computed for.
namespace tarvik {

struct MeasuresRequest {
    bool threeD = false;
    std::vector<std::pair<int, int>> pairs; // 1-based group numbers
    friend bool operator==(const MeasuresRequest&, const MeasuresRequest&) = default;
};

// Done once every pair has its measures (NaN where they cannot be computed); `out` gets them in the
// order of the pairs. The warnings go to the user and the log once per kind of problem.
StepReport measure_pairs(Runtime& rt, const MeasuresRequest& request, std::vector<PairMeasures>* out);

} // namespace tarvik
