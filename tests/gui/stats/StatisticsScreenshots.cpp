#include "gui/stats/StatisticsScreenshots.h"

#include "gui/stats/DateRangeDialog.h"
#include "gui/stats/DemoActivityLog.h"
#include "gui/stats/StatisticsStart.h"
#include "gui/stats/StatisticsWindow.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>

namespace mv::test {

namespace {

// Thursday 20 June 2024 at noon; the log runs from 1 March.
DateTime demoNow() {
    return *encodeDate(2024, 6, 20) + 0.5;
}

void save(QWidget& window, const QString& folder, const QString& name) {
    window.show();
    QApplication::processEvents();
    window.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

class IgnoreErrors : public LogReadListener {
public:
    void showError(std::string_view) override {}
};

} // namespace

void shootStatisticsStart(const QString& folder) {
    FixedClock clock(demoNow());
    gui::StatisticsStart start(QStringLiteral("/home/ann/.local/share/mailvane/logfile.txt"),
                               RegionalSettings::usEnglish(), clock);
    save(start, folder, QStringLiteral("statistics-start"));
}

void shootStatisticsPages(const QString& folder) {
    QTemporaryDir dir;
    const std::filesystem::path log =
        QDir(dir.path()).filePath(QStringLiteral("logfile.txt")).toStdString();
    const RegionalSettings regional = RegionalSettings::usEnglish();
    writeDemoActivityLog(log, *encodeDate(2024, 3, 1), *encodeDate(2024, 6, 20), regional);
    FixedClock clock(demoNow());
    ActivityStatistics stats(regional, clock);
    IgnoreErrors errors;
    stats.readInLogFile(log, errors);
    gui::StatisticsWindow window(stats, clock);
    window.resize(900, 640);
    const char* names[] = {"day-of-week", "hour-of-day",  "day-by-day",    "deleted-share",
                           "top-domains", "top-spammers", "email-traffic", "spam-deleted"};
    for (int page = 0; page < 8; ++page) {
        window.showPage(static_cast<gui::StatisticsPage>(page));
        save(window, folder,
             QStringLiteral("statistics-%1-%2").arg(page + 1).arg(QLatin1String(names[page])));
    }
    window.showPage(gui::StatisticsPage::HourOfDay);
    window.findChild<QPushButton*>(QStringLiteral("btHint"))->click();
    save(window, folder, QStringLiteral("statistics-hints"));
}

void shootDateRange(const QString& folder) {
    FixedClock clock(demoNow());
    gui::DateRangeDialog dialog(clock, nullptr);
    dialog.preset(initialRange(demoNow()));
    save(dialog, folder, QStringLiteral("statistics-date-range"));
}

} // namespace mv::test
