#include "overlap/bootstrap.h"

#include "grouping/constraints.h"
#include "overlap/overlap_ops.h"
#include "overlap/per_subject.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <stdexcept>

namespace tarvik {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// SplitMix64: spreads a seed over all 64 bits, so that neighbouring replicates and groups get unrelated
// generators.
std::uint64_t mix(std::uint64_t x) {
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

std::mt19937_64 generator(std::uint64_t seed, std::size_t replicate, std::size_t group) {
    return std::mt19937_64(mix(mix(mix(seed) ^ replicate) ^ group));
}

} // namespace

Interval percentile_interval(std::vector<double> values, double confidence) {
    std::erase_if(values, [](double v) { return std::isnan(v); });
    Interval out{kNaN, kNaN, values.size()};
    if (values.empty())
        return out;
    std::sort(values.begin(), values.end());
    const auto at = [&](double q) {
        const double h = q * static_cast<double>(values.size() - 1);
        const auto lo = static_cast<std::size_t>(std::floor(h));
        return lo + 1 < values.size()
                   ? values[lo] + (h - static_cast<double>(lo)) * (values[lo + 1] - values[lo])
                   : values[lo];
    };
    out.low = at((1 - confidence) / 2);
    out.high = at((1 + confidence) / 2);
    return out;
}

struct BootstrapRun::State {
    const Handles& h;
    BootstrapRequest request;
    TokenColumns columns;
    GridResolution resolution;
    std::vector<std::size_t> groups;                              // the groups the pairs name (0-based)
    std::vector<std::vector<std::size_t>> rows;                   // by group
    std::vector<std::vector<std::vector<std::size_t>>> bySubject; // by group, then subject
    TextList subjects;
    // values[pair][statistic][replicate]; within subjects values[pair * subjects + subject]
    std::vector<std::array<std::vector<double>, kBootstrapStatistics.size()>> values;
};

BootstrapRun::BootstrapRun(const Handles& h, const BootstrapRequest& request)
    : state_(std::make_unique<State>(State{h, request, token_columns(h), {}, {}, {}, {}, {}, {}})) {
    State& st = *state_;
    if (request.threeD && st.columns.normalized.size() < 3)
        throw std::invalid_argument("The data has no durations for a 3D overlap.");
    if (request.withinSubjects && request.resample == Resample::Subjects)
        throw std::invalid_argument("Within each subject only tokens can be drawn again, not subjects.");
    st.resolution = grid_resolution(h.overlapResolution, request.threeD);
    const std::vector<char> used = groups_of_pairs(request.pairs, h.v.size());
    for (std::size_t g = 0; g < used.size(); ++g)
        if (used[g])
            st.groups.push_back(g);
    GroupRows rows = group_rows(h, used, st.columns.rowCount,
                                request.resample == Resample::Subjects || request.withinSubjects);
    st.rows = std::move(rows.rows);
    st.subjects = std::move(rows.subjects);
    st.bySubject = std::move(rows.bySubject);
    st.values.resize(request.pairs.size() * (request.withinSubjects ? st.subjects.size() : 1));
    for (auto& statistics : st.values)
        for (auto& v : statistics)
            v.assign(request.replicates, kNaN);
}

BootstrapRun::~BootstrapRun() = default;

std::size_t BootstrapRun::replicates() const {
    return state_->request.replicates * (state_->request.withinSubjects ? state_->subjects.size() : 1);
}

const TextList& BootstrapRun::subjects() const {
    return state_->subjects;
}

void BootstrapRun::run_replicate(std::size_t r) {
    State& st = *state_;
    const bool threeD = st.request.threeD;
    const bool within = st.request.withinSubjects;
    const std::size_t b = within ? r % st.request.replicates : r;
    const std::size_t subject = within ? r / st.request.replicates : 0;
    // Within subjects every subject's group draws from the generator the pooled group would: a subject's
    // intervals are those of the same seed on a study of that subject alone.
    // By subjects, one draw of subjects serves every group, so that the groups keep their speakers together.
    std::vector<std::size_t> drawnSubjects;
    if (st.request.resample == Resample::Subjects && !st.subjects.empty()) {
        std::mt19937_64 rng = generator(st.request.seed, b, st.h.v.size());
        std::uniform_int_distribution<std::size_t> pick(0, st.subjects.size() - 1);
        for (std::size_t k = 0; k < st.subjects.size(); ++k)
            drawnSubjects.push_back(pick(rng));
    }
    std::vector<FittedTokens> fitted(st.h.v.size());
    for (const std::size_t g : st.groups) {
        std::vector<std::size_t> drawn;
        if (st.request.resample == Resample::Subjects) {
            for (const std::size_t s : drawnSubjects)
                drawn.insert(drawn.end(), st.bySubject[g][s].begin(), st.bySubject[g][s].end());
        } else if (const auto& from = within ? st.bySubject[g][subject] : st.rows[g]; !from.empty()) {
            std::mt19937_64 rng = generator(st.request.seed, b, g);
            std::uniform_int_distribution<std::size_t> pick(0, from.size() - 1);
            drawn.reserve(from.size());
            for (std::size_t k = 0; k < from.size(); ++k)
                drawn.push_back(from[pick(rng)]);
        }
        fitted[g] = fit_tokens(gather_cells(drawn, st.columns.normalized), st.h, !threeD, threeD);
    }
    for (std::size_t p = 0; p < st.request.pairs.size(); ++p) {
        const FittedTokens& x = fitted[static_cast<std::size_t>(st.request.pairs[p].first - 1)];
        const FittedTokens& y = fitted[static_cast<std::size_t>(st.request.pairs[p].second - 1)];
        const std::optional<OverlapShares> shares = fitted_overlap(x, y, threeD, st.resolution);
        const PairMeasures m = st.request.measures
                                   ? pair_measures(x.data, y.data, threeD ? 3 : 2, "", "").measures
                                   : PairMeasures{kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN};
        const std::array<double, kBootstrapStatistics.size()> got = {
            shares ? shares->value : kNaN, m.pillai, m.bhattacharyyaDistance, m.mahalanobis, m.euclidean};
        for (std::size_t k = 0; k < got.size(); ++k)
            st.values[within ? p * st.subjects.size() + subject : p][k][b] = got[k];
    }
}

std::vector<PairIntervals> BootstrapRun::finish() const {
    std::vector<PairIntervals> out;
    for (const auto& statistics : state_->values) {
        PairIntervals& intervals = out.emplace_back();
        for (std::size_t k = 0; k < statistics.size(); ++k)
            intervals[k] = percentile_interval(statistics[k], state_->request.confidence);
    }
    return out;
}

} // namespace tarvik
