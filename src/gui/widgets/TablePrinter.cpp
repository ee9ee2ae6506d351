#include "gui/widgets/TablePrinter.h"

#include <QAbstractItemModel>
#include <QLocale>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>
#include <vector>

namespace mv::gui {
namespace {

// Column widths in proportion to the longest text of each column, at least a heading's width.
std::vector<int> columnWidths(const QAbstractItemModel& model, const QFontMetrics& metrics,
                              int pageWidth) {
    const int columns = model.columnCount();
    std::vector<int> natural(columns);
    for (int c = 0; c < columns; ++c) {
        int widest = metrics.horizontalAdvance(model.headerData(c, Qt::Horizontal).toString());
        for (int r = 0; r < model.rowCount(); ++r)
            widest = std::max(widest,
                              metrics.horizontalAdvance(model.index(r, c).data().toString()));
        natural[c] = widest + metrics.averageCharWidth() * 2;
    }
    int total = 0;
    for (int w : natural) total += w;
    if (total > pageWidth && total > 0)
        for (int& w : natural) w = w * pageWidth / total;
    return natural;
}

class PagePainter {
public:
    PagePainter(QPrinter& printer, QPainter& painter, const QString& title, const QDateTime& at)
        : m_printer(printer), m_painter(painter), m_title(title), m_at(at) {}

    // The page frame: title, date and time on top, page number below; returns the body's area.
    QRect startPage(int number) {
        if (number > 1) m_printer.newPage();
        const QRect page = m_painter.viewport();
        const int line = m_painter.fontMetrics().height();
        const QLocale locale;
        m_painter.drawText(QRect(page.left(), page.top(), page.width(), line), Qt::AlignLeft,
                           locale.toString(m_at.date(), QLocale::ShortFormat));
        m_painter.drawText(QRect(page.left(), page.top(), page.width(), line), Qt::AlignRight,
                           locale.toString(m_at.time(), QLocale::ShortFormat));
        QFont bold = m_painter.font();
        bold.setBold(true);
        m_painter.save();
        m_painter.setFont(bold);
        m_painter.drawText(QRect(page.left(), page.top(), page.width(), line), Qt::AlignHCenter,
                           m_title);
        m_painter.restore();
        m_painter.drawText(QRect(page.left(), page.bottom() - line, page.width(), line),
                           Qt::AlignRight, QStringLiteral("Page %1").arg(number));
        return page.adjusted(0, line * 2, 0, -line * 2);
    }

private:
    QPrinter& m_printer;
    QPainter& m_painter;
    QString m_title;
    QDateTime m_at;
};

void drawRow(QPainter& painter, const std::vector<int>& widths, int left, int top, int height,
             const QStringList& cells) {
    int x = left;
    for (std::size_t c = 0; c < widths.size(); ++c) {
        painter.drawText(QRect(x, top, widths[c], height), Qt::AlignLeft | Qt::AlignVCenter,
                         painter.fontMetrics().elidedText(cells.value(int(c)), Qt::ElideRight,
                                                          widths[c]));
        x += widths[c];
    }
}

QStringList rowTexts(const QAbstractItemModel& model, int row) {
    QStringList cells;
    for (int c = 0; c < model.columnCount(); ++c)
        cells << (row < 0 ? model.headerData(c, Qt::Horizontal).toString()
                          : model.index(row, c).data().toString());
    return cells;
}

} // namespace

void printTable(QPrinter& printer, const QString& title, const QAbstractItemModel& model,
                const QDateTime& printedAt) {
    QPainter painter(&printer);
    PagePainter pages(printer, painter, title, printedAt);
    const int line = painter.fontMetrics().height() * 5 / 4;
    const std::vector<int> widths =
        columnWidths(model, painter.fontMetrics(), painter.viewport().width());
    int pageNumber = 1;
    QRect body = pages.startPage(pageNumber);
    int y = body.top();
    auto heading = [&] {
        drawRow(painter, widths, body.left(), y, line, rowTexts(model, -1));
        y += line;
        painter.drawLine(body.left(), y, body.right(), y);
    };
    heading();
    for (int r = 0; r < model.rowCount(); ++r) {
        if (y + line > body.bottom()) {
            body = pages.startPage(++pageNumber);
            y = body.top();
            heading();
        }
        drawRow(painter, widths, body.left(), y, line, rowTexts(model, r));
        y += line;
    }
}

void printTableWithDialog(QWidget* parent, const QString& title, const QAbstractItemModel& model) {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() == QDialog::Accepted) printTable(printer, title, model);
}

} // namespace mv::gui
