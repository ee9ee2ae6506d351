#include "screenshots/StatisticsShots.h"

#include "gui/stats/DateRangeDialog.h"
#include "gui/stats/DemoActivityLog.h"
#include "gui/stats/StatisticsStart.h"
#include "gui/stats/StatisticsWindow.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>

namespace mv::gui {

namespace {

QString save(QWidget& window, const QString& outDir, const QString& name) {
    window.show();
    QApplication::processEvents();
    const QString file = QDir(outDir).filePath(name + QStringLiteral(".png"));
    window.grab().save(file);
    return file;
}

class IgnoreErrors : public LogReadListener {
public:
    void showError(std::string_view) override {}
};

} // namespace

QStringList shootStatisticsStart(const QString& outDir) {
    FixedClock clock(test::demoNow());
    StatisticsStart start(QStringLiteral("/home/ann/.local/share/mailvane/logfile.txt"),
                          RegionalSettings::usEnglish(), clock);
    return {save(start, outDir, QStringLiteral("statistics-start"))};
}

QStringList shootStatisticsPages(const QString& outDir) {
    QTemporaryDir dir;
    const std::filesystem::path log =
        QDir(dir.path()).filePath(QStringLiteral("logfile.txt")).toStdString();
    const RegionalSettings regional = RegionalSettings::usEnglish();
    test::writeDemoActivityLog(log, test::demoFirstDay(), test::demoNow(), regional);
    FixedClock clock(test::demoNow());
    ActivityStatistics stats(regional, clock);
    IgnoreErrors errors;
    stats.readInLogFile(log, errors);
    StatisticsWindow window(stats, clock);
    QStringList files;
    window.resize(900, 640);
    const char* names[] = {"day-of-week", "hour-of-day",  "day-by-day",    "deleted-share",
                           "top-domains", "top-spammers", "email-traffic", "spam-deleted"};
    for (int page = 0; page < 8; ++page) {
        window.showPage(static_cast<StatisticsPage>(page));
        files << save(
            window, outDir,
            QStringLiteral("statistics-%1-%2").arg(page + 1).arg(QLatin1String(names[page])));
    }
    window.showPage(StatisticsPage::HourOfDay);
    window.findChild<QPushButton*>(QStringLiteral("btHint"))->click();
    files << save(window, outDir, QStringLiteral("statistics-hints"));
    return files;
}

QStringList shootDateRange(const QString& outDir) {
    FixedClock clock(test::demoNow());
    DateRangeDialog dialog(clock, nullptr);
    dialog.preset(initialRange(test::demoNow()));
    return {save(dialog, outDir, QStringLiteral("statistics-date-range"))};
}

} // namespace mv::gui
