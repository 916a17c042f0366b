#include "overlap/overlap_ops.h"

#include "app/guarded.h"
#include "app/log.h"
#include "core/format.h"

#include <array>
#include <cmath>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvik {

namespace {

constexpr std::string_view kProgress2DSingle = "One moment, calculating overlap for %d pair";
constexpr std::string_view kProgress2DRun = "One moment, calculating overlap for %d out of %d pairs";
constexpr std::string_view kProgress3D =
    "One moment, calculating overlap for %d out of %d pair(s).\nCurrent pair: %s and %s";
constexpr std::string_view kLog2D = "2D VOWEL OVERLAP of Group <%s> and Group <%s> is: %f";
constexpr std::string_view kLog3D = "3D VOWEL OVERLAP of Group <%s> and Group <%s> is: %f";
constexpr std::string_view kFailedLog = "%sD VOWEL OVERLAP of Group <%s> and Group <%s> is: NaN (it could not be calculated)";
constexpr std::string_view kOp2D = "calculate_2D_overlap";
constexpr std::string_view kOp3D = "calculate_3D_overlap";
constexpr const char* kText2D = kOverlapText2D;
constexpr const char* kText3D = kOverlapText3D;

constexpr std::string_view kNoGroup = "There is no group %s: the session has %s groups.";
constexpr std::string_view kNo2DFit = "Group <%s> has no fitted ellipse to measure its overlap with.";
constexpr std::string_view kNo3DFit = "Group <%s> has no fitted ellipsoid to measure its overlap with.";
constexpr std::string_view kBadResolution = "The overlap resolution must be whole numbers from 1 to %d.";

// Fills the %s, %d and %f places of a message, in order, with texts already formatted. Only the
// pattern is scanned, so a group name holding "%s" stays as it is.
std::string fill_message(std::string_view pattern, const std::vector<std::string>& args) {
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const bool place = pattern[i] == '%' && i + 1 < pattern.size() &&
                           (pattern[i + 1] == 's' || pattern[i + 1] == 'd' || pattern[i + 1] == 'f');
        if (place && next < args.size()) {
            out += args[next++];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::string count_text(std::size_t n) {
    return std::to_string(n);
}

const VowelGroup& group_at(const Handles& handles, int num) {
    if (num < 1 || static_cast<std::size_t>(num) > handles.v.size())
        throw std::out_of_range(fill_message(kNoGroup, {std::to_string(num), count_text(handles.v.size())}));
    return handles.v[static_cast<std::size_t>(num - 1)];
}

template <typename T>
const T& fitted(const std::optional<T>& field, std::string_view message, const VowelGroup& group) {
    if (!field)
        throw std::runtime_error(fill_message(message, {group.name}));
    return *field;
}

// Moves the run's progress dialog on; pair currPair of totalPairs owns the share 1 / totalPairs.
class PairProgress {
  public:
    PairProgress(const Runtime& rt, std::optional<ProgressRef> ref, int currPair, int totalPairs, int columns)
        : service_(ref ? rt.services().progress : nullptr), ref_(ref.value_or(ProgressRef{})),
          ratio_(1.0 / totalPairs), section_((currPair - 1) * ratio_), columns_(columns) {}

    void start(const std::string& message) const {
        if (service_)
            service_->update(ref_, section_, message);
    }
    // Column i of m + 1 moves the bar to its share i / m (one step past the pair's share at the last
    // column; the dialog clamps at 1).
    void column(int i) const {
        if (service_)
            service_->update(ref_, section_ + (static_cast<double>(i) / columns_) * ratio_, std::nullopt);
    }

  private:
    ProgressService* service_;
    ProgressRef ref_;
    double ratio_;
    double section_;
    int columns_;
};

struct OrderedPair {
    int first;
    int second;
};

OrderedPair ordered(int a, int b) {
    return a > b ? OrderedPair{b, a} : OrderedPair{a, b};
}

std::string log_line(std::string_view pattern, const VowelGroup& g1, const VowelGroup& g2, double value) {
    return fill_message(pattern, {g1.name, g2.name, format_fixed(value, 0, 6)});
}

int whole_steps(double v) {
    if (!(v >= 1) || v != std::floor(v) || v > kMaxGridSteps)
        throw std::invalid_argument(fill_message(kBadResolution, {std::to_string(kMaxGridSteps)}));
    return static_cast<int>(v);
}

// A pair whose estimate failed holds no number of an earlier estimate: its cell's results of that
// dimension become NaN (counts included, which tells it from a pair whose overlap is undefined), and the
// log says it could not be calculated. The failure report has been shown already.
Handles mark_failed(Runtime& rt, Handles handles, int a, int b, bool threeD) {
    const int groups = static_cast<int>(handles.v.size());
    if (a < 1 || b < 1 || a > groups || b > groups)
        return handles;
    const OrderedPair pair = ordered(a, b);
    OverlapCell& cell = handles.overlap[{pair.first, pair.second}];
    const double nan = kNoShare;
    set_pair_results(cell, threeD, {nan, nan, nan, nan, nan, nan});
    if (threeD)
        cell.Bothcoordx.reset(), cell.Bothcoordy.reset(), cell.Bothcoordz.reset();
    else
        cell.Bothcoordx2D.reset(), cell.Bothcoordy2D.reset();
    const std::string line = fill_message(kFailedLog, {threeD ? "3" : "2", handles.v[pair.first - 1].name,
                                                       handles.v[pair.second - 1].name});
    rt.figure().set_string(threeD ? kText3D : kText2D, {"NaN"});
    return update_log(rt, std::move(handles), line); // stores the record with the window
}

// The results as a cell of the overlap table keeps them.
PairResults cell_results(const OverlapShares& shares) {
    return {shares.value,
            shares.E1ovfrac,
            shares.E2ovfrac,
            static_cast<double>(shares.E1sum),
            static_cast<double>(shares.E2sum),
            static_cast<double>(shares.Ebothsum)};
}

using CellField = std::optional<double> OverlapCell::*;
using ResultField = std::optional<double> PairResults::*;
constexpr std::array<ResultField, 6> kResultFields = {&PairResults::value, &PairResults::E1ovfrac,
                                                      &PairResults::E2ovfrac, &PairResults::E1sum,
                                                      &PairResults::E2sum, &PairResults::Ebothsum};
constexpr std::array<CellField, 6> kCellFields3D = {&OverlapCell::value, &OverlapCell::E1ovfrac,
                                                    &OverlapCell::E2ovfrac, &OverlapCell::E1sum,
                                                    &OverlapCell::E2sum, &OverlapCell::Ebothsum};
constexpr std::array<CellField, 6> kCellFields2D = {&OverlapCell::value2D, &OverlapCell::E1ovfrac2D,
                                                    &OverlapCell::E2ovfrac2D, &OverlapCell::E1sum2D,
                                                    &OverlapCell::E2sum2D, &OverlapCell::Ebothsum2D};

} // namespace

PairResults pair_results(const OverlapCell& cell, bool threeD) {
    PairResults out;
    const auto& fields = threeD ? kCellFields3D : kCellFields2D;
    for (std::size_t k = 0; k < fields.size(); ++k)
        out.*kResultFields[k] = cell.*fields[k];
    return out;
}

void set_pair_results(OverlapCell& cell, bool threeD, const PairResults& results) {
    const auto& fields = threeD ? kCellFields3D : kCellFields2D;
    for (std::size_t k = 0; k < fields.size(); ++k)
        cell.*fields[k] = results.*kResultFields[k];
}

bool overlap_failed(const PairResults& results) {
    return !results.E1sum || std::isnan(*results.E1sum);
}

Ellipse2D ellipse_of(const VowelGroup& g) {
    Ellipse2D e;
    const std::vector<double>& avg = fitted(g.avg2D, kNo2DFit, g);
    if (avg.size() < 2)
        throw std::runtime_error(fill_message(kNo2DFit, {g.name}));
    e.avg = {avg[0], avg[1]};
    e.theta = fitted(g.theta2D, kNo2DFit, g);
    e.A = fitted(g.A2D, kNo2DFit, g);
    e.B = fitted(g.B2D, kNo2DFit, g);
    e.outline = fitted(g.ellps2D, kNo2DFit, g);
    return e;
}

Ellipsoid3D ellipsoid_of(const VowelGroup& g) {
    Ellipsoid3D e;
    const std::vector<double>& avg = fitted(g.avg, kNo3DFit, g);
    if (avg.size() < 3)
        throw std::runtime_error(fill_message(kNo3DFit, {g.name}));
    e.avg = {avg[0], avg[1], avg[2]};
    e.theta = fitted(g.theta, kNo3DFit, g);
    e.phi = fitted(g.phi, kNo3DFit, g);
    e.A = fitted(g.A, kNo3DFit, g);
    e.B = fitted(g.B, kNo3DFit, g);
    e.C = fitted(g.C, kNo3DFit, g);
    e.outline = fitted(g.ellps3D, kNo3DFit, g);
    return e;
}

GridResolution grid_resolution(const OverlapResolution& r, bool withDuration) {
    return {whole_steps(r.m), whole_steps(r.n), withDuration ? whole_steps(r.s) : 1};
}

Handles calculate_2D_overlap(Runtime& rt, Handles handles, int firstVowelNum, int secondVowelNum,
                             int currPair, int totalPairs, std::optional<ProgressRef> waitbar) {
    const bool done = guarded(rt, ReportForm::B, kOp2D, [&] {
        const OrderedPair pair = ordered(firstVowelNum, secondVowelNum);
        const VowelGroup& g1 = group_at(handles, pair.first);
        const VowelGroup& g2 = group_at(handles, pair.second);

        const GridResolution resolution = grid_resolution(handles.overlapResolution, false);
        const PairProgress progress(rt, waitbar, currPair, totalPairs, resolution.m);
        progress.start(totalPairs == 1 ? fill_message(kProgress2DSingle, {std::to_string(currPair)})
                                       : fill_message(kProgress2DRun, {std::to_string(currPair),
                                                                       std::to_string(totalPairs)}));

        GridOverlap2D result =
            grid_overlap_2d(ellipse_of(g1), ellipse_of(g2), resolution, [&](int i) { progress.column(i); });
        const std::string line = log_line(kLog2D, g1, g2, result.shares.value);

        VowelGroup& v1 = handles.v[static_cast<std::size_t>(pair.first - 1)];
        v1.Ecoordx2D = std::move(result.inside1.x);
        v1.Ecoordy2D = std::move(result.inside1.y);
        VowelGroup& v2 = handles.v[static_cast<std::size_t>(pair.second - 1)];
        v2.Ecoordx2D = std::move(result.inside2.x);
        v2.Ecoordy2D = std::move(result.inside2.y);
        OverlapCell& cell = handles.overlap[{pair.first, pair.second}];
        cell.Bothcoordx2D = std::move(result.both.x);
        cell.Bothcoordy2D = std::move(result.both.y);
        set_pair_results(cell, false, cell_results(result.shares));

        handles = update_log(rt, std::move(handles), line);
        rt.figure().set_string(kText2D, {format_significant(result.shares.value, 5)});
    });
    return done ? handles : mark_failed(rt, std::move(handles), firstVowelNum, secondVowelNum, false);
}

Handles calculate_3D_overlap(Runtime& rt, Handles handles, int firstVowelNum, int secondVowelNum,
                             int currPair, int totalPairs, std::optional<ProgressRef> waitbar) {
    const bool done = guarded(rt, ReportForm::B, kOp3D, [&] {
        const OrderedPair pair = ordered(firstVowelNum, secondVowelNum);
        const VowelGroup& g1 = group_at(handles, pair.first);
        const VowelGroup& g2 = group_at(handles, pair.second);

        const GridResolution resolution = grid_resolution(handles.overlapResolution, true);
        const PairProgress progress(rt, waitbar, currPair, totalPairs, resolution.m);
        progress.start(fill_message(
            kProgress3D, {std::to_string(currPair), std::to_string(totalPairs), g1.name, g2.name}));

        GridOverlap3D result = grid_overlap_3d(ellipsoid_of(g1), ellipsoid_of(g2), resolution,
                                               [&](int i) { progress.column(i); });
        const std::string line = log_line(kLog3D, g1, g2, result.shares.value);

        VowelGroup& v1 = handles.v[static_cast<std::size_t>(pair.first - 1)];
        v1.Ecoordx = std::move(result.inside1.x);
        v1.Ecoordy = std::move(result.inside1.y);
        v1.Ecoordz = std::move(result.inside1.z);
        VowelGroup& v2 = handles.v[static_cast<std::size_t>(pair.second - 1)];
        v2.Ecoordx = std::move(result.inside2.x);
        v2.Ecoordy = std::move(result.inside2.y);
        v2.Ecoordz = std::move(result.inside2.z);
        OverlapCell& cell = handles.overlap[{pair.first, pair.second}];
        cell.Bothcoordx = std::move(result.both.x);
        cell.Bothcoordy = std::move(result.both.y);
        cell.Bothcoordz = std::move(result.both.z);
        set_pair_results(cell, true, cell_results(result.shares));

        handles = update_log(rt, std::move(handles), line); // stores the record with the window
        rt.figure().set_string(kText3D, {format_significant(result.shares.value, 5)});
    });
    return done ? handles : mark_failed(rt, std::move(handles), firstVowelNum, secondVowelNum, true);
}

} // namespace tarvik
