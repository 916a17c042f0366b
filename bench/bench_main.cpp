// Benchmarks of the program's own computations. Built with the project, run by hand:
//   build/bench/tarvik_bench
#include "app/entry.h"
#include "app/log.h"
#include "import/data_file.h"
#include "ui/scripted_services.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

// A study of `tokens` lines and 8 columns: subject, vowel, F1, F2, duration, phrase duration and two
// categories, with the value mix of real data.
std::string generated_study(std::size_t tokens) {
    static const char* const vowels[] = {"ae", "ah", "aw", "eh", "ei", "er", "ih", "iy", "oa", "oo", "uh", "uw"};
    static const char* const stress[] = {"primary", "secondary", "unstressed"};
    static const char* const context[] = {"b_d", "h_d", "k_t", "p_t"};
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> f1(250, 1000), f2(800, 3000), dur(80, 450), phrase(600, 2400);
    std::string out = "Speaker\tVowel\tF1\tF2\tDuration\tPhrase\tStress\tContext\n";
    out.reserve(tokens * 64);
    char line[256];
    for (std::size_t i = 0; i < tokens; ++i) {
        std::snprintf(line, sizeof line, "s%03zu\t%s\t%.1f\t%.1f\t%.0f\t%.0f\t%s\t%s\n", i % 400, vowels[i % 12],
                      f1(rng), f2(rng), dur(rng), phrase(rng), stress[i % 3], context[(i / 3) % 4]);
        out += line;
    }
    return out;
}

// The reader's own work on a whole file: lines, header, cleaning and counting, the table.
void BM_ReadDataFile(benchmark::State& state) {
    const std::string content = generated_study(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        const auto lines = tarvik::split_file_lines(content);
        const auto header = tarvik::read_header(lines.front());
        auto data = tarvik::read_data_lines(lines, header.names.size());
        auto table = tarvik::build_data_table(header.names, std::move(data.accepted));
        benchmark::DoNotOptimize(table);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadDataFile)->Arg(1658)->Arg(100000)->Unit(benchmark::kMillisecond);

// "Load File" pressed on the headless window: file dialog answered, file read, table stored, menus
// filled and the log written.
void BM_LoadFileButton(benchmark::State& state) {
    const auto path = std::filesystem::temp_directory_path() / "tarvik_bench_study.txt";
    std::ofstream(path, std::ios::binary) << generated_study(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        tarvik::ScriptedServices scripted;
        tarvik::Runtime rt(scripted.services());
        tarvik::zerivizi_export(rt, {std::string("visible"), std::string("off")});
        scripted.fileAnswers.push_back(tarvik::FileChoice{path.filename().string(), path.parent_path().string()});
        state.ResumeTiming();
        tarvik::dispatch_event(rt, "button_load_file");
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_LoadFileButton)->Arg(100000)->Unit(benchmark::kMillisecond);

// Creating the main window: layout, record, opening function and first log entry.
void BM_CreateMainWindow(benchmark::State& state) {
    for (auto _ : state) {
        tarvik::ScriptedServices scripted;
        tarvik::Runtime rt(scripted.services());
        benchmark::DoNotOptimize(tarvik::zerivizi_export(rt, {std::string("visible"), std::string("off")}));
    }
}
BENCHMARK(BM_CreateMainWindow);

} // namespace

BENCHMARK_MAIN();
