#pragma once
// The six charts of the statistics window. Each keeps its series for the window's life and takes
// new figures on every redraw, so series the user switched off stay off.
#include "stats/ActivityStatistics.h"

#include <QColor>
#include <QString>
#include <array>
#include <vector>

class QAbstractSeries;
class QBarCategoryAxis;
class QBarSet;
class QCategoryAxis;
class QChart;
class QDateTimeAxis;
class QLineSeries;
class QPieSeries;
class QValueAxis;

namespace mv::gui {

inline const QString kFoundSeries = QStringLiteral("Number Found");
inline const QString kDeletedSeries = QStringLiteral("Number Deleted");
inline const QString kCheckSeries = QStringLiteral("E-mail Check");

// The three figures of every chart with series, in the order their check boxes stand.
enum class Figure { Found, Deleted, Checked };
inline constexpr std::array<Figure, 3> kFigures{Figure::Found, Figure::Deleted, Figure::Checked};

// "Day of week": one group of three bars per weekday, Sunday first.
class WeekdayChart {
public:
    WeekdayChart();
    QChart* chart() const { return m_chart; }
    void show(const std::vector<LabelledFigures>& days);

private:
    QChart* m_chart;
    std::array<QBarSet*, 3> m_sets{};
    QBarCategoryAxis* m_days;
    QValueAxis* m_frequency;
};

// "Hour of day" and "Day by day": three lines whose width follows the depth slider and whose
// visibility follows the page's own check boxes.
class FigureLines {
public:
    QChart* chart() const { return m_chart; }
    QLineSeries* series(Figure figure) const { return m_lines[static_cast<std::size_t>(figure)]; }
    void setDepth(int percent);

protected:
    explicit FigureLines(QColor foundColour);
    void fitFrequency(long long highest);

    QChart* m_chart;
    std::array<QLineSeries*, 3> m_lines{};
    QValueAxis* m_frequency;
};

class HourChart : public FigureLines {
public:
    HourChart();
    void show(const std::vector<LabelledFigures>& halfHours);

private:
    QCategoryAxis* m_slots;
};

class DayChart : public FigureLines {
public:
    DayChart();
    // Without a point the axis shows the last week of the range.
    void show(const Readings& readings, const DateRange& range);

private:
    QDateTimeAxis* m_dates;
};

// "% Deleted": the slices "Normal E-mail" and "Spam Deleted", each labelled with its share.
class ShareChart {
public:
    ShareChart();
    QChart* chart() const { return m_chart; }
    void show(const PieShares& shares);

private:
    QChart* m_chart;
    QPieSeries* m_pie;
};

// "Top 10 Spam Domains", "Top 10 Spammers": horizontal bars, the most frequent at the top.
class TopTenChart {
public:
    explicit TopTenChart(const QString& title);
    QChart* chart() const { return m_chart; }
    void show(const std::vector<TopEntry>& top);

private:
    QChart* m_chart;
    QBarSet* m_counts;
    QBarCategoryAxis* m_entries;
    QValueAxis* m_values;
};

// The share of `part` in `whole` as the pie labels it: "##0 %".
QString percentLabel(long long part, long long whole);

} // namespace mv::gui
