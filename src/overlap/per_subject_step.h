#pragma once

#include "app/step.h"
#include "overlap/bootstrap.h"
#include "overlap/overlap_results.h"
#include "overlap/per_subject.h"
#include "ui/plot_description.h"

#include <optional>
#include <utility>

// The overlaps within each subject as a step, and their table: each subject's row of every pair, then the
// pair's summaries over the subjects.
namespace tarvik {

struct PerSubjectStepRequest {
    bool twoD = true, threeD = false;
    std::optional<std::pair<int, int>> pair; // 1-based, in either order; empty: every pair i < j
    // The grid steps to use from now on (the record keeps them); empty: the session's own.
    std::optional<OverlapResolution> resolution;
    MeasureChoice measures{};
    // Bootstrap intervals within each subject, drawing the subject's tokens: none with 0 replicates.
    std::size_t replicates = 0;
    std::uint64_t seed = 1;
    double confidence = 0.95;
    friend bool operator==(const PerSubjectStepRequest&, const PerSubjectStepRequest&) = default;
};

// The rows of the summary of a pair over its subjects, in this order, in the subject column.
inline constexpr const char* kSummaryRows[] = {"ALL_MEAN", "ALL_SD", "ALL_MEDIAN", "ALL_N"};

// The table of a run: a leading `subject` column, then the overlap table's columns (the measures chosen
// last); for each dimension (2D first) and pair, a row per subject and then the four summary rows, whose
// numbers are the mean, standard deviation and median of the subjects' values that are not NaN and their
// count (ALL_N). With intervals (for 2D and 3D, each pair by pair and each pair subject by subject as the
// run's rows), the subjects' rows get the interval columns of overlap_table; the summary rows leave them
// NaN, since an interval's bounds do not average into an interval.
using SubjectIntervals = std::array<std::vector<PairIntervals>, 2>;
ResultsTable per_subject_table(const Handles& handles, const PerSubjectResult& result, const MeasureChoice& measures,
                               const SubjectIntervals* intervals = nullptr);

// The summary of a per-subject table, a row per pair and dimension: the pair's columns, `subjects` (those
// with a value), value_mean, value_sd, value_median and the median of each measure's columns
// (<column>_median). Each row's details are the pair's rows of the per-subject table, summaries included;
// the notes are the table's.
ResultsTable per_subject_summary(const ResultsTable& table);

// The same content nested per pair: {"format": "tarvik3d-overlap-per-subject", "version": 1, "pairs":
// [{dimension, index_a, index_b, group_a, group_b, "subjects": [...], "summary": [...]}]}.
std::string per_subject_json_text(const ResultsTable& table);

// The strip plot of a per-subject table's values in one dimension: for each pair (at x = 1, 2, ... in table
// order) its subjects' values as circles, spread a little sideways so that equal values stay apart, and
// its median over the subjects as a black bar; the legend names the pairs. None when the table has no
// row of the dimension.
std::optional<PlotDescription> strip_plot(const ResultsTable& table, bool threeD);

// Runs the pairs within every subject away from the window's thread, with a progress dialog naming the
// subject and Cancel between subjects; the subjects with too few tokens are warned of once per pair.
// With replicates, the bootstrap within subjects follows under its own progress dialog. Done when every
// subject was run; `out` then gets the table. The log gets a line per pair.
StepReport calculate_per_subject(Runtime& rt, const PerSubjectStepRequest& request, ResultsTable* out);

} // namespace tarvik
