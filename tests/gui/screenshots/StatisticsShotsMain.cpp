// stats_screenshots OUTDIR: renders the statistics start window, every page of the statistics
// window and the date range dialog over a demo log, offscreen unless a display is chosen.
#include "screenshots/StatisticsShots.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: stats_screenshots OUTDIR\n";
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(outDir);
    for (const auto& shoot :
         {mv::gui::shootStatisticsStart, mv::gui::shootStatisticsPages, mv::gui::shootDateRange})
        for (const QString& file : shoot(outDir))
            QTextStream(stdout) << file << "\n";
    return 0;
}
