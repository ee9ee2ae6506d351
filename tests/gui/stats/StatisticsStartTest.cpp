// The start window: the preset path and the browse dialog, the reading with its errors and its
// Cancel returning to the start window, the statistics window shown in its place, and one
// statistics window at a time.
#include "gui/stats/StatisticsStart.h"
#include "gui/stats/StatsTestSupport.h"
#include "gui/widgets/FileDialog.h"
#include "gui/widgets/MessageBox.h"
#include "stats/ActivityStatistics.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace mv {
namespace {

using gui::MessageBox;
using gui::StatisticsStart;
using test::child;
using test::whenModal;

class StatisticsStartTest : public test::StatsLogTest {
protected:
    QString logPath() const { return QString::fromStdString(m_log.string()); }
    void clickOk(StatisticsStart& start) {
        QTest::mouseClick(child<QPushButton>(&start, "btOK"), Qt::LeftButton);
    }
};

TEST_F(StatisticsStartTest, PresetPathBrowseAndCancel) {
    StatisticsStart start(logPath(), m_regional, m_clock);
    start.show();
    EXPECT_EQ(start.windowTitle(), QStringLiteral("Activity Log Statistics for Mailvane"));
    auto* path = child<QLineEdit>(&start, "edLogFile");
    EXPECT_EQ(path->text(), logPath());
    gui::FileDialog::queueFileName(QStringLiteral("/var/log/other.txt"));
    QTest::mouseClick(child<QToolButton>(&start, "btBrowse"), Qt::LeftButton);
    EXPECT_EQ(path->text(), QStringLiteral("/var/log/other.txt"));
    QTest::mouseClick(child<QToolButton>(&start, "btBrowse"), Qt::LeftButton); // cancelled
    EXPECT_EQ(path->text(), QStringLiteral("/var/log/other.txt"));
    QTest::mouseClick(child<QPushButton>(&start, "btCancel"), Qt::LeftButton);
    EXPECT_FALSE(start.isVisible());
    EXPECT_EQ(start.result(), QDialog::Rejected);
}

TEST_F(StatisticsStartTest, MissingOrUnreadableLogKeepsTheStartWindow) {
    const QString folder = QString::fromStdString(m_cli.home().string());
    const struct {
        QString path;
        std::string_view error;
    } cases[] = {
        {QString(), kLogMissingError},
        {logPath() + QStringLiteral(".gone"), kLogMissingError},
        {folder, kLogUnreadableError}, // a folder opens but does not read
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        StatisticsStart start(c.path, m_regional, m_clock);
        start.show();
        clickOk(start);
        EXPECT_EQ(MessageBox::takeShown(),
                  QStringList{QStringLiteral("error: ") +
                              QString::fromLatin1(c.error.data(), qsizetype(c.error.size()))});
        EXPECT_TRUE(start.isVisible());
        EXPECT_FALSE(gui::statisticsInProgress());
        EXPECT_TRUE(child<QPushButton>(&start, "btOK")->isEnabled());
    }
}

TEST_F(StatisticsStartTest, OkShowsTheStatisticsInsteadAndASecondOpeningDoesNothing) {
    StatisticsStart start(logPath(), m_regional, m_clock);
    start.show();
    QStringList modalSeen;
    bool startHidden = false, inProgress = false;
    whenModal([&](QWidget* chart) {
        ASSERT_NE(chart, nullptr);
        modalSeen << chart->objectName();
        startHidden = !start.isVisible();
        inProgress = gui::statisticsInProgress();
        // Should a second start window open, this answers it so the test goes on.
        whenModal([&modalSeen, chart](QWidget* active) {
            modalSeen << active->objectName();
            if (active != chart) static_cast<QDialog*>(active)->reject();
        });
        gui::openStatisticsWindow(nullptr, logPath(), m_regional, m_clock);
        // The start window's own OK is ignored too.
        clickOk(start);
        whenModal([chart](QWidget*) {
            QTest::mouseClick(child<QPushButton>(chart, "btClose"), Qt::LeftButton);
        });
    });
    clickOk(start);
    EXPECT_EQ(modalSeen, QStringList({"TfrmChart", "TfrmChart"}));
    EXPECT_TRUE(startHidden);
    EXPECT_TRUE(inProgress);
    EXPECT_FALSE(gui::statisticsInProgress());
    EXPECT_EQ(start.result(), QDialog::Accepted);
    EXPECT_TRUE(MessageBox::takeShown().isEmpty());
}

TEST_F(StatisticsStartTest, NoSecondStartWindowWhileOneIsUp) {
    QStringList modalSeen;
    whenModal([&](QWidget* first) {
        modalSeen << first->objectName();
        whenModal([&modalSeen, first](QWidget* active) {
            modalSeen << (active == first ? QStringLiteral("the same") : QStringLiteral("another"));
            if (active != first) static_cast<QDialog*>(active)->reject();
        });
        gui::openStatisticsWindow(nullptr, logPath(), m_regional, m_clock);
        whenModal([first](QWidget*) {
            QTest::mouseClick(child<QPushButton>(first, "btCancel"), Qt::LeftButton);
        });
    });
    gui::openStatisticsWindow(nullptr, logPath(), m_regional, m_clock);
    EXPECT_EQ(modalSeen, QStringList({"TfrmChartMain", "the same"}));
    // Once it is closed, the next opening shows it again.
    whenModal([&](QWidget* again) {
        modalSeen << again->objectName();
        static_cast<QDialog*>(again)->reject();
    });
    gui::openStatisticsWindow(nullptr, logPath(), m_regional, m_clock);
    EXPECT_EQ(modalSeen.size(), 3);
}

TEST_F(StatisticsStartTest, CancelWhileReadingReturnsToTheStartWindow) {
    StatisticsStart start(logPath(), m_regional, m_clock);
    start.show();
    // Heard at the reading's first look at the window's events, with the progress bar up.
    bool barShown = false, choosingLive = true;
    QTimer::singleShot(0, &start, [&] {
        barShown = child<QProgressBar>(&start, "pbReading")->isVisible();
        choosingLive = child<QPushButton>(&start, "btOK")->isEnabled() ||
                    child<QToolButton>(&start, "btBrowse")->isEnabled();
        QTest::mouseClick(child<QPushButton>(&start, "btCancel"), Qt::LeftButton);
    });
    // Should the reading not stop, the statistics window it shows is closed again.
    bool statisticsShown = false;
    QTimer::singleShot(3000, &start, [&statisticsShown] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            statisticsShown = true;
            static_cast<QDialog*>(w)->reject();
        }
    });
    clickOk(start);
    EXPECT_FALSE(statisticsShown);
    EXPECT_TRUE(barShown);
    EXPECT_FALSE(choosingLive);
    EXPECT_TRUE(start.isVisible());
    EXPECT_FALSE(child<QProgressBar>(&start, "pbReading")->isVisible());
    EXPECT_FALSE(gui::statisticsInProgress());
    EXPECT_TRUE(MessageBox::takeShown().isEmpty());
    EXPECT_TRUE(child<QPushButton>(&start, "btOK")->isEnabled());
}

} // namespace
} // namespace mv
