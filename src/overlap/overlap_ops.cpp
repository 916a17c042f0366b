#include "overlap/overlap_ops.h"

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

constexpr std::string_view kLog2D = "2D VOWEL OVERLAP of Group <%s> and Group <%s> is: %f";
constexpr std::string_view kLog3D = "3D VOWEL OVERLAP of Group <%s> and Group <%s> is: %f";
constexpr std::string_view kFailedLog = "%sD VOWEL OVERLAP of Group <%s> and Group <%s> is: NaN (it could not be calculated)";

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

template <typename T>
const T& fitted(const std::optional<T>& field, std::string_view message, const VowelGroup& group) {
    if (!field)
        throw std::runtime_error(fill_message(message, {group.name}));
    return *field;
}

// The grid of a pair as the record keeps it beside its groups.
InsideGrid inside_grid(const GridBox& box, const GridResolution& r) {
    return {box.min, box.step, {static_cast<double>(r.m), static_cast<double>(r.n), static_cast<double>(r.s)}};
}

int whole_steps(double v) {
    if (!(v >= 1) || v != std::floor(v) || v > kMaxGridSteps)
        throw std::invalid_argument(fill_message(kBadResolution, {std::to_string(kMaxGridSteps)}));
    return static_cast<int>(v);
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

OverlapInputs overlap_inputs(const Handles& handles, bool threeD) {
    OverlapInputs in;
    in.threeD = threeD;
    try {
        in.resolution = grid_resolution(handles.overlapResolution, threeD);
    } catch (...) {
        in.badResolution = std::current_exception();
    }
    const std::size_t n = handles.v.size();
    in.noFit.resize(n);
    in.names.reserve(n);
    for (const VowelGroup& g : handles.v)
        in.names.push_back(g.name);
    if (threeD)
        in.ellipsoids.resize(n);
    else
        in.ellipses.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        try {
            if (threeD)
                in.ellipsoids[i] = ellipsoid_of(handles.v[i]);
            else
                in.ellipses[i] = ellipse_of(handles.v[i]);
        } catch (...) {
            in.noFit[i] = std::current_exception();
        }
    }
    return in;
}

PairOverlap pair_overlap(const OverlapInputs& in, int first, int second, const GridColumnHook& onColumn) {
    PairOverlap out;
    out.first = first, out.second = second;
    const auto a = static_cast<std::size_t>(first - 1), b = static_cast<std::size_t>(second - 1);
    out.failure = in.badResolution ? in.badResolution : in.noFit.at(b) ? in.noFit[b] : in.noFit.at(a);
    if (!out.failure) {
        try {
            const GridCounts r = in.threeD
                                     ? grid_counts_3d(in.ellipsoids[a], in.ellipsoids[b], in.resolution, onColumn)
                                     : grid_counts_2d(in.ellipses[a], in.ellipses[b], in.resolution, onColumn);
            out.shares = r.shares;
            out.grid = inside_grid(r.box, in.resolution);
        } catch (const OverlapCancelled&) {
            throw;
        } catch (...) {
            out.failure = std::current_exception();
        }
    }
    out.logLine = out.failure ? fill_message(kFailedLog, {in.threeD ? "3" : "2", in.names.at(a), in.names.at(b)})
                              : fill_message(in.threeD ? kLog3D : kLog2D,
                                             {in.names.at(a), in.names.at(b), format_fixed(out.shares.value, 0, 6)});
    return out;
}

void record_pair(Handles& handles, const PairOverlap& pair, bool threeD) {
    OverlapCell& cell = handles.overlap[{pair.first, pair.second}];
    if (pair.failure) {
        const double nan = kNoShare;
        set_pair_results(cell, threeD, {nan, nan, nan, nan, nan, nan});
        return;
    }
    for (const int g : {pair.first, pair.second}) {
        VowelGroup& group = handles.v.at(static_cast<std::size_t>(g - 1)).edit();
        (threeD ? group.Egrid : group.Egrid2D) = pair.grid;
    }
    set_pair_results(cell, threeD, cell_results(pair.shares));
}

std::optional<PointList3D> group_inside_points(const Handles& handles, int group, bool threeD) {
    const VowelGroup& g = handles.v.at(static_cast<std::size_t>(group - 1));
    const std::optional<InsideGrid>& grid = threeD ? g.Egrid : g.Egrid2D;
    if (!grid)
        return std::nullopt;
    const OverlapResolution steps{.n = grid->steps[1], .m = grid->steps[0], .s = grid->steps[2]};
    const GridResolution resolution = grid_resolution(steps, threeD);
    const GridBox box{grid->min, {}, grid->step};
    if (threeD)
        return grid_inside_3d(ellipsoid_of(g), box, resolution);
    PointList2D inside = grid_inside_2d(ellipse_of(g), box, resolution);
    return PointList3D{std::move(inside.x), std::move(inside.y), {}};
}

PairPoints pair_points(const Handles& handles, int first, int second, bool threeD) {
    const VowelGroup& g1 = handles.v.at(static_cast<std::size_t>(first - 1));
    const VowelGroup& g2 = handles.v.at(static_cast<std::size_t>(second - 1));
    const GridResolution resolution = grid_resolution(handles.overlapResolution, threeD);
    if (threeD) {
        GridOverlap3D r = grid_overlap_3d(ellipsoid_of(g1), ellipsoid_of(g2), resolution);
        return {std::move(r.inside1), std::move(r.inside2), std::move(r.both)};
    }
    GridOverlap2D r = grid_overlap_2d(ellipse_of(g1), ellipse_of(g2), resolution);
    const auto plane = [](PointList2D& p) { return PointList3D{std::move(p.x), std::move(p.y), {}}; };
    return {plane(r.inside1), plane(r.inside2), plane(r.both)};
}

} // namespace tarvik
