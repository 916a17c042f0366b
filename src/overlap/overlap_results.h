#pragma once

#include "core/handles.h"
#include "overlap/bootstrap.h"
#include "overlap/measures.h"
#include "ui/results_table.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The results of the overlap as one table (ui/results_table.h): a row per computed pair and dimension
// with its grid overlap and the measures of its two groups. The batch tool writes it as CSV and JSON;
// the window shows it in its Results window. Pure: no window, no service.
namespace tarvik {

// The measures, in the order of their columns; the batch option --measures names them so.
inline constexpr std::array<const char*, 4> kMeasureNames = {"pillai", "bhattacharyya", "mahalanobis", "euclidean"};
// Which measures a table has, in the order of kMeasureNames.
using MeasureChoice = std::array<bool, 4>;
inline constexpr MeasureChoice kEveryMeasure = {true, true, true, true};

// One pair in one dimension as the reports list it: its groups in the order asked for (the shares and
// counts follow that order), the six grid results (NaN when not calculated or failed), its measures.
struct OverlapRow {
    bool threeD = false;
    int a = 0, b = 0; // 1-based
    std::string nameA, nameB;
    double value = 0, e1 = 0, e2 = 0, n1 = 0, n2 = 0, nBoth = 0;
    PairMeasures measures{};
    // Bootstrap intervals of the value and of each measure's main statistic, when they were asked for.
    std::optional<PairIntervals> intervals;
};

// The row of groups a and b (1-based, in either order) in the dimension, read from the record's overlap
// table: NaN results when the pair has none there. Throws std::out_of_range for a group that does not exist.
OverlapRow overlap_row(const Handles& handles, int a, int b, bool threeD);

// The pairs of the record's overlap table that have results, 2D rows first, then 3D, each in pair order;
// a failed estimate is a row of NaN. Cells of groups deleted since are left out.
std::vector<OverlapRow> recorded_rows(const Handles& handles);

// Fills in each row's measures from its groups' tokens as the fits use them (F2, F1 and, in 3D,
// duration). Returns what could not be computed and why, each line once.
std::vector<std::string> measure_rows(const Handles& handles, std::vector<OverlapRow>& rows);

// The table of the rows: dimension, index_a, index_b, group_a, group_b, value, e1_fraction, e2_fraction,
// e1_count, e2_count, both_count, then the columns of each measure chosen; with `intervals`, then ci_low,
// ci_high and bootstrap_n of the value and <statistic>_ci_low, <statistic>_ci_high of each measure chosen
// (pillai, bhattacharyya_distance, mahalanobis, euclidean).
ResultsTable overlap_table(const std::vector<OverlapRow>& rows, const MeasureChoice& measures,
                           bool intervals = false);

// Everything the record holds: its recorded rows with every measure, and why measures are NaN.
ResultsTable overlap_results(const Handles& handles);

} // namespace tarvik
