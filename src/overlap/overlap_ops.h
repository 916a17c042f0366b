#pragma once

#include "app/runtime.h"
#include "overlap/grid_overlap.h"

#include <optional>

// The overlap of one pair of vowel groups as the overlap driver runs it: the pair is put in index
// order, the progress dialog of the run is moved on, the grid overlap of the groups' fitted shapes is
// computed, and the results go into both groups' inside lists, the overlap table cell of the pair, the
// activity log and the result text of the main window. A failure shows the operation's report, waits
// for it to close, and sets the pair's results of that dimension to NaN (its counts too), with a log line
// saying the overlap could not be calculated, so that no value of an earlier estimate stands as its
// result; the driver goes on with the next pair.
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

// Pair (firstVowelNum, secondVowelNum), 1-based and in either order, as pair currPair of totalPairs of
// the run; `waitbar` is the run's progress dialog (no progress is shown without one). Writes
// Ecoordx2D / Ecoordy2D of both groups, the 2D fields of handles.overlap{i, j} (i <= j: the shares,
// the counts behind them and the both-lists), the log line and text_2D_overlap. The record is stored with the
// window by the log append, not again afterwards.
Handles calculate_2D_overlap(Runtime& rt, Handles handles, int firstVowelNum, int secondVowelNum,
                             int currPair, int totalPairs, std::optional<ProgressRef> waitbar = std::nullopt);

// As calculate_2D_overlap with the ellipsoids: Ecoordx / Ecoordy / Ecoordz, the 3D fields of the cell,
// the log line and text_3D_overlap; the record is stored with the window by the log append, so
// finished pairs survive a failure of a later one.
Handles calculate_3D_overlap(Runtime& rt, Handles handles, int firstVowelNum, int secondVowelNum,
                             int currPair, int totalPairs, std::optional<ProgressRef> waitbar = std::nullopt);

} // namespace tarvik
