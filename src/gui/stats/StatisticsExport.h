#pragma once
// What the statistics window hands out for the user's own records: a table as CSV, a chart as a
// PNG or SVG picture, a chart on paper.
#include <QString>

class QAbstractItemModel;
class QGraphicsView;
class QPaintDevice;

namespace mv::gui {

// Every row of the model with its headings first; fields holding a comma, a quote or a line end
// are quoted. False when the file could not be written (it is then left as it was).
bool writeCsv(const QAbstractItemModel& model, const QString& path);
// The name to write under: as typed when it ends in a suffix one of `filters` offers, else with
// the suffix of the `chosen` filter added, since the file dialog adds none of its own.
QString nameWithChosenSuffix(const QString& name, const QString& filters, const QString& chosen);
// A picture of the chart as it is shown; SVG when the name ends in ".svg", else PNG.
bool saveChartPicture(QGraphicsView& chart, const QString& path);
// The chart scaled to fit the device, keeping its proportions; false when it cannot be painted on.
bool renderChart(QGraphicsView& chart, QPaintDevice& device);

} // namespace mv::gui
