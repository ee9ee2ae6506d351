// stats_screenshots OUTDIR: the statistics windows as PNG files, for looking at them.
#include "gui/stats/StatisticsScreenshots.h"

#include <QApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: stats_screenshots OUTDIR\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    mv::test::shootStatisticsStart(folder);
    mv::test::shootStatisticsPages(folder);
    mv::test::shootDateRange(folder);
    return 0;
}
