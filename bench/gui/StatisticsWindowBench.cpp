// Opening a 100 MB activity log in the statistics windows as a user does: OK in the start window
// reads the log with its progress bar, the statistics window is built, and each of its pages is
// drawn once; and sorting that log's biggest table by a heading. Offscreen; nothing is shown on a
// display.
#include "gui/stats/RecordTableModel.h"
#include "gui/stats/StatisticsStart.h"
#include "gui/stats/StatisticsWindow.h"
#include "stats/SyntheticLog.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace mv {
namespace {

// Once the statistics window is up, draws each page and closes it.
void drawChartsAndClose() {
    auto* poll = new QTimer(qApp);
    poll->setInterval(1);
    QObject::connect(poll, &QTimer::timeout, [poll] {
        auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!window || window->objectName() != QStringLiteral("TfrmChart")) return;
        poll->stop();
        poll->deleteLater();
        auto* stats = static_cast<gui::StatisticsWindow*>(window);
        for (int page = 0; page <= static_cast<int>(gui::StatisticsPage::SpamDeleted); ++page) {
            stats->showPage(static_cast<gui::StatisticsPage>(page));
            benchmark::DoNotOptimize(stats->grab());
        }
        window->reject();
    });
    poll->start();
}

void BM_OpenBigLogInTheStatisticsWindow(benchmark::State& state) {
    const SyntheticLogFile log("mailvane-stats-window-bench.txt");
    const FixedClock clock(*encodeDate(2030, 1, 1));
    for (auto _ : state) {
        gui::StatisticsStart start(QString::fromStdString(log.path().string()),
                                   RegionalSettings::usEnglish(), clock);
        start.show();
        drawChartsAndClose();
        start.findChild<QPushButton*>(QStringLiteral("btOK"))->click();
        if (start.result() != QDialog::Accepted) state.SkipWithError("the log did not open");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * log.size()));
}
BENCHMARK(BM_OpenBigLogInTheStatisticsWindow)->Unit(benchmark::kMillisecond)->Iterations(3);

// A click on a heading of the big log's "Spam Deleted" table: by date, size (numbers) or sender.
void BM_SortBigDeletedTable(benchmark::State& state) {
    const FixedClock clock(*encodeDate(2030, 1, 1));
    ActivityStatistics stats(RegionalSettings::usEnglish(), clock);
    NoDisplay listener;
    if (!stats.readInLogFile(SyntheticLogFile("mailvane-stats-sort-bench.txt").path(), listener))
        state.SkipWithError("log did not read");
    gui::DeletedTableModel model;
    const int column = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        model.setRecords(stats.fillInGrids().deleted);
        state.ResumeTiming();
        model.sort(column, Qt::DescendingOrder);
    }
    state.counters["rows"] = model.rowCount();
}
BENCHMARK(BM_SortBigDeletedTable)
    ->ArgName("column")
    ->Arg(0)
    ->Arg(4)
    ->Arg(5)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
} // namespace mv

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
