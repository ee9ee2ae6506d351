// Reading a 100 MB activity log and computing every figure the statistics show.
#include "SyntheticLog.h"
#include "stats/ActivityStatistics.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace mv {
namespace {

void BM_ReadLogAndComputeEverything(benchmark::State& state) {
    const SyntheticLogFile log("mailvane-stats-bench.txt");
    const FixedClock clock(*encodeDate(2030, 1, 1));
    NoDisplay listener;
    for (auto _ : state) {
        ActivityStatistics stats(RegionalSettings::usEnglish(), clock);
        if (!stats.readInLogFile(log.path(), listener)) state.SkipWithError("log did not read");
        Grids grids = stats.fillInGrids();
        Readings readings = stats.PlotReadings();
        PieShares pie = stats.RecomputePie(grids);
        benchmark::DoNotOptimize(readings);
        benchmark::DoNotOptimize(pie);
        state.counters["checks"] = static_cast<double>(stats.checks().size());
        state.counters["deletions"] = static_cast<double>(stats.deletions().size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * log.size()));
}
BENCHMARK(BM_ReadLogAndComputeEverything)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace mv
