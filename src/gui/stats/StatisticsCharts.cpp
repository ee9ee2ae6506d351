#include "gui/stats/StatisticsCharts.h"

#include "gui/stats/StatsDates.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHorizontalBarSeries>
#include <QLineSeries>
#include <QPieSeries>
#include <QPieSlice>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace mv::gui {

namespace {

const QColor kLightGreen(0x90, 0xee, 0x90);
const QColor kGreen(0x00, 0x80, 0x00);
const QColor kRed(Qt::red);
const QColor kBlue(Qt::blue);

constexpr int kMostDateLabels = 26; // more weekly labels than this would run into each other

QChart* newChart() {
    auto* chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignTop);
    chart->setAnimationOptions(QChart::NoAnimation); // a big log redraws at once
    return chart;
}

QValueAxis* frequencyAxis() {
    auto* axis = new QValueAxis;
    axis->setTitleText(QStringLiteral("Frequency"));
    axis->setLabelFormat(QStringLiteral("%d"));
    return axis;
}

// A count axis from 0 to a round figure at or above `highest`.
void fitCounts(QValueAxis* axis, double highest) {
    axis->setRange(0, std::max(1.0, highest));
    axis->applyNiceNumbers();
}

long long figureOf(const Figures& f, Figure which) {
    switch (which) {
    case Figure::Found:
        return f.found;
    case Figure::Deleted:
        return f.deleted;
    case Figure::Checked:
        return f.checks;
    }
    return 0;
}

const QString& nameOf(Figure which) {
    switch (which) {
    case Figure::Found:
        return kFoundSeries;
    case Figure::Deleted:
        return kDeletedSeries;
    case Figure::Checked:
        break;
    }
    return kCheckSeries;
}

QColor colourOf(Figure which, QColor foundColour) {
    return which == Figure::Found ? foundColour : which == Figure::Deleted ? kRed : kBlue;
}

void attach(QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y) {
    series->attachAxis(x);
    series->attachAxis(y);
}

// A bar chart's one series with its category axis and its count axis.
void addBars(QChart* chart, QAbstractSeries* bars, QAbstractAxis* categories, Qt::Alignment side,
             QAbstractAxis* counts, Qt::Alignment countSide) {
    chart->addSeries(bars);
    chart->addAxis(categories, side);
    chart->addAxis(counts, countSide);
    attach(bars, categories, counts);
}

} // namespace

QString percentLabel(long long part, long long whole) {
    const long long percent =
        whole == 0 ? 0
                   : std::llround(100.0 * static_cast<double>(part) / static_cast<double>(whole));
    return QString::number(percent) + QStringLiteral(" %");
}

WeekdayChart::WeekdayChart()
    : m_chart(newChart()), m_days(new QBarCategoryAxis), m_frequency(frequencyAxis()) {
    auto* bars = new QBarSeries;
    for (Figure f : kFigures) {
        auto* set = new QBarSet(nameOf(f));
        set->setColor(colourOf(f, kLightGreen));
        bars->append(set);
        m_sets[static_cast<std::size_t>(f)] = set;
    }
    addBars(m_chart, bars, m_days, Qt::AlignBottom, m_frequency, Qt::AlignLeft);
}

void WeekdayChart::show(const std::vector<LabelledFigures>& days) {
    QStringList labels;
    long long highest = 0;
    for (QBarSet* set : m_sets)
        set->remove(0, set->count());
    for (const LabelledFigures& day : days) {
        labels << logText(day.label);
        for (Figure f : kFigures) {
            const long long value = figureOf(day.figures, f);
            m_sets[static_cast<std::size_t>(f)]->append(static_cast<qreal>(value));
            highest = std::max(highest, value);
        }
    }
    m_days->setCategories(labels);
    fitCounts(m_frequency, static_cast<double>(highest));
}

FigureLines::FigureLines(QColor foundColour) : m_chart(newChart()), m_frequency(frequencyAxis()) {
    for (Figure f : kFigures) {
        auto* line = new QLineSeries;
        line->setName(nameOf(f));
        line->setColor(colourOf(f, foundColour));
        m_chart->addSeries(line);
        m_lines[static_cast<std::size_t>(f)] = line;
    }
    m_chart->addAxis(m_frequency, Qt::AlignLeft);
}

void FigureLines::setDepth(int percent) {
    // The chart is drawn flat: the depth shows as the thickness of the lines' ribbons.
    for (QLineSeries* line : m_lines) {
        QPen pen = line->pen();
        pen.setWidthF(1.0 + percent / 10.0);
        line->setPen(pen);
    }
}

void FigureLines::fitFrequency(long long highest) {
    fitCounts(m_frequency, static_cast<double>(highest));
}

HourChart::HourChart() : FigureLines(kGreen), m_slots(new QCategoryAxis) {
    m_slots->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_slots->setLabelsAngle(-90);
    m_slots->setTruncateLabels(false);
    m_chart->addAxis(m_slots, Qt::AlignBottom);
    for (QLineSeries* line : m_lines)
        attach(line, m_slots, m_frequency);
}

void HourChart::show(const std::vector<LabelledFigures>& halfHours) {
    m_chart->zoomReset();
    if (m_slots->count() == 0) // the slot labels never change while the window lives
        for (std::size_t s = 0; s < halfHours.size(); ++s)
            m_slots->append(logText(halfHours[s].label), static_cast<qreal>(s));
    m_slots->setRange(0, static_cast<qreal>(std::max<std::size_t>(halfHours.size(), 2) - 1));
    long long highest = 0;
    for (Figure f : kFigures) {
        QList<QPointF> points;
        for (std::size_t s = 0; s < halfHours.size(); ++s) {
            const long long value = figureOf(halfHours[s].figures, f);
            points.append(QPointF(static_cast<qreal>(s), static_cast<qreal>(value)));
            highest = std::max(highest, value);
        }
        series(f)->replace(points);
    }
    fitFrequency(highest);
}

DayChart::DayChart() : FigureLines(kGreen), m_dates(new QDateTimeAxis) {
    m_dates->setFormat(QStringLiteral("dd/MMM/yy"));
    m_dates->setLabelsAngle(-90);
    m_dates->setTruncateLabels(false);
    m_chart->addAxis(m_dates, Qt::AlignBottom);
    for (QLineSeries* line : m_lines)
        attach(line, m_dates, m_frequency);
}

void DayChart::show(const Readings& readings, const DateRange& range) {
    m_chart->zoomReset();
    const std::array<const std::vector<DayPoint>*, 3> days{
        &readings.foundByDay, &readings.deletedByDay, &readings.checksByDay};
    long long highest = 0;
    DateTime first = range.end - 7, last = range.end;
    bool any = false;
    for (Figure f : kFigures) {
        QList<QPointF> points;
        for (const DayPoint& p : *days[static_cast<std::size_t>(f)]) {
            points.append(
                QPointF(static_cast<qreal>(chartMsecs(p.day)), static_cast<qreal>(p.value)));
            highest = std::max(highest, p.value);
            first = any ? std::min(first, p.day) : p.day;
            last = any ? std::max(last, p.day) : p.day;
            any = true;
        }
        series(f)->replace(points);
    }
    fitFrequency(highest);
    // Labels one week apart; a span of many months steps by as many whole weeks as keep the
    // labels apart.
    const QDate start = toQDate(first);
    const qint64 weeks = std::max<qint64>(1, (start.daysTo(toQDate(last)) + 6) / 7);
    const qint64 step = (weeks + kMostDateLabels - 1) / kMostDateLabels;
    const qint64 ticks = (weeks + step - 1) / step;
    m_dates->setRange(start.startOfDay(), start.addDays(7 * step * ticks).startOfDay());
    m_dates->setTickCount(static_cast<int>(ticks) + 1);
}

ShareChart::ShareChart() : m_chart(newChart()), m_pie(new QPieSeries) {
    QPieSlice* normal =
        m_pie->append(QString::fromUtf8(kNormalSlice.data(), kNormalSlice.size()), 0);
    QPieSlice* deleted =
        m_pie->append(QString::fromUtf8(kDeletedSlice.data(), kDeletedSlice.size()), 0);
    normal->setColor(kGreen);
    deleted->setColor(kRed);
    for (QPieSlice* slice : m_pie->slices())
        slice->setLabelVisible(true);
    m_chart->addSeries(m_pie);
}

void ShareChart::show(const PieShares& shares) {
    const long long whole = shares.normal + shares.deleted;
    const std::array<long long, 2> values{shares.normal, shares.deleted};
    const std::array<std::string_view, 2> names{kNormalSlice, kDeletedSlice};
    for (int i = 0; i < 2; ++i) {
        QPieSlice* slice = m_pie->slices().at(i);
        slice->setValue(static_cast<qreal>(values[i]));
        slice->setLabel(logText(names[i]) + QLatin1Char(' ') + percentLabel(values[i], whole));
    }
}

TopTenChart::TopTenChart(const QString& title)
    : m_chart(newChart()), m_counts(new QBarSet(title)), m_entries(new QBarCategoryAxis),
      m_values(new QValueAxis) {
    auto* bars = new QHorizontalBarSeries;
    bars->append(m_counts);
    bars->setLabelsVisible(true);
    bars->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    m_counts->setLabelColor(Qt::black);
    m_values->setLabelFormat(QStringLiteral("%d"));
    m_chart->setTitle(title);
    m_chart->legend()->hide();
    addBars(m_chart, bars, m_entries, Qt::AlignLeft, m_values, Qt::AlignBottom);
}

void TopTenChart::show(const std::vector<TopEntry>& top) {
    QStringList entries;
    m_counts->remove(0, m_counts->count());
    long long highest = 0;
    // The axis lists its first category at the bottom: the most frequent goes in last.
    for (auto it = top.rbegin(); it != top.rend(); ++it) {
        entries << logText(it->entry);
        m_counts->append(static_cast<qreal>(it->count));
        highest = std::max(highest, it->count);
    }
    m_entries->setCategories(entries);
    // Room beyond the longest bar for its value.
    fitCounts(m_values, static_cast<double>(highest) * 1.1);
}

} // namespace mv::gui
