#include "gui/stats/StatisticsStart.h"

#include "base/FlagScope.h"
#include "gui/stats/BusyCursor.h"
#include "gui/stats/StatisticsWindow.h"
#include "gui/stats/StatsDates.h"
#include "gui/widgets/FileDialog.h"
#include "gui/widgets/MessageBox.h"
#include "stats/ActivityStatistics.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace mv::gui {

namespace {

bool g_inProgress = false; // from OK until the statistics window has closed
bool g_startShown = false; // a start window opened by openStatisticsWindow is up

// Moves the progress bar while the log is read and lets the window's events through often
// enough that Cancel is heard, without slowing the reading down.
class ProgressListener : public LogReadListener {
public:
    ProgressListener(QProgressBar* bar, const bool& cancel) : m_bar(bar), m_cancel(cancel) {}
    // Kept for the window to show once the wait cursor is gone.
    void showError(std::string_view text) override { error = logText(text); }
    void progressStarted(std::uintmax_t maximum) override {
        m_maximum = std::max<std::uintmax_t>(maximum, 1);
        m_bar->setValue(0);
        m_bar->show();
    }
    void progressAt(std::uintmax_t position) override {
        if (position < m_next) return;
        m_next = position + m_maximum / kSteps + 1;
        m_bar->setValue(static_cast<int>(position * kSteps / m_maximum));
        QCoreApplication::processEvents();
    }
    void progressEnded() override { m_bar->hide(); }
    bool cancelled() override { return m_cancel; }

    static constexpr int kSteps = 200;
    QString error;

private:
    QProgressBar* m_bar;
    const bool& m_cancel;
    std::uintmax_t m_maximum = 1;
    std::uintmax_t m_next = 0;
};

std::filesystem::path localPath(const QString& text) {
    return std::filesystem::path(QFile::encodeName(text).toStdString());
}

} // namespace

bool statisticsInProgress() {
    return g_inProgress;
}

StatisticsStart::StatisticsStart(const QString& logPath, RegionalSettings regional,
                                 const Clock& clock, QWidget* parent)
    : QDialog(parent), m_regional(std::move(regional)), m_clock(clock),
      m_path(new QLineEdit(logPath)), m_browse(new QToolButton), m_progress(new QProgressBar) {
    setObjectName(QStringLiteral("TfrmChartMain"));
    setWindowTitle(QStringLiteral("Activity Log Statistics for Mailvane"));
    m_regional.shortDateFormat = withFourDigitYear(m_regional.shortDateFormat);

    auto* heading = new QLabel(QStringLiteral("Mailvane Activity Statistics"));
    QFont big = heading->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    heading->setFont(big);
    heading->setAlignment(Qt::AlignCenter);

    m_path->setObjectName(QStringLiteral("edLogFile"));
    m_path->setMinimumWidth(360);
    m_browse->setObjectName(QStringLiteral("btBrowse"));
    m_browse->setText(QStringLiteral("..."));
    m_browse->setToolTip(QStringLiteral("Browse for the activity log"));
    m_browse->setAccessibleName(m_browse->toolTip());
    connect(m_browse, &QToolButton::clicked, this, &StatisticsStart::browse);
    auto* label = new QLabel(QStringLiteral("Open existing activity log:"));
    label->setBuddy(m_path);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(m_path, 1);
    pathRow->addWidget(m_browse);

    m_progress->setObjectName(QStringLiteral("pbReading"));
    m_progress->setRange(0, ProgressListener::kSteps);
    m_progress->setTextVisible(false);
    m_progress->setVisible(false);
    QSizePolicy keepPlace = m_progress->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true); // the window does not jump when reading starts
    m_progress->setSizePolicy(keepPlace);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("btOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("btCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &StatisticsStart::open);
    connect(buttons, &QDialogButtonBox::rejected, this, &StatisticsStart::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addSpacing(8);
    layout->addWidget(label);
    layout->addLayout(pathRow);
    layout->addWidget(m_progress);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
}

void StatisticsStart::browse() {
    const QString chosen =
        FileDialog::openFileName(this, QStringLiteral("Location of Mailvane activity log file"),
                                 QFileInfo(m_path->text()).absolutePath(),
                                 QStringLiteral("Activity log files (*.txt);;All files (*)"));
    if (!chosen.isEmpty()) m_path->setText(chosen);
}

void StatisticsStart::open() {
    if (g_inProgress) return;
    FlagScope inProgress(g_inProgress);
    ActivityStatistics stats(m_regional, m_clock);
    std::unique_ptr<StatisticsWindow> window;
    ProgressListener listener(m_progress, m_cancelled);
    {
        BusyCursor busy;
        setReading(true);
        const bool read = stats.readInLogFile(localPath(m_path->text()), listener);
        setReading(false);
        if (read) window = std::make_unique<StatisticsWindow>(stats, m_clock, parentWidget());
    }
    if (!window) { // an error, or the user cancelled: back to the start window
        if (!listener.error.isEmpty()) MessageBox::error(this, listener.error);
        return;
    }
    hide();
    window->exec();
    accept();
}

void StatisticsStart::setReading(bool reading) {
    m_reading = reading;
    m_cancelled = false;
    for (QWidget* control : std::initializer_list<QWidget*>{m_ok, m_path, m_browse})
        control->setEnabled(!reading);
}

void StatisticsStart::reject() {
    if (m_reading) {
        m_cancelled = true; // the reading stops at its next line and returns here
        return;
    }
    QDialog::reject();
}

void openStatisticsWindow(QWidget* parent, const QString& logPath, const RegionalSettings& regional,
                          const Clock& clock) {
    // The tray stays live while a start window is up: a second one would only stack on it.
    if (g_inProgress || g_startShown) return;
    FlagScope shown(g_startShown);
    StatisticsStart start(logPath, regional, clock, parent);
    start.exec();
}

} // namespace mv::gui
