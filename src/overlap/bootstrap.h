#pragma once

// Percentile bootstrap intervals for the overlap of pairs of groups (and their measures): each replicate
// draws every group's tokens again with replacement (or, by subjects, draws whole subjects and takes
// each group's tokens of the subjects drawn), fits the groups as the pooled ones are fitted and measures
// every pair again. A replicate draws from its own generator, seeded by the seed, the replicate and the
// group, so the intervals are the same however many threads share the replicates and in whatever order.
#include "core/handles.h"
#include "overlap/measures.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace tarvik {

enum class Resample { Tokens, Subjects };

struct BootstrapRequest {
    std::vector<std::pair<int, int>> pairs; // 1-based, first < second
    bool threeD = false;
    std::size_t replicates = 1000;
    std::uint64_t seed = 1;
    double confidence = 0.95;
    Resample resample = Resample::Tokens;
    // Each subject apart: every replicate draws each group's tokens of one subject, for every subject, from
    // the generators of the pooled draw, so that a subject's intervals are those the same request gives
    // on a study of that subject alone. Only tokens can be drawn so.
    bool withinSubjects = false;
    // Whether the measures are drawn again too; without them their intervals are NaN, from no replicate.
    bool measures = true;
};

// A percentile interval and the number of replicates with a value (not NaN) it was taken from; NaN ends
// when there is none.
struct Interval {
    double low = 0, high = 0;
    std::size_t defined = 0;
};

// The statistics each replicate gives a pair, in this order: the grid overlap's value, then the Pillai
// trace, the Bhattacharyya distance, the Mahalanobis and the Euclidean distance.
inline constexpr std::array<const char*, 5> kBootstrapStatistics = {"value", "pillai", "bhattacharyya_distance",
                                                                    "mahalanobis", "euclidean"};
using PairIntervals = std::array<Interval, kBootstrapStatistics.size()>;

// The lower and upper percentile of the values that are not NaN, at (1 - confidence) / 2 and
// (1 + confidence) / 2, each the value at that fraction of the sorted values, interpolated linearly
// between neighbours (the definition of R's quantile type 7 and NumPy's default).
Interval percentile_interval(std::vector<double> values, double confidence);

// A run replicate by replicate, for a caller that shares them among threads and shows progress (it keeps
// a reference to the record, which must outlive it): the constructor reads the record (throwing std::invalid_argument for a pair that names no group, a
// resolution the overlap refuses, 3D without durations, subjects drawn within subjects,
// std::out_of_range when the columns are not mapped); run_replicate may be called from several threads
// for different replicates; finish() gives each pair's intervals in the order of the pairs. Within
// subjects, replicates() counts every subject's replicates, replicate r being replicate r % B of subject
// r / B, and finish() gives the pairs' intervals pair by pair, each pair subject by subject (the order of
// the runs within subjects).
class BootstrapRun {
  public:
    BootstrapRun(const Handles& handles, const BootstrapRequest& request);
    ~BootstrapRun();
    BootstrapRun(const BootstrapRun&) = delete;
    BootstrapRun& operator=(const BootstrapRun&) = delete;

    std::size_t replicates() const;
    const TextList& subjects() const; // the record's subjects; within subjects, those of the replicates
    void run_replicate(std::size_t replicate);
    std::vector<PairIntervals> finish() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace tarvik
