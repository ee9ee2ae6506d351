// A table printed to a PDF file and read back with pdftotext: title, date, time, headings, every
// row and the page numbers of a table longer than one page.
#include "gui/widgets/TablePrinter.h"

#include <QPrinter>
#include <QProcess>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString pdfText(const QString& file) {
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(30000)) return {};
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

TEST(TablePrinter, PrintsTitleDateTimeRowsAndPageNumbers) {
    QStandardItemModel model(150, 2);
    model.setHorizontalHeaderLabels({QStringLiteral("Matches"), QStringLiteral("Hits")});
    for (int r = 0; r < model.rowCount(); ++r) {
        model.setItem(r, 0, new QStandardItem(QStringLiteral("keyword %1").arg(r)));
        model.setItem(r, 1, new QStandardItem(QString::number(r * 7)));
    }
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("table.pdf"));
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    const QDateTime at(QDate(2026, 12, 10), QTime(14, 5));
    mv::gui::printTable(printer, QStringLiteral("Mailvane - Sender Settings"), model, at);

    const QString text = pdfText(file);
    if (text.isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    EXPECT_TRUE(text.contains(QStringLiteral("Mailvane - Sender Settings")));
    EXPECT_TRUE(text.contains(QLocale().toString(at.date(), QLocale::ShortFormat)));
    EXPECT_TRUE(text.contains(QLocale().toString(at.time(), QLocale::ShortFormat)));
    EXPECT_TRUE(text.contains(QStringLiteral("Matches")));
    for (int r : {0, 73, 149}) EXPECT_TRUE(text.contains(QStringLiteral("keyword %1 ").arg(r))) << r;
    EXPECT_TRUE(text.contains(QStringLiteral("Page 1")));
    EXPECT_TRUE(text.contains(QStringLiteral("Page 3")));
    EXPECT_EQ(text.count(QStringLiteral("Mailvane - Sender Settings")), text.count(QChar('\f')));
}

} // namespace
