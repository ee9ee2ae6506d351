#include "gui/stats/StatisticsExport.h"

#include <QAbstractItemModel>
#include <QGraphicsView>
#include <QPainter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSvgGenerator>

namespace mv::gui {

namespace {

QString csvField(QString text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString csvLine(const QStringList& fields) {
    QStringList quoted;
    for (const QString& f : fields)
        quoted << csvField(f);
    return quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

// ".svg" of "SVG picture (*.svg)"; empty for a filter naming no suffix.
QString suffixOf(const QString& filter) {
    static const QRegularExpression pattern(QStringLiteral(R"(\(\*(\.[^\s)]+))"));
    return pattern.match(filter).captured(1);
}

} // namespace

QString nameWithChosenSuffix(const QString& name, const QString& filters, const QString& chosen) {
    for (const QString& filter : filters.split(QStringLiteral(";;"))) {
        const QString suffix = suffixOf(filter);
        if (!suffix.isEmpty() && name.endsWith(suffix, Qt::CaseInsensitive)) return name;
    }
    return name + suffixOf(chosen);
}

bool writeCsv(const QAbstractItemModel& model, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    QStringList fields;
    for (int c = 0; c < model.columnCount(); ++c)
        fields << model.headerData(c, Qt::Horizontal).toString();
    file.write(csvLine(fields).toUtf8());
    for (int r = 0; r < model.rowCount(); ++r) {
        fields.clear();
        for (int c = 0; c < model.columnCount(); ++c)
            fields << model.data(model.index(r, c)).toString();
        file.write(csvLine(fields).toUtf8());
    }
    return file.commit();
}

bool renderChart(QGraphicsView& chart, QPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    painter.setRenderHint(QPainter::Antialiasing);
    chart.render(&painter);
    return true;
}

bool saveChartPicture(QGraphicsView& chart, const QString& path) {
    if (!path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive))
        return chart.grab().save(path, "PNG");
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(chart.size());
    svg.setViewBox(chart.rect());
    svg.setTitle(chart.window()->windowTitle());
    return renderChart(chart, svg);
}

} // namespace mv::gui
