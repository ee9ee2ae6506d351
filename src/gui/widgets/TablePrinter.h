#pragma once
// Prints a table (a rule table, a statistics table) over as many pages as it needs: the title at
// the top centre, the date at the top left, the time at the top right, the page number at the
// bottom right, the column headings at the top of every page.
#include <QDateTime>
#include <QString>

class QAbstractItemModel;
class QPrinter;
class QWidget;

namespace mv::gui {

// Prints every row and column of `model` as its display texts, headings from its header data.
void printTable(QPrinter& printer, const QString& title, const QAbstractItemModel& model,
                const QDateTime& printedAt = QDateTime::currentDateTime());
// The system print dialog (printing to a PDF file offered), then the table when confirmed.
void printTableWithDialog(QWidget* parent, const QString& title, const QAbstractItemModel& model);

} // namespace mv::gui
