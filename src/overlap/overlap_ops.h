#pragma once

#include "core/handles.h"
#include "overlap/grid_overlap.h"

#include <exception>
#include <optional>
#include <string>
#include <vector>

// The overlap of pairs of vowel groups in pieces the overlap step (overlap/overlap_step.h) puts together:
// the groups' fitted shapes are gathered once, each pair's grid overlap is counted away from the record,
// and the results are then written into the record in pair order: the pair's cell of the overlap table,
// the grid both groups were counted on, and its log line. No grid point is kept: the plots that draw
// them count them again (group_inside_points, pair_both_points). A pair whose estimate failed gets NaN for every result of
// that dimension (its counts too), so that no value of an earlier estimate stands as its result.
namespace tarvik {

// The main window's result texts under "Calculate 2D" and "Calculate 3D".
inline constexpr const char* kOverlapText2D = "text_2D_overlap";
inline constexpr const char* kOverlapText3D = "text_3D_overlap";

// The fitted ellipse / ellipsoid of a group; throws std::runtime_error when the fit has not run.
Ellipse2D ellipse_of(const VowelGroup& group);
Ellipsoid3D ellipsoid_of(const VowelGroup& group);

// The six results of one dimension (2D or 3D) of an overlap cell: the larger share, the two shares and
// the grid-point counts behind them.
struct PairResults {
    std::optional<double> value, E1ovfrac, E2ovfrac, E1sum, E2sum, Ebothsum;
};
PairResults pair_results(const OverlapCell& cell, bool threeD);
void set_pair_results(OverlapCell& cell, bool threeD, const PairResults& results);

// True when the results say the estimate has not run or has failed: a missing or NaN count (a pair
// whose overlap is undefined has its counts).
bool overlap_failed(const PairResults& results);

// The grid steps of the record along F2 and F1, and along duration when `withDuration`; throws
// std::invalid_argument unless each is a whole number from 1 to kMaxGridSteps. The grid overlap itself
// refuses a grid of more than kMaxGridPoints points.
GridResolution grid_resolution(const OverlapResolution& resolution, bool withDuration);

// What a run over pairs reads of the record, gathered once: the grid of its dimension and every group's
// fitted shape, or why there is none (what grid_resolution and ellipse_of / ellipsoid_of threw).
struct OverlapInputs {
    bool threeD = false;
    GridResolution resolution;
    std::exception_ptr badResolution;
    std::vector<Ellipse2D> ellipses;     // the plane
    std::vector<Ellipsoid3D> ellipsoids; // space
    std::vector<std::exception_ptr> noFit; // of group i + 1
    std::vector<std::string> names;        // of group i + 1
};
OverlapInputs overlap_inputs(const Handles& handles, bool threeD);

// One pair's grid overlap as a run computes it, away from the record: its counts and shares and the
// grid they were counted on, or the failure to report for it; and its line of the log.
struct PairOverlap {
    int first = 0, second = 0; // 1-based, first <= second
    OverlapShares shares;
    InsideGrid grid;
    std::exception_ptr failure;
    std::string logLine;
};

// Thrown by a column hook to stop a run; it passes through pair_overlap.
struct OverlapCancelled {};

// The grid overlap of groups first <= second of `in`, or its failure: the resolution's, then a missing
// fit of the second group, then of the first, then the grid's own.
PairOverlap pair_overlap(const OverlapInputs& in, int first, int second, const GridColumnHook& onColumn);

// Writes a computed pair into the record: the six results of its cell in the pair's dimension, and its
// grid as the grid of both groups' inside points. Of a failed pair the six results become NaN and the
// groups' grids stay.
void record_pair(Handles& handles, const PairOverlap& pair, bool threeD);

// The grid points inside group `group` (1-based) on the grid of its latest overlap estimate in the
// dimension, counted again over its fit: (F2, F1) in the plane, z empty. Empty when no estimate of the
// dimension has counted the group. Throws std::runtime_error when the group has no fit and
// std::invalid_argument for a grid that cannot be walked (from a damaged session).
std::optional<PointList3D> group_inside_points(const Handles& handles, int group, bool threeD);

// The grid points inside group `first`, inside group `second` (1-based) and inside both, on the pair's
// grid at the record's resolution, counted again over their fits; throws as group_inside_points does.
// The plot of a pair's overlap draws these, whichever pair each group was estimated with last.
struct PairPoints {
    PointList3D inside1, inside2, both;
};
PairPoints pair_points(const Handles& handles, int first, int second, bool threeD);

} // namespace tarvik
