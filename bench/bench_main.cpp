// Benchmarks of the program's own computations. Built with the project, run by hand:
//   build/bench/tarvik_bench
#include "app/entry.h"
#include "app/log.h"
#include "ui/scripted_services.h"

#include <benchmark/benchmark.h>

namespace {

// Creating the main window: layout, record, opening function and first log entry.
void BM_CreateMainWindow(benchmark::State& state) {
    for (auto _ : state) {
        tarvik::ScriptedServices scripted;
        tarvik::Runtime rt(scripted.services());
        benchmark::DoNotOptimize(tarvik::zerivizi_export(rt, {std::string("visible"), std::string("off")}));
    }
}
BENCHMARK(BM_CreateMainWindow);

// Appending a block of lines to a log that already holds many items.
void BM_UpdateLogBlock(benchmark::State& state) {
    tarvik::ScriptedServices scripted;
    tarvik::Runtime rt(scripted.services());
    tarvik::zerivizi_export(rt, {std::string("visible"), std::string("off")});
    tarvik::Handles h = *rt.figure().retrieve();
    const tarvik::TextList block(static_cast<std::size_t>(state.range(0)), "         663.000   2012.000    323.000");
    for (auto _ : state) {
        h = tarvik::update_log(rt, std::move(h), block);
    }
}
BENCHMARK(BM_UpdateLogBlock)->Arg(10)->Arg(100)->Iterations(2000);

} // namespace

BENCHMARK_MAIN();
