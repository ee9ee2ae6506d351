#pragma once
// "Chart of Activity": eight pages of charts and tables over one reading of the activity log, a
// mailbox filter that takes effect on Redraw, a date range, hints on zooming, print and export.
// Lives for one modal showing; the statistics it presents must outlive it.
#include "gui/stats/RecordTableModel.h"
#include "gui/stats/StatisticsCharts.h"
#include "stats/ActivityStatistics.h"

#include <QDialog>

class QChartView;
class QComboBox;
class QFrame;
class QLabel;
class QPrinter;
class QTabWidget;
class QTableView;

namespace mv::gui {

class DateRangeDialog;

// The pages in the order they stand.
enum class StatisticsPage {
    DayOfWeek,
    HourOfDay,
    DayByDay,
    Deleted,
    TopDomains,
    TopSpammers,
    Traffic,
    SpamDeleted
};

class StatisticsWindow : public QDialog {
public:
    StatisticsWindow(ActivityStatistics& stats, const Clock& clock, QWidget* parent = nullptr);

    void showPage(StatisticsPage page);
    // Prints the table of the shown page with its title, date, time and page numbers; false on a
    // chart page.
    bool printShownTable(QPrinter& printer) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildPages();
    QWidget* linePage(FigureLines& lines, const QString& chartName, const QString& sliderName,
                      const QString& boxSuffix);
    QWidget* buildButtonBar();
    QFrame* buildHints();
    void placeHints();

    void redraw();
    void chooseDateRange();
    void print();
    void exportShown();
    QTableView* shownTable() const;
    QChartView* shownChart() const;

    ActivityStatistics& m_stats;
    WeekdayChart m_weekday;
    HourChart m_hour;
    DayChart m_day;
    ShareChart m_share;
    TopTenChart m_domains{QStringLiteral("Top 10 Spam Domains")};
    TopTenChart m_spammers{QStringLiteral("Top 10 Spammers")};
    TrafficTableModel m_traffic;
    DeletedTableModel m_deleted;

    QLabel* m_heading;
    QTabWidget* m_pages;
    QTableView* m_trafficView = nullptr;
    QTableView* m_deletedView = nullptr;
    QComboBox* m_mailbox = nullptr;
    QFrame* m_hints;
    DateRangeDialog* m_rangeDialog;
};

} // namespace mv::gui
