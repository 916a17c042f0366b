// The grid overlap of fitted vowel groups: one pair in 2D and 3D at several resolutions, every pair of
// a 48-group study, the Results table of that study, and one pair through the overlap step on the
// headless main window.
#include "app/entry.h"
#include "geometry/fits.h"
#include "overlap/grid_overlap.h"
#include "overlap/overlap_results.h"
#include "overlap/overlap_step.h"
#include "ui/scripted_services.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

constexpr double kStdmult = 2;

// Two vowels of nine normalized tokens each (F2, F1, duration) that overlap a little.
tarvik::Matrix front_vowel() {
    const double v[9][3] = {
        {-0.2568, -0.1155, 0.055},  {-0.2056, -0.0672, 0.0618}, {-0.2452, -0.1287, 0.0694},
        {-0.3509, -0.0912, 0.0825}, {0.0818, -0.1155, 0.0862},  {-0.2693, -0.1287, 0.0872},
        {-0.2693, -0.1038, 0.0943}, {-0.2056, -0.1038, 0.0975}, {-0.2333, -0.0791, 0.0997}};
    tarvik::Matrix m(9, 3);
    for (std::size_t r = 0; r < 9; ++r)
        for (std::size_t c = 0; c < 3; ++c)
            m(r, c) = v[r][c];
    return m;
}

tarvik::Matrix back_vowel() {
    const double v[9][3] = {
        {-0.2111, -0.0567, 0.0834}, {-0.2056, -0.0238, 0.11},   {-0.2167, -0.0143, 0.095},
        {-0.2167, -0.0238, 0.0862}, {-0.2275, -0.0345, 0.0675}, {-0.1456, 0.0059, 0.0794},
        {-0.2223, -0.0912, 0.0972}, {-0.1847, -0.0143, 0.0863}, {-0.2111, -0.0345, 0.0906}};
    tarvik::Matrix m(9, 3);
    for (std::size_t r = 0; r < 9; ++r)
        for (std::size_t c = 0; c < 3; ++c)
            m(r, c) = v[r][c];
    return m;
}

// `count` groups of 30 tokens spread over a normalized vowel space, so that neighbours overlap.
std::vector<tarvik::Matrix> study_groups(std::size_t count) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> centre(-1, 1), lengthCentre(0.05, 0.2);
    std::normal_distribution<double> spread(0, 1);
    std::vector<tarvik::Matrix> out;
    for (std::size_t g = 0; g < count; ++g) {
        const double f2 = centre(rng), f1 = centre(rng), dur = lengthCentre(rng);
        tarvik::Matrix m(30, 3);
        for (std::size_t r = 0; r < m.rows; ++r) {
            const double a = spread(rng), b = spread(rng);
            m(r, 0) = f2 + 0.3 * a;
            m(r, 1) = f1 + 0.1 * a + 0.15 * b;
            m(r, 2) = dur + 0.02 * spread(rng) + 0.01 * a;
        }
        out.push_back(std::move(m));
    }
    return out;
}

tarvik::Ellipse2D ellipse(const tarvik::Matrix& points) {
    const tarvik::StarFit2D f = tarvik::fit_star_2d(points, kStdmult, tarvik::FitOrientation::Line);
    return {
        {f.avg[0], f.avg[1]}, f.theta, f.A, f.B, tarvik::ellipse_in_data(f.theta, f.xstar, f.ystar, f.avg)};
}

tarvik::Ellipsoid3D ellipsoid(const tarvik::Matrix& points) {
    const tarvik::DubstarFit3D f = tarvik::fit_dubstar_3d(points, kStdmult, tarvik::FitOrientation::Line);
    return {{f.avg[0], f.avg[1], f.avg[2]},
            f.theta,
            f.phi,
            f.A,
            f.B,
            f.C,
            tarvik::ellipsoid_in_data(f.theta, f.phi, f.xdubstar, f.ydubstar, f.zdubstar, f.avg)};
}

// One pair of ellipsoids on a grid of (r + 1)^3 points.
void BM_GridOverlap3D(benchmark::State& state) {
    const tarvik::Ellipsoid3D a = ellipsoid(front_vowel());
    const tarvik::Ellipsoid3D b = ellipsoid(back_vowel());
    const int r = static_cast<int>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(tarvik::grid_overlap_3d(a, b, {r, r, r}));
    state.SetItemsProcessed(state.iterations() * (r + 1) * (r + 1) * (r + 1));
}
BENCHMARK(BM_GridOverlap3D)->Arg(20)->Arg(100)->Unit(benchmark::kMicrosecond);

// One pair of ellipses on a grid of (r + 1)^2 points.
void BM_GridOverlap2D(benchmark::State& state) {
    const tarvik::Ellipse2D a = ellipse(front_vowel());
    const tarvik::Ellipse2D b = ellipse(back_vowel());
    const int r = static_cast<int>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(tarvik::grid_overlap_2d(a, b, {r, r, r}));
    state.SetItemsProcessed(state.iterations() * (r + 1) * (r + 1));
}
BENCHMARK(BM_GridOverlap2D)->Arg(20)->Unit(benchmark::kMicrosecond);

// Every pair of 48 groups (1128 pairs) in 3D at the default resolution.
void BM_GridOverlap3DAllPairs(benchmark::State& state) {
    std::vector<tarvik::Ellipsoid3D> shapes;
    for (const tarvik::Matrix& g : study_groups(static_cast<std::size_t>(state.range(0))))
        shapes.push_back(ellipsoid(g));
    for (auto _ : state)
        for (std::size_t i = 0; i < shapes.size(); ++i)
            for (std::size_t j = i + 1; j < shapes.size(); ++j)
                benchmark::DoNotOptimize(tarvik::grid_overlap_3d(shapes[i], shapes[j], {}));
}
BENCHMARK(BM_GridOverlap3DAllPairs)->Arg(48)->Unit(benchmark::kMillisecond);

// The Results window's table of every pair of 48 groups (1128 pairs, 2D and 3D rows): reading the
// cells and every measure of each pair, beside BM_GridOverlap3DAllPairs.
void BM_OverlapResultsAllPairs(benchmark::State& state) {
    tarvik::Handles h;
    for (tarvik::Matrix& m : study_groups(static_cast<std::size_t>(state.range(0)))) {
        tarvik::VowelGroup g;
        g.name = "group" + std::to_string(h.v.size() + 1);
        g.data = std::move(m);
        h.v.push_back(std::move(g));
    }
    for (int i = 1; i <= static_cast<int>(h.v.size()); ++i)
        for (int j = i + 1; j <= static_cast<int>(h.v.size()); ++j)
            h.overlap[{i, j}] = {0.5, 0.5, 0.4, 10, 12, 5, 0.5, 0.5, 0.4, 10, 12, 5};
    for (auto _ : state)
        benchmark::DoNotOptimize(tarvik::overlap_results(h));
}
BENCHMARK(BM_OverlapResultsAllPairs)->Arg(48)->Unit(benchmark::kMillisecond);

// One pair through the overlap step: record copy, walk, inside lists, log line, result text, store.
void BM_Calculate3DOverlapPair(benchmark::State& state) {
    tarvik::ScriptedServices scripted;
    tarvik::Runtime rt(scripted.services());
    tarvik::zerivizi_export(rt, {std::string("visible"), std::string("off")});
    tarvik::Handles h = *rt.figure().retrieve();
    h.v.clear();
    for (const tarvik::Matrix& m : {front_vowel(), back_vowel()}) {
        const tarvik::DubstarFit3D f = tarvik::fit_dubstar_3d(m, kStdmult, tarvik::FitOrientation::Line);
        tarvik::VowelGroup g;
        g.name = "group" + std::to_string(h.v.size() + 1);
        g.data = m;
        g.avg = f.avg;
        g.theta = f.theta;
        g.phi = f.phi;
        g.A = f.A;
        g.B = f.B;
        g.C = f.C;
        g.ellps3D = tarvik::ellipsoid_in_data(f.theta, f.phi, f.xdubstar, f.ydubstar, f.zdubstar, f.avg);
        h.v.push_back(std::move(g));
    }
    rt.figure().store(h);
    for (auto _ : state) {
        // A fresh log each time, so that the log append does not grow with the iterations.
        state.PauseTiming();
        rt.figure().set_string("listbox_log", {});
        state.ResumeTiming();
        benchmark::DoNotOptimize(tarvik::calculate_overlap(rt, {.threeD = true, .pair = std::pair{1, 2}, .resolution = std::nullopt}));
    }
}
BENCHMARK(BM_Calculate3DOverlapPair)->Unit(benchmark::kMicrosecond);

} // namespace
