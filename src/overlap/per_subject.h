#pragma once

// The overlap of pairs of groups within each subject: every group restricted to one subject's tokens,
// fitted as the pooled groups are (the same fit, on those tokens), and each pair's grid overlap and
// measures computed on those fits. A subject whose group has fewer tokens than a fit needs (one more than
// the dimensions) gets NaN for that pair, and the subjects are named in one warning per pair.
#include "core/handles.h"
#include "overlap/grid_overlap.h"
#include "overlap/measures.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarvik {

struct PerSubjectRequest {
    std::vector<std::pair<int, int>> pairs; // 1-based groups, first < second
    bool twoD = true, threeD = false;
    bool measures = false;
};

// One subject's results of one pair. A dimension not asked for has none; one whose fits the subject's
// tokens do not allow has no shares (NaN in the outputs) and measures of NaN.
struct SubjectPairResult {
    std::size_t subject = 0; // index into PerSubjectResult::subjects
    int first = 0, second = 0;
    std::optional<OverlapShares> shares2D, shares3D;
    std::optional<PairMeasures> measures2D, measures3D;
};

struct PerSubjectResult {
    bool twoD = false, threeD = false;    // the dimensions run
    TextList subjects;                    // in the order of the subject column
    std::vector<SubjectPairResult> rows;  // pair by pair in request order, each pair subject by subject
    std::vector<std::string> warnings;    // one per pair and dimension with subjects of too few tokens
};

// A run subject by subject, for a caller that shows its progress between subjects. The constructor
// reads the record and checks the request (throwing as per_subject_overlaps does); each subject is then
// run once, in any order and from any thread (different subjects at the same time), and finish() gives
// the result, the same for any order.
class PerSubjectRun {
  public:
    PerSubjectRun(const Handles& handles, const PerSubjectRequest& request);
    ~PerSubjectRun();
    PerSubjectRun(const PerSubjectRun&) = delete;
    PerSubjectRun& operator=(const PerSubjectRun&) = delete;

    const TextList& subjects() const;
    void run_subject(std::size_t subject);
    PerSubjectResult finish();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// Called after each subject's fits and pairs with the subjects done so far and their number; returning
// false stops the run (std::nullopt is returned).
using PerSubjectProgress = std::function<bool(std::size_t done, std::size_t total)>;

// The per-subject overlaps of `request` over the record's groups (their constraints, the normalized
// table, the fit settings and the overlap resolution). Throws std::invalid_argument for a pair that names
// no group and for a resolution grid_resolution refuses, std::out_of_range when the columns are not mapped.
std::optional<PerSubjectResult> per_subject_overlaps(const Handles& handles, const PerSubjectRequest& request,
                                                     const PerSubjectProgress& progress = {});

// Which of `groups` groups the pairs name (1 where one does). Throws std::invalid_argument for a pair that
// does not name two groups, the smaller first.
std::vector<char> groups_of_pairs(const std::vector<std::pair<int, int>>& pairs, std::size_t groups);

// The rows the constraints of the `used` groups select, in row order, and with `bySubject` the same rows
// subject by subject, the subjects in the record's order (a row of no subject is in none). Throws
// std::out_of_range when the rows by subject are asked for and no subject column is mapped.
struct GroupRows {
    TextList subjects;
    std::vector<std::vector<std::size_t>> rows;                  // by group; empty for one not used
    std::vector<std::vector<std::vector<std::size_t>>> bySubject; // by group, then subject
};
GroupRows group_rows(const Handles& handles, const std::vector<char>& used, std::size_t rowCount, bool bySubject);

// Tokens fitted as a group is (the same fits, on these tokens), in the dimensions asked for, when there
// are enough of them: one more than the dimensions.
struct FittedTokens {
    Matrix data;
    std::optional<Ellipse2D> ellipse;
    std::optional<Ellipsoid3D> ellipsoid;
};
FittedTokens fit_tokens(Matrix data, const Handles& handles, bool twoD, bool threeD);

// The grid overlap of two fitted token sets in one dimension; none when either has no shape there.
std::optional<OverlapShares> fitted_overlap(const FittedTokens& a, const FittedTokens& b, bool threeD,
                                            GridResolution resolution);

// The summary of one column over the subjects: mean, sample standard deviation (n - 1), median and the
// number of subjects with a value that is not NaN; NaN where there are too few values.
struct ColumnSummary {
    double mean = 0, sd = 0, median = 0;
    std::size_t defined = 0;
};
ColumnSummary summarize(const std::vector<double>& values);

} // namespace tarvik
