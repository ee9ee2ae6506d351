// The statistics window over a log written by the check engine's log writer: every page shows the
// figures mailvane-cli gives for the same log, filter and range; the filter waits for Redraw; each
// line page's check boxes and slider act on that page only; tables sort, print and export.
#include "gui/stats/StatisticsWindow.h"
#include "gui/stats/StatisticsExport.h"
#include "gui/stats/StatsTestSupport.h"
#include "gui/widgets/FileDialog.h"
#include "gui/widgets/MessageBox.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QDir>
#include <QFrame>
#include <QHorizontalBarSeries>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QPieSeries>
#include <QPieSlice>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSlider>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>
#include <fstream>
#include <map>

namespace mv {
namespace {

using gui::StatisticsPage;
using gui::StatisticsWindow;
using test::child;
using test::whenModal;

class FailOnError : public LogReadListener {
public:
    void showError(std::string_view text) override { ADD_FAILURE() << text; }
};

// The JSON key of each series' figure.
const std::map<QString, QString> kFigureKeys{
    {QStringLiteral("Number Found"), QStringLiteral("found")},
    {QStringLiteral("Number Deleted"), QStringLiteral("deleted")},
    {QStringLiteral("E-mail Check"), QStringLiteral("checks")}};
const std::map<QString, QString> kDayKeys{
    {QStringLiteral("Number Found"), QStringLiteral("foundByDay")},
    {QStringLiteral("Number Deleted"), QStringLiteral("deletedByDay")},
    {QStringLiteral("E-mail Check"), QStringLiteral("checksByDay")}};

QChart* chartOf(QWidget* window, const char* name) {
    return child<QChartView>(window, name)->chart();
}

QLineSeries* line(QWidget* window, const char* chart, const QString& name) {
    for (QAbstractSeries* s : chartOf(window, chart)->series())
        if (s->name() == name) return qobject_cast<QLineSeries*>(s);
    ADD_FAILURE() << chart << " has no series " << name.toStdString();
    return nullptr;
}

QAbstractItemModel* table(QWidget* window, const char* name) {
    return child<QTableView>(window, name)->model();
}

QString cell(QAbstractItemModel* model, int row, int column) {
    return model->data(model->index(row, column)).toString();
}

long long total(const QJsonArray& rows, const QString& key) {
    long long sum = 0;
    for (const QJsonValue& r : rows)
        sum += r[key].toInteger();
    return sum;
}

void expectWeekdays(QWidget* w, const QJsonArray& days) {
    QChart* chart = chartOf(w, "chartWeekday");
    auto* axis = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Horizontal).at(0));
    ASSERT_EQ(axis->categories().size(), days.size());
    for (qsizetype d = 0; d < days.size(); ++d)
        EXPECT_EQ(axis->categories()[d], days[d][QStringLiteral("label")].toString());
    auto* bars = qobject_cast<QBarSeries*>(chart->series().at(0));
    ASSERT_EQ(bars->count(), 3);
    for (QBarSet* set : bars->barSets())
        for (qsizetype d = 0; d < days.size(); ++d)
            EXPECT_EQ(set->at(d), days[d][kFigureKeys.at(set->label())].toInteger())
                << set->label().toStdString() << " " << d;
}

void expectHalfHours(QWidget* w, const QJsonArray& halfHours) {
    auto* axis = qobject_cast<QCategoryAxis*>(chartOf(w, "chartHour")->axes(Qt::Horizontal).at(0));
    QStringList labels;
    for (const QJsonValue& h : halfHours)
        labels << h[QStringLiteral("label")].toString();
    EXPECT_EQ(axis->categoriesLabels(), labels);
    for (const auto& [name, key] : kFigureKeys) {
        const QList<QPointF> points = line(w, "chartHour", name)->points();
        ASSERT_EQ(points.size(), halfHours.size());
        for (qsizetype s = 0; s < points.size(); ++s) {
            EXPECT_EQ(points[s].x(), static_cast<double>(s));
            EXPECT_EQ(points[s].y(), halfHours[s][key].toInteger()) << name.toStdString() << s;
        }
    }
}

void expectDays(QWidget* w, const QJsonObject& json) {
    for (const auto& [name, key] : kDayKeys) {
        QStringList shown, expected;
        for (QPointF p : line(w, "chartDay", name)->points())
            shown << QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(p.x()))
                             .date()
                             .toString(Qt::ISODate) +
                         QLatin1Char('=') + QString::number(p.y());
        for (const QJsonValue& p : json[key].toArray())
            expected << p[QStringLiteral("date")].toString() + QLatin1Char('=') +
                            QString::number(p[QStringLiteral("value")].toInteger());
        EXPECT_EQ(shown, expected) << name.toStdString();
    }
}

void expectShares(QWidget* w, const QJsonObject& share) {
    auto* pie = qobject_cast<QPieSeries*>(chartOf(w, "chartDeleted")->series().at(0));
    const long long normal = share[QStringLiteral("normal")].toInteger();
    const long long deleted = share[QStringLiteral("deleted")].toInteger();
    ASSERT_EQ(pie->count(), 2);
    EXPECT_EQ(pie->slices()[0]->value(), normal);
    EXPECT_EQ(pie->slices()[1]->value(), deleted);
    EXPECT_EQ(pie->slices()[0]->label(),
              QStringLiteral("Normal E-mail ") + gui::percentLabel(normal, normal + deleted));
    EXPECT_EQ(pie->slices()[1]->label(),
              QStringLiteral("Spam Deleted ") + gui::percentLabel(deleted, normal + deleted));
}

// The bars from the top down, as "entry=count".
void expectTopTen(QWidget* w, const char* chartName, const QJsonArray& top) {
    QChart* chart = chartOf(w, chartName);
    auto* axis = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Vertical).at(0));
    auto* set = qobject_cast<QHorizontalBarSeries*>(chart->series().at(0))->barSets().at(0);
    QStringList shown, expected;
    for (qsizetype i = axis->count() - 1; i >= 0; --i)
        shown << axis->categories()[i] + QLatin1Char('=') + QString::number(set->at(i));
    for (const QJsonValue& e : top)
        expected << e[QStringLiteral("entry")].toString() + QLatin1Char('=') +
                        QString::number(e[QStringLiteral("count")].toInteger());
    EXPECT_EQ(shown, expected) << chartName;
}

void expectTables(QWidget* w, const QJsonObject& json) {
    const QJsonArray days = json[QStringLiteral("dayOfWeek")].toArray();
    QAbstractItemModel* traffic = table(w, "gridTraffic");
    ASSERT_EQ(traffic->rowCount(), total(days, QStringLiteral("checks")));
    long long found = 0;
    for (int r = 0; r < traffic->rowCount(); ++r)
        found += cell(traffic, r, 4).toLongLong();
    EXPECT_EQ(found, total(days, QStringLiteral("found")));
    QAbstractItemModel* deleted = table(w, "gridDeleted");
    ASSERT_EQ(deleted->rowCount(), total(days, QStringLiteral("deleted")));
    // The most frequent spammer's rows are as many as its bar says.
    const QJsonArray spammers = json[QStringLiteral("topSpammers")].toArray();
    if (spammers.isEmpty()) return;
    const QString first = spammers[0][QStringLiteral("entry")].toString();
    int rows = 0;
    for (int r = 0; r < deleted->rowCount(); ++r)
        rows += cell(deleted, r, 5) == first ? 1 : 0;
    EXPECT_EQ(rows, spammers[0][QStringLiteral("count")].toInteger());
}

void expectPagesShow(QWidget* w, const QJsonObject& json) {
    EXPECT_EQ(child<QLabel>(w, "lbHeading")->text(), json[QStringLiteral("heading")].toString());
    expectWeekdays(w, json[QStringLiteral("dayOfWeek")].toArray());
    expectHalfHours(w, json[QStringLiteral("hourOfDay")].toArray());
    expectDays(w, json);
    expectShares(w, json[QStringLiteral("deletedShare")].toObject());
    expectTopTen(w, "chartDomains", json[QStringLiteral("topDomains")].toArray());
    expectTopTen(w, "chartSpammers", json[QStringLiteral("topSpammers")].toArray());
    expectTables(w, json);
}

void click(QWidget* w, const char* button) {
    QTest::mouseClick(child<QPushButton>(w, button), Qt::LeftButton);
}

// The date range dialog, answered from inside its event loop.
void chooseRange(QWidget* w, std::function<void(QWidget*)> choose) {
    whenModal([choose](QWidget* dialog) {
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Select Date Range"));
        choose(dialog);
        click(dialog, "btOK");
    });
    click(w, "btDateRange");
}

void previous(QWidget* dialog, const char* option, const char* field, int n) {
    child<QRadioButton>(dialog, option)->click();
    child<QSpinBox>(dialog, field)->setValue(n);
}

void selectMailbox(QWidget* w, const QString& name) {
    child<QComboBox>(w, "cbMailbox")->setCurrentText(name);
}

class StatisticsWindowTest : public test::StatsLogTest {
protected:
    StatisticsWindowTest() {
        FailOnError listener;
        EXPECT_TRUE(m_stats.readInLogFile(m_log, listener));
    }
    ActivityStatistics m_stats{m_regional, m_clock};
};

TEST_F(StatisticsWindowTest, EveryPageShowsTheCommandLineFigures) {
    struct Case {
        const char* name;
        std::vector<std::string> options;
        std::function<void(QWidget*)> choose;
    };
    const Case cases[] = {
        {"whole log", {}, [](QWidget*) {}},
        {"one mailbox",
         {"--mailbox", "mary.smith"},
         [](QWidget* w) {
             selectMailbox(w, QStringLiteral("mary.smith"));
             click(w, "btPlot");
         }},
        {"previous 7 days",
         {"--days", "7"},
         [](QWidget* w) {
             chooseRange(w, [](QWidget* d) { previous(d, "rbDays", "seDays", 7); });
         }},
        {"previous 2 months",
         {"--months", "2"},
         [](QWidget* w) {
             chooseRange(w, [](QWidget* d) { previous(d, "rbMonths", "seMonths", 2); });
         }},
        {"between two dates",
         {"--from", "4/10/2024", "--to", "5/5/2024"},
         [](QWidget* w) {
             chooseRange(w, [](QWidget* d) {
                 child<QRadioButton>(d, "rbBetween")->click();
                 child<QDateEdit>(d, "dtFirst")->setDate(QDate(2024, 4, 10));
                 child<QDateEdit>(d, "dtSecond")->setDate(QDate(2024, 5, 5));
             });
         }},
        {"a mailbox over a new range",
         {"--mailbox", "office", "--days", "30"},
         [](QWidget* w) {
             selectMailbox(w, QStringLiteral("office"));
             chooseRange(w, [](QWidget* d) { previous(d, "rbDays", "seDays", 30); });
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StatisticsWindow window(m_stats, m_clock);
        c.choose(&window);
        expectPagesShow(&window, cliFigures(c.options));
    }
}

TEST_F(StatisticsWindowTest, OpensOnSpamDeletedWithEightPagesInOrder) {
    StatisticsWindow window(m_stats, m_clock);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Chart of Activity"));
    auto* pages = child<QTabWidget>(&window, "pcPages");
    QStringList titles;
    for (int p = 0; p < pages->count(); ++p)
        titles << pages->tabText(p);
    EXPECT_EQ(titles, QStringList({"Day of week", "Hour of day", "Day by day", "% Deleted",
                                   "Top 10 Spam Domains", "Top 10 Spammers", "Email traffic",
                                   "Spam Deleted"}));
    EXPECT_EQ(pages->tabText(pages->currentIndex()), QStringLiteral("Spam Deleted"));
    QStringList mailboxes;
    auto* filter = child<QComboBox>(&window, "cbMailbox");
    for (int i = 0; i < filter->count(); ++i)
        mailboxes << filter->itemText(i);
    EXPECT_EQ(mailboxes, QStringList({"All mailboxes", "john", "mary.smith", "office"}));
}

TEST_F(StatisticsWindowTest, PreviousSevenDaysKeepsTheLastWeekAndTodayAndNamesBothDates) {
    StatisticsWindow window(m_stats, m_clock);
    chooseRange(&window, [](QWidget* d) { previous(d, "rbDays", "seDays", 7); });
    EXPECT_EQ(child<QLabel>(&window, "lbHeading")->text(),
              QStringLiteral("All mailboxes from 6/13/2024 thru 6/20/2024"));
    for (const char* grid : {"gridTraffic", "gridDeleted"}) {
        QSet<QString> dates;
        QAbstractItemModel* model = table(&window, grid);
        for (int r = 0; r < model->rowCount(); ++r)
            dates << cell(model, r, 0);
        EXPECT_EQ(dates, QSet<QString>({"6/13/2024", "6/14/2024", "6/15/2024", "6/16/2024",
                                        "6/17/2024", "6/18/2024", "6/19/2024", "6/20/2024"}))
            << grid;
    }
    // The dialog keeps its choice for the next showing.
    whenModal([](QWidget* d) {
        EXPECT_TRUE(child<QRadioButton>(d, "rbDays")->isChecked());
        EXPECT_EQ(child<QSpinBox>(d, "seDays")->value(), 7);
        EXPECT_FALSE(child<QDateEdit>(d, "dtFirst")->isEnabled());
        click(d, "btCancel");
    });
    click(&window, "btDateRange");
    EXPECT_EQ(child<QLabel>(&window, "lbHeading")->text(),
              QStringLiteral("All mailboxes from 6/13/2024 thru 6/20/2024"));
}

TEST_F(StatisticsWindowTest, MailboxFilterWaitsForRedraw) {
    StatisticsWindow window(m_stats, m_clock);
    QAbstractItemModel* traffic = table(&window, "gridTraffic");
    const int allRows = traffic->rowCount();
    const QString heading = child<QLabel>(&window, "lbHeading")->text();
    auto* bars = qobject_cast<QBarSeries*>(chartOf(&window, "chartWeekday")->series().at(0));
    const qreal mondayChecks = bars->barSets().at(2)->at(1);

    selectMailbox(&window, QStringLiteral("office"));
    EXPECT_EQ(traffic->rowCount(), allRows);
    EXPECT_EQ(child<QLabel>(&window, "lbHeading")->text(), heading);
    EXPECT_EQ(bars->barSets().at(2)->at(1), mondayChecks);

    click(&window, "btPlot");
    EXPECT_TRUE(
        child<QLabel>(&window, "lbHeading")->text().startsWith(QStringLiteral("office from ")));
    ASSERT_GT(traffic->rowCount(), 0);
    EXPECT_LT(traffic->rowCount(), allRows);
    for (int r = 0; r < traffic->rowCount(); ++r)
        EXPECT_EQ(cell(traffic, r, 3), QStringLiteral("office"));
    EXPECT_LT(bars->barSets().at(2)->at(1), mondayChecks);
}

TEST_F(StatisticsWindowTest, CheckBoxesAndDepthActOnTheirOwnPageOnly) {
    StatisticsWindow window(m_stats, m_clock);
    const QString check = QStringLiteral("E-mail Check");
    child<QCheckBox>(&window, "cbCheckedHour")->click();
    EXPECT_FALSE(line(&window, "chartHour", check)->isVisible());
    EXPECT_TRUE(line(&window, "chartHour", QStringLiteral("Number Found"))->isVisible());
    EXPECT_TRUE(line(&window, "chartHour", QStringLiteral("Number Deleted"))->isVisible());
    EXPECT_TRUE(line(&window, "chartDay", check)->isVisible());
    // A redraw keeps what the user switched off.
    click(&window, "btPlot");
    EXPECT_FALSE(line(&window, "chartHour", check)->isVisible());
    child<QCheckBox>(&window, "cbCheckedHour")->click();
    EXPECT_TRUE(line(&window, "chartHour", check)->isVisible());

    auto* depth = child<QSlider>(&window, "sbTime");
    EXPECT_EQ(depth->minimum(), 5);
    EXPECT_EQ(depth->maximum(), 70);
    EXPECT_EQ(depth->value(), 5);
    const qreal flat = line(&window, "chartDay", check)->pen().widthF();
    depth->setValue(70);
    EXPECT_GT(line(&window, "chartHour", check)->pen().widthF(), flat);
    EXPECT_EQ(line(&window, "chartDay", check)->pen().widthF(), flat);
}

TEST_F(StatisticsWindowTest, MouseZoomsScrollsAndResetsTheHourChart) {
    StatisticsWindow window(m_stats, m_clock);
    window.showPage(StatisticsPage::HourOfDay);
    window.show();
    auto* view = child<QChartView>(&window, "chartHour");
    auto* slotAxis = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Horizontal).at(0));
    const QRectF plot = view->chart()->plotArea();
    auto at = [&](double fx, double fy) {
        return view->mapFromScene(view->chart()->mapToScene(
            QPointF(plot.left() + fx * plot.width(), plot.top() + fy * plot.height())));
    };
    auto drag = [&](Qt::MouseButton button, QPoint from, QPoint to) {
        QTest::mousePress(view->viewport(), button, {}, from);
        QTest::mouseMove(view->viewport(), (from + to) / 2);
        QTest::mouseMove(view->viewport(), to);
        QTest::mouseRelease(view->viewport(), button, {}, to);
    };
    const double fullMin = slotAxis->min(), fullMax = slotAxis->max();

    drag(Qt::LeftButton, at(0.25, 0.2), at(0.5, 0.8)); // upper left to lower right: zoom
    EXPECT_NEAR(slotAxis->min(), fullMin + 0.25 * (fullMax - fullMin), 1.0);
    EXPECT_NEAR(slotAxis->max(), fullMin + 0.5 * (fullMax - fullMin), 1.0);

    const double zoomedMin = slotAxis->min(), width = slotAxis->max() - slotAxis->min();
    drag(Qt::RightButton, at(0.6, 0.5), at(0.4, 0.5)); // moves the graph left: later slotAxis show
    EXPECT_GT(slotAxis->min(), zoomedMin);
    EXPECT_NEAR(slotAxis->max() - slotAxis->min(), width, 1e-6);

    drag(Qt::LeftButton, at(0.8, 0.8), at(0.2, 0.2)); // lower right to upper left: reset
    EXPECT_DOUBLE_EQ(slotAxis->min(), fullMin);
    EXPECT_DOUBLE_EQ(slotAxis->max(), fullMax);
}

TEST_F(StatisticsWindowTest, DayByDayDatesStepByWeeks) {
    StatisticsWindow window(m_stats, m_clock);
    auto* dates =
        qobject_cast<QDateTimeAxis*>(chartOf(&window, "chartDay")->axes(Qt::Horizontal).at(0));
    EXPECT_EQ(dates->format(), QStringLiteral("dd/MMM/yy"));
    EXPECT_EQ(dates->min().date(), QDate(2024, 3, 1));
    const qint64 days = dates->min().date().daysTo(dates->max().date());
    EXPECT_GE(dates->max().date(), QDate(2024, 6, 20));
    EXPECT_EQ(days % 7, 0);
    EXPECT_EQ(dates->tickCount() - 1, days / 7); // sixteen weeks: one label a week
}

TEST_F(StatisticsWindowTest, LogWithoutEntriesOpensWithEmptyPages) {
    const auto empty = m_cli.home() / "empty.txt";
    std::ofstream(empty) << "AUTOMATIC MODE ENABLED on Thu 6/20/2024 8:00 AM\r\n";
    ActivityStatistics stats(m_regional, m_clock);
    FailOnError listener;
    ASSERT_TRUE(stats.readInLogFile(empty, listener));
    StatisticsWindow window(stats, m_clock);
    window.show();
    for (int page = 0; page < 8; ++page) {
        window.showPage(static_cast<StatisticsPage>(page));
        EXPECT_FALSE(window.grab().isNull());
    }
    EXPECT_EQ(table(&window, "gridTraffic")->rowCount(), 0);
    EXPECT_EQ(table(&window, "gridDeleted")->rowCount(), 0);
    auto* pie = qobject_cast<QPieSeries*>(chartOf(&window, "chartDeleted")->series().at(0));
    EXPECT_EQ(pie->slices()[0]->label(), QStringLiteral("Normal E-mail 0 %"));
    auto* dates =
        qobject_cast<QDateTimeAxis*>(chartOf(&window, "chartDay")->axes(Qt::Horizontal).at(0));
    EXPECT_EQ(dates->max().date(), QDate(2024, 6, 20));
    EXPECT_EQ(dates->min().date(), QDate(2024, 6, 13));
}

// Column values from top to bottom as the given reading of their texts.
template <class Read> auto columnValues(QAbstractItemModel* model, int column, Read read) {
    std::vector<decltype(read(QString()))> values;
    for (int r = 0; r < model->rowCount(); ++r)
        values.push_back(read(cell(model, r, column)));
    return values;
}

TEST_F(StatisticsWindowTest, TablesSortNumbersAsNumbersAndDatesAsDates) {
    StatisticsWindow window(m_stats, m_clock);
    auto date = [](const QString& t) { return QDate::fromString(t, QStringLiteral("M/d/yyyy")); };
    auto number = [](const QString& t) { return t.toLongLong(); };
    struct Case {
        const char* grid;
        int column;
        Qt::SortOrder order;
    };
    for (const Case& c :
         {Case{"gridDeleted", 4, Qt::AscendingOrder}, Case{"gridDeleted", 4, Qt::DescendingOrder},
          Case{"gridTraffic", 4, Qt::AscendingOrder}, Case{"gridTraffic", 0, Qt::AscendingOrder},
          Case{"gridDeleted", 0, Qt::DescendingOrder}}) {
        SCOPED_TRACE(std::string(c.grid) + " column " + std::to_string(c.column));
        auto* view = child<QTableView>(&window, c.grid);
        view->sortByColumn(c.column, c.order);
        auto check = [&](auto values) {
            auto sorted = values;
            if (c.order == Qt::AscendingOrder)
                std::stable_sort(sorted.begin(), sorted.end());
            else
                std::stable_sort(sorted.begin(), sorted.end(),
                                 [](auto a, auto b) { return b < a; });
            EXPECT_EQ(values, sorted);
        };
        if (c.column == 0)
            check(columnValues(view->model(), 0, date));
        else
            check(columnValues(view->model(), c.column, number));
    }
    // The chosen order survives a redraw.
    click(&window, "btPlot");
    auto dates = columnValues(table(&window, "gridDeleted"), 0, date);
    EXPECT_TRUE(std::is_sorted(dates.rbegin(), dates.rend()));
}

QString pdfText(const QString& file) {
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-layout"), file, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(30000)) return {};
    // Compatibility form: the "ffi" of "traffic" may come back as one ligature character.
    return QString::fromUtf8(pdftotext.readAllStandardOutput())
        .normalized(QString::NormalizationForm_KC);
}

TEST_F(StatisticsWindowTest, PrintsTheShownTableToPdf) {
    StatisticsWindow window(m_stats, m_clock);
    QTemporaryDir dir;
    struct Case {
        StatisticsPage page;
        const char* grid;
        QString title;
    };
    for (const Case& c :
         {Case{StatisticsPage::Traffic, "gridTraffic", QStringLiteral("E-mail traffic")},
          Case{StatisticsPage::SpamDeleted, "gridDeleted", QStringLiteral("Deleted Spam")}}) {
        SCOPED_TRACE(c.grid);
        window.showPage(c.page);
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("%1.pdf").arg(c.grid)));
        ASSERT_TRUE(window.printShownTable(printer));
        EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
        const QString text = pdfText(printer.outputFileName());
        if (text.isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
        EXPECT_TRUE(text.contains(c.title));
        EXPECT_TRUE(text.contains(QLocale().toString(QDate::currentDate(), QLocale::ShortFormat)));
        EXPECT_TRUE(text.contains(QStringLiteral("Page 1")));
        QAbstractItemModel* model = table(&window, c.grid);
        for (int r : {0, model->rowCount() - 1}) {
            const QString row = cell(model, r, 0) + QStringLiteral(" +") + cell(model, r, 1);
            EXPECT_TRUE(text.contains(QRegularExpression(row))) << row.toStdString();
        }
    }
    window.showPage(StatisticsPage::HourOfDay);
    QPrinter printer;
    EXPECT_FALSE(window.printShownTable(printer));
}

TEST_F(StatisticsWindowTest, ChartPagesPrintThroughAPreviewOfTheirChart) {
    StatisticsWindow window(m_stats, m_clock);
    window.show();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("hours.pdf"));
    window.showPage(StatisticsPage::HourOfDay);
    QString shown;
    whenModal([&](QWidget* preview) {
        shown = QString::fromLatin1(preview->metaObject()->className());
        // What the preview shows is what its printer prints.
        auto* dialog = static_cast<QPrintPreviewDialog*>(preview);
        dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
        dialog->printer()->setOutputFileName(file);
        emit dialog->paintRequested(dialog->printer());
        dialog->reject();
    });
    click(&window, "btPrint");
    EXPECT_EQ(shown, QStringLiteral("QPrintPreviewDialog"));
    const QString text = pdfText(file);
    if (text.isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    for (const char* word : {"Frequency", "Number Found", "E-mail Check", "11:30 PM"})
        EXPECT_TRUE(text.contains(QString::fromLatin1(word))) << word;
}

TEST_F(StatisticsWindowTest, ExportsTheShownTableAsCsv) {
    StatisticsWindow window(m_stats, m_clock);
    window.show();
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("deleted.csv"));
    gui::FileDialog::queueFileName(csv);
    click(&window, "btExport");
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines =
        QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QAbstractItemModel* deleted = table(&window, "gridDeleted");
    ASSERT_EQ(lines.size(), deleted->rowCount() + 1);
    EXPECT_EQ(lines[0], QStringLiteral("Date,Time,Server,Mailbox,Size,Sender,Domain"));
    QStringList first;
    for (int c = 0; c < 7; ++c)
        first << cell(deleted, 0, c);
    EXPECT_EQ(lines[1], first.join(QLatin1Char(',')));
}

// What landed on disk: "csv", "png", "svg", or empty when nothing readable did.
std::string formatOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    if (QImage image; image.loadFromData(bytes, "PNG") && image.width() > 100) return "png";
    if (bytes.contains("<svg")) return "svg";
    if (bytes.startsWith("Date,")) return "csv";
    return {};
}

TEST_F(StatisticsWindowTest, ExportWritesTheChosenTypeAndAddsItsSuffixToABareName) {
    StatisticsWindow window(m_stats, m_clock);
    window.show();
    const char* csv = "CSV files (*.csv)";
    const char* png = "PNG picture (*.png)";
    const char* svg = "SVG picture (*.svg)";
    gui::MessageBox::takeShown(); // only this test's boxes count
    struct Case {
        StatisticsPage page;
        const char* typed;
        const char* chosen; // nullptr: the dialog's first type left as it was
        const char* written;
        const char* format;
    };
    const Case cases[] = {
        {StatisticsPage::SpamDeleted, "deleted", csv, "deleted.csv", "csv"},
        {StatisticsPage::Traffic, "traffic", nullptr, "traffic.csv", "csv"},
        {StatisticsPage::Traffic, "traffic.CSV", csv, "traffic.CSV", "csv"},
        {StatisticsPage::SpamDeleted, "june.2024", csv, "june.2024.csv", "csv"},
        {StatisticsPage::HourOfDay, "hours", svg, "hours.svg", "svg"},
        {StatisticsPage::HourOfDay, "hours", png, "hours.png", "png"},
        {StatisticsPage::DayOfWeek, "days", nullptr, "days.png", "png"},
        {StatisticsPage::HourOfDay, "hours.png", png, "hours.png", "png"},
        {StatisticsPage::DayByDay, "byday.svg", svg, "byday.svg", "svg"},
        // A suffix typed for one of the offered types is the user's word over the list.
        {StatisticsPage::DayByDay, "typed.svg", png, "typed.svg", "svg"},
        {StatisticsPage::TopDomains, "typed.PNG", svg, "typed.PNG", "png"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " as " + (c.chosen ? c.chosen : "the first type"));
        QTemporaryDir dir;
        window.showPage(c.page);
        gui::FileDialog::queueFileName(dir.filePath(QString::fromLatin1(c.typed)),
                                       c.chosen ? QString::fromLatin1(c.chosen) : QString());
        click(&window, "btExport");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
                  QStringList{QString::fromLatin1(c.written)});
        EXPECT_EQ(formatOf(dir.filePath(QString::fromLatin1(c.written))), c.format);
    }
    EXPECT_TRUE(gui::MessageBox::takeShown().isEmpty());
}

TEST(StatisticsCharts, PieLabelsShowWholePercentRoundedHalfUp) {
    const struct {
        long long part, whole;
        const char* label;
    } cases[] = {
        {2, 3, "67 %"},
        {1, 3, "33 %"},
        {0, 0, "0 %"},
        {0, 5, "0 %"},
        {3, 3, "100 %"},
        {1, 8, "13 %"},
        {3, 8, "38 %"},
        {1, 200, "1 %"},
        {199, 200, "100 %"},
        {1, 1000, "0 %"},
        {5'000'000'000, 10'000'000'000, "50 %"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(gui::percentLabel(c.part, c.whole), QString::fromLatin1(c.label))
            << c.part << " of " << c.whole;
}

TEST(StatisticsExport, CsvQuotesFieldsThatNeedIt) {
    QStandardItemModel model(1, 3);
    model.setHorizontalHeaderLabels({"Mailbox", "Sender", "Size"});
    model.setItem(0, 0, new QStandardItem(QStringLiteral("sales, \"eu\"")));
    model.setItem(0, 1, new QStandardItem(QStringLiteral("a@b.example")));
    model.setItem(0, 2, new QStandardItem(QStringLiteral("12")));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.csv"));
    ASSERT_TRUE(gui::writeCsv(model, path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              QByteArray("Mailbox,Sender,Size\r\n\"sales, \"\"eu\"\"\",a@b.example,12\r\n"));
    EXPECT_FALSE(gui::writeCsv(model, dir.filePath(QStringLiteral("no/such/folder/t.csv"))));
}

TEST_F(StatisticsWindowTest, HintsStandAtTheLowerRightUntilOk) {
    StatisticsWindow window(m_stats, m_clock);
    window.show();
    auto* hints = child<QFrame>(&window, "pnHints");
    EXPECT_FALSE(hints->isVisible());
    click(&window, "btHint");
    ASSERT_TRUE(hints->isVisible());
    EXPECT_EQ(hints->geometry().bottomRight(), QPoint(window.width() - 1, window.height() - 1));
    click(hints, "btOK");
    EXPECT_FALSE(hints->isVisible());
}

TEST_F(StatisticsWindowTest, CloseAndEscapeEndTheShowing) {
    StatisticsWindow window(m_stats, m_clock);
    window.show();
    click(&window, "btClose");
    EXPECT_FALSE(window.isVisible());
    window.show();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

} // namespace
} // namespace mv
