#include "gui/stats/StatisticsWindow.h"

#include "gui/stats/BusyCursor.h"
#include "gui/stats/ChartView.h"
#include "gui/stats/DateRangeDialog.h"
#include "gui/stats/StatisticsExport.h"
#include "gui/stats/StatsDates.h"
#include "gui/widgets/FileDialog.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/TablePrinter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace mv::gui {

namespace {

const QString kTrafficTitle = QStringLiteral("E-mail traffic");
const QString kDeletedTitle = QStringLiteral("Deleted Spam");
constexpr int kLeastDepth = 5, kMostDepth = 70;
constexpr int kMargin = 5;

QPushButton* button(const QString& name, const QString& text, const QString& hint = {}) {
    auto* b = new QPushButton(text);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setAutoDefault(false);
    return b;
}

template <class Model> QTableView* tableView(Model& model, const QString& name) {
    auto* view = new QTableView;
    view->setObjectName(name);
    view->setModel(&model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
    // Log order until the user picks a heading.
    view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    view->setSortingEnabled(true);
    // The widths are set for a font of 5 pixels a character; a larger font widens them alike.
    const double scale = std::max(1.0, view->fontMetrics().averageCharWidth() / 5.0);
    const auto& columns = Model::Layout::columns;
    for (std::size_t c = 0; c < columns.size(); ++c)
        view->horizontalHeader()->resizeSection(static_cast<int>(c),
                                                static_cast<int>(columns[c].width * scale));
    return view;
}

// Takes new records and keeps the order the user chose by a heading.
template <class Model, class Record>
void refill(Model& model, QTableView* view, std::vector<const Record*> records) {
    model.setRecords(std::move(records));
    const QHeaderView* header = view->horizontalHeader();
    if (header->sortIndicatorSection() >= 0)
        model.sort(header->sortIndicatorSection(), header->sortIndicatorOrder());
}

// The export's file name with the suffix of the type chosen in the dialog; empty on Cancel.
QString exportName(QWidget* parent, const QString& caption, const QString& filters) {
    QString chosen;
    const QString name = FileDialog::saveFileName(parent, caption, {}, filters, &chosen);
    return name.isEmpty() ? name : nameWithChosenSuffix(name, filters, chosen);
}

} // namespace

StatisticsWindow::StatisticsWindow(ActivityStatistics& stats, const Clock& clock, QWidget* parent)
    : QDialog(parent), m_stats(stats), m_heading(new QLabel), m_pages(new QTabWidget),
      m_hints(nullptr), m_rangeDialog(new DateRangeDialog(clock, this)) {
    setObjectName(QStringLiteral("TfrmChart"));
    setWindowTitle(QStringLiteral("Chart of Activity"));
    setSizeGripEnabled(true);
    m_heading->setObjectName(QStringLiteral("lbHeading"));
    m_heading->setAlignment(Qt::AlignCenter);
    QFont bold = m_heading->font();
    bold.setBold(true);
    m_heading->setFont(bold);
    m_pages->setObjectName(QStringLiteral("pcPages"));
    buildPages();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->addWidget(m_heading);
    layout->addWidget(m_pages, 1);
    layout->addWidget(buildButtonBar());
    m_hints = buildHints();
    resize(800, 580);

    redraw();
    showPage(StatisticsPage::SpamDeleted);
}

void StatisticsWindow::buildPages() {
    m_pages->addTab(new ChartView(m_weekday.chart(), QStringLiteral("chartWeekday")),
                    QStringLiteral("Day of week"));
    m_pages->addTab(linePage(m_hour, QStringLiteral("chartHour"), QStringLiteral("sbTime"),
                             QStringLiteral("Hour")),
                    QStringLiteral("Hour of day"));
    m_pages->addTab(linePage(m_day, QStringLiteral("chartDay"), QStringLiteral("sbDayDay"), {}),
                    QStringLiteral("Day by day"));
    m_pages->addTab(new ChartView(m_share.chart(), QStringLiteral("chartDeleted")),
                    QStringLiteral("% Deleted"));
    m_pages->addTab(new ChartView(m_domains.chart(), QStringLiteral("chartDomains")),
                    QStringLiteral("Top 10 Spam Domains"));
    m_pages->addTab(new ChartView(m_spammers.chart(), QStringLiteral("chartSpammers")),
                    QStringLiteral("Top 10 Spammers"));
    m_trafficView = tableView(m_traffic, QStringLiteral("gridTraffic"));
    m_pages->addTab(m_trafficView, QStringLiteral("Email traffic"));
    m_deletedView = tableView(m_deleted, QStringLiteral("gridDeleted"));
    m_pages->addTab(m_deletedView, QStringLiteral("Spam Deleted"));
}

// A line chart with its depth slider and its three check boxes on one line below it: the slider
// 5 pixels from the left edge and 4 above the bottom, each box 5 pixels right of the one before.
QWidget* StatisticsWindow::linePage(FigureLines& lines, const QString& chartName,
                                    const QString& sliderName, const QString& boxSuffix) {
    auto* page = new QWidget;
    auto* depth = new QSlider(Qt::Horizontal);
    depth->setObjectName(sliderName);
    depth->setRange(kLeastDepth, kMostDepth);
    depth->setValue(kLeastDepth);
    depth->setFixedWidth(150);
    depth->setToolTip(QStringLiteral("Depth"));
    connect(depth, &QSlider::valueChanged, this, [&lines](int value) { lines.setDepth(value); });
    lines.setDepth(kLeastDepth);

    auto* controls = new QHBoxLayout;
    controls->setContentsMargins(kMargin, 0, kMargin, 4);
    controls->setSpacing(kMargin);
    controls->addWidget(depth);
    const std::array<QString, 3> texts{QStringLiteral("Found"), QStringLiteral("Deleted"),
                                       QStringLiteral("Checked")};
    for (Figure f : kFigures) {
        const QString& text = texts[static_cast<std::size_t>(f)];
        auto* box = new QCheckBox(text);
        box->setObjectName(QStringLiteral("cb") + text + boxSuffix);
        box->setChecked(true);
        QLineSeries* series = lines.series(f);
        connect(box, &QCheckBox::toggled, this, [series](bool on) { series->setVisible(on); });
        controls->addWidget(box);
    }
    controls->addStretch();

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new ChartView(lines.chart(), chartName), 1);
    layout->addLayout(controls);
    return page;
}

// "&Select :" with the filter list and the buttons; Close keeps 5 pixels to the right edge, Print
// and Hints 5 pixels apart to its left.
QWidget* StatisticsWindow::buildButtonBar() {
    auto* bar = new QWidget;
    bar->setObjectName(QStringLiteral("Panel1"));
    m_mailbox = new QComboBox;
    m_mailbox->setObjectName(QStringLiteral("cbMailbox"));
    for (const std::string& name : m_stats.mailboxes())
        m_mailbox->addItem(logText(name));
    auto* select = new QLabel(QStringLiteral("&Select :"));
    select->setBuddy(m_mailbox);

    QPushButton* redraw = button(QStringLiteral("btPlot"), QStringLiteral("Redraw"),
                                 QStringLiteral("Click here after changing the mailbox to view"));
    QPushButton* range = button(QStringLiteral("btDateRange"), QStringLiteral("Date Range"));
    QPushButton* exportShown = button(QStringLiteral("btExport"), QStringLiteral("Export"),
                                      QStringLiteral("Save this page as a file"));
    QPushButton* hints = button(QStringLiteral("btHint"), QStringLiteral("Hints"),
                                QStringLiteral("Hints on graph scroll/zoom"));
    QPushButton* print = button(QStringLiteral("btPrint"), QStringLiteral("Print"),
                                QStringLiteral("Print this page"));
    QPushButton* close = button(QStringLiteral("btClose"), QStringLiteral("Close"),
                                QStringLiteral("Return to Mailvane"));
    connect(redraw, &QPushButton::clicked, this, &StatisticsWindow::redraw);
    connect(range, &QPushButton::clicked, this, &StatisticsWindow::chooseDateRange);
    connect(exportShown, &QPushButton::clicked, this, &StatisticsWindow::exportShown);
    connect(hints, &QPushButton::clicked, this, &StatisticsWindow::placeHints);
    connect(print, &QPushButton::clicked, this, &StatisticsWindow::print);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kMargin);
    layout->addWidget(select);
    layout->addWidget(m_mailbox);
    layout->addWidget(redraw);
    layout->addWidget(range);
    layout->addWidget(exportShown);
    layout->addStretch();
    layout->addWidget(hints);
    layout->addWidget(print);
    layout->addWidget(close);
    return bar;
}

QFrame* StatisticsWindow::buildHints() {
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("pnHints"));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(panel);
    auto* title = new QLabel(QStringLiteral("Graph Zoom/Navigation Hints"));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);
    for (const char* line : {"Left click and drag mouse from upper left to lower right to zoom",
                             "Right click and drag mouse to move graph",
                             "Left click and drag mouse from lower right to upper left to reset"})
        layout->addWidget(new QLabel(QString::fromLatin1(line)));
    QPushButton* ok = button(QStringLiteral("btOK"), QStringLiteral("OK"));
    connect(ok, &QPushButton::clicked, panel, &QWidget::hide);
    layout->addWidget(ok, 0, Qt::AlignRight);
    panel->adjustSize();
    panel->hide();
    return panel;
}

// The hints stand in the window's lower right corner.
void StatisticsWindow::placeHints() {
    m_hints->adjustSize();
    m_hints->move(width() - m_hints->width(), height() - m_hints->height());
    m_hints->raise();
    m_hints->show();
}

void StatisticsWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (m_hints && m_hints->isVisible()) placeHints();
}

void StatisticsWindow::showPage(StatisticsPage page) {
    m_pages->setCurrentIndex(static_cast<int>(page));
}

void StatisticsWindow::redraw() {
    BusyCursor busy;
    const int chosen = m_mailbox->currentIndex();
    if (chosen >= 0) m_stats.selectMailbox(m_stats.mailboxes()[static_cast<std::size_t>(chosen)]);
    m_heading->setText(logText(m_stats.heading()));
    Grids grids = m_stats.fillInGrids();
    const PieShares shares = m_stats.RecomputePie(grids);
    refill(m_traffic, m_trafficView, std::move(grids.traffic));
    refill(m_deleted, m_deletedView, std::move(grids.deleted));
    m_share.show(shares);
    const Readings readings = m_stats.PlotReadings();
    m_weekday.show(readings.byWeekday);
    m_hour.show(readings.byHalfHour);
    m_day.show(readings, m_stats.range());
    m_domains.show(readings.topDomains);
    m_spammers.show(readings.topSenders);
}

void StatisticsWindow::chooseDateRange() {
    m_rangeDialog->preset(m_stats.range());
    if (m_rangeDialog->exec() != QDialog::Accepted) return;
    m_stats.setRange(m_rangeDialog->range());
    redraw();
}

QTableView* StatisticsWindow::shownTable() const {
    QWidget* page = m_pages->currentWidget();
    return page == m_trafficView || page == m_deletedView ? static_cast<QTableView*>(page)
                                                          : nullptr;
}

QChartView* StatisticsWindow::shownChart() const {
    QWidget* page = m_pages->currentWidget();
    if (auto* chart = qobject_cast<QChartView*>(page)) return chart;
    return page->findChild<QChartView*>();
}

bool StatisticsWindow::printShownTable(QPrinter& printer) const {
    QTableView* table = shownTable();
    if (!table) return false;
    printer.setPageOrientation(QPageLayout::Portrait);
    printTable(printer, table == m_trafficView ? kTrafficTitle : kDeletedTitle, *table->model());
    return true;
}

void StatisticsWindow::print() {
    QPrinter printer(QPrinter::HighResolution);
    if (shownTable()) {
        printer.setPageOrientation(QPageLayout::Portrait);
        QPrintDialog dialog(&printer, this);
        if (dialog.exec() == QDialog::Accepted) printShownTable(printer);
        return;
    }
    QChartView* chart = shownChart();
    if (!chart) return;
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [chart](QPrinter* p) { renderChart(*chart, *p); });
    preview.exec();
}

void StatisticsWindow::exportShown() {
    if (QTableView* table = shownTable()) {
        const QString path =
            exportName(this, QStringLiteral("Export table"), QStringLiteral("CSV files (*.csv)"));
        if (!path.isEmpty() && !writeCsv(*table->model(), path))
            MessageBox::error(this, QStringLiteral("Could not write ") + path);
        return;
    }
    QChartView* chart = shownChart();
    if (!chart) return;
    const QString path = exportName(this, QStringLiteral("Export chart"),
                                    QStringLiteral("PNG picture (*.png);;SVG picture (*.svg)"));
    if (!path.isEmpty() && !saveChartPicture(*chart, path))
        MessageBox::error(this, QStringLiteral("Could not write ") + path);
}

} // namespace mv::gui
