#pragma once

#include "core/matrix.h"

#include <string>
#include <vector>

// The field's standard measures of how far apart two groups of tokens lie, beside the grid overlap: the
// Pillai trace of the one-way MANOVA of the two groups with its exact F test, the Bhattacharyya distance
// and affinity of the two fitted normal distributions, and the Mahalanobis (pooled covariance) and
// Euclidean distances between the group means. Computed on the tokens the fits use: columns F2, F1 and,
// in 3D, duration.
namespace tarvik {

struct PairMeasures {
    double pillai, pillaiF, pillaiDf1, pillaiDf2, pillaiP, pillaiNull;
    double bhattacharyyaDistance, bhattacharyyaAffinity;
    double mahalanobis, euclidean;
};

// What could not be computed and why, one line per group or pair at fault.
struct MeasuresResult {
    PairMeasures measures;
    std::vector<std::string> problems;
};

// The measures of tokens `a` and `b` (rows are tokens, the first `dimensions` columns are used), named
// `nameA` and `nameB` in the problems. A measure that needs a covariance that is singular, or more tokens
// than a group has, is NaN and its reason is listed.
MeasuresResult pair_measures(const Matrix& a, const Matrix& b, std::size_t dimensions, const std::string& nameA,
                             const std::string& nameB);

} // namespace tarvik
