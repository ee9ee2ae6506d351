// Reading a 100 MB activity log and computing every figure the statistics show.
#include "base/Files.h"
#include "stats/ActivityStatistics.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace mv {
namespace {

constexpr std::size_t kLogBytes = 100u << 20;

// A log of checks every five minutes over four mailboxes, most of them finding spam that is then
// deleted, from a few thousand senders of which some send far more than others.
std::string syntheticLog(std::size_t bytes) {
    const RegionalSettings rs = RegionalSettings::usEnglish();
    const char* users[] = {"john", "mary.smith", "office", "sales@example.com"};
    std::string log;
    log.reserve(bytes + 4096);
    std::uint64_t seed = 42;
    auto next = [&seed](std::uint64_t n) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return (seed >> 33) % n;
    };
    DateTime when = *encodeDate(2015, 1, 1);
    while (log.size() < bytes) {
        when += 5.0 / (24 * 60);
        const std::string stamp = formatDateTime("ddd ddddd t", when, rs);
        const std::string user = users[next(4)];
        const std::string server = "pop" + std::to_string(next(3)) + ".example.net";
        const std::uint64_t found = next(8);
        log += "MAIL CHECK " + std::to_string(found) + " msg(s) for \"" + user + "\" on server " +
               server + " at " + stamp + "\r\n";
        for (std::uint64_t i = 0, spam = next(found + 1); i < spam; ++i) {
            const std::uint64_t sender = next(2) ? next(50) : next(5000);
            log += "DELETE SPAM on " + stamp + "\r\n   Server:  " + server + " Mailbox: " + user +
                   "\r\n   Subject: Limited offer number " + std::to_string(next(100000)) +
                   " just for you\r\n   Sender:  Sender" + std::to_string(sender) + "@Domain" +
                   std::to_string(sender % 700) +
                   ".example\r\n   Size:    " + std::to_string(1000 + next(90000)) +
                   "  Date: " + formatShortDate(when, rs) + " " + formatLongTime(when, rs) + "\r\n";
        }
    }
    return log;
}

class NoDisplay : public LogReadListener {
public:
    void showError(std::string_view) override {}
};

void BM_ReadLogAndComputeEverything(benchmark::State& state) {
    const auto path = std::filesystem::temp_directory_path() / "mailvane-stats-bench.txt";
    writeFileAtomically(path, syntheticLog(kLogBytes));
    const FixedClock clock(*encodeDate(2030, 1, 1));
    NoDisplay listener;
    for (auto _ : state) {
        ActivityStatistics stats(RegionalSettings::usEnglish(), clock);
        if (!stats.readInLogFile(path, listener)) state.SkipWithError("log did not read");
        Grids grids = stats.fillInGrids();
        Readings readings = stats.PlotReadings();
        PieShares pie = stats.RecomputePie(grids);
        benchmark::DoNotOptimize(readings);
        benchmark::DoNotOptimize(pie);
        state.counters["checks"] = static_cast<double>(stats.checks().size());
        state.counters["deletions"] = static_cast<double>(stats.deletions().size());
    }
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * std::filesystem::file_size(path)));
    std::filesystem::remove(path);
}
BENCHMARK(BM_ReadLogAndComputeEverything)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace mv
