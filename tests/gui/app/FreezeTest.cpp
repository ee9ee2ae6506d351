// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop program never freezes or traps its user: the list keeps the focus through a check,
// hiding to the tray lets a check go on, a long status never widens the window, a box opens over
// the window it belongs to, helper programs and another program's hold on the home never stop the
// windows, a large body shows at once, an exit ends the program whatever window is up, and the
// log is opened, never run, and not while a check writes it.
#include "../bench/net/DelayProxy.h"
#include "app/settings/HomeLock.h"
#include "gui/app/DesktopFixture.h"
#include "gui/app/DesktopPlatform.h"
#include "gui/app/GeneralSettingsWindow.h"
#include "gui/app/ProgressWindow.h"
#include "gui/app/TextViewer.h"
#include "gui/stats/DemoActivityLog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QScreen>
#include <QTreeView>

namespace mv::gui::test {
namespace {

namespace fs = std::filesystem;
using mv::test::demoFirstDay;
using mv::test::demoNow;
using mv::test::writeDemoActivityLog;

// An environment variable set for as long as it lives.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const QByteArray& value)
        : m_name(name), m_old(qgetenv(name)), m_was(qEnvironmentVariableIsSet(name)) {
        qputenv(name, value);
    }
    ~ScopedVariable() { m_was ? qputenv(m_name, m_old) : qunsetenv(m_name); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* m_name;
    QByteArray m_old;
    bool m_was;
};

class FreezeTest : public DesktopTest {
protected:
    // A shell script at `path` that appends its arguments to `record`.
    static void writeRecorder(const fs::path& path, const fs::path& record) {
        fs::create_directories(path.parent_path());
        writeFileAtomically(path, "#!/bin/sh\necho \"$*\" >>'" + record.string() + "'\n");
        fs::permissions(path, fs::perms::owner_all);
    }
};

// The check disables the buttons that had the focus; it must not pass on to "Goodbye", where the
// next Space or Enter would end the program. Both a click and the tray's check, which brings a
// hidden window up.
TEST_F(FreezeTest, TheListHasTheFocusAfterACheck) {
    server->deliver(message("Hello"));
    for (bool fromTray : {false, true}) {
        SCOPED_TRACE(fromTray ? "tray" : "button");
        if (fromTray) {
            window().hide();
            child("btList")->setFocus();
            desktop().tray().actions().checkMail->trigger();
        } else {
            window().activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
            child("btList")->setFocus();
            click("btList");
        }
        ASSERT_EQ(desktop().model().rowCount(), 1);
        EXPECT_EQ(window().focusWidget(), window().list());
    }
}

// Minimising in tray mode hides the program into the tray; the check it was running goes on.
TEST_F(FreezeTest, HidingToTheTrayDuringACheckLetsItFinish) {
    PretendTray tray(true);
    m_settings.writeBool(Setting::SysTray, true);
    mv::bench::DelayProxy slow(server->pop3Port(), 10);
    setAccount(1, "127.0.0.1:" + std::to_string(slow.port()));
    for (int i = 0; i < 3; ++i)
        server->deliver(message("Hello " + std::to_string(i)));
    atRow(1, [&] { window().showMinimized(); });
    desktop().tray().actions().checkMail->trigger();
    EXPECT_EQ(desktop().model().rowCount(), 3);
    EXPECT_FALSE(window().isVisible());
    EXPECT_FALSE(desktop().progressWindow().isVisible());
    EXPECT_EQ(count(log(), "MAIL CHECK 3 msg(s)"), 1);
    EXPECT_EQ(count(log(), "OPERATION CANCELED"), 0);
}

TEST_F(FreezeTest, ALongStatusIsCutShortAndTheWindowKeepsItsSize) {
    window().show();
    const QSize before = window().size();
    const QString longText = QStringLiteral("-ERR ") + QString(600, QLatin1Char('x'));
    window().setStatus(longText);
    QApplication::processEvents();
    auto* label = child<QLabel>("lblStatus");
    EXPECT_EQ(window().size(), before);
    EXPECT_LE(window().minimumSizeHint().width(), TfrmMain::kWidth);
    EXPECT_EQ(window().status(), longText);
    EXPECT_EQ(label->toolTip(), longText);
    EXPECT_TRUE(label->text().endsWith(QChar(0x2026))) << label->text().toStdString();
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width());
}

// "Launch mail program" with no program named: the error goes over the settings window, which
// stays on top of everything else.
TEST_F(FreezeTest, ABoxOpensOverTheWindowItBelongsTo) {
    QWidget* over = nullptr;
    QWidget* settings = nullptr;
    answerNextModal<TfrmGeneral>(
        [&](TfrmGeneral& window) {
            settings = &window;
            window.findChild<QLineEdit*>(QStringLiteral("edMail"))->clear();
            QTest::mouseClick(window.findChild<QAbstractButton*>(QStringLiteral("btLaunch")),
                              Qt::LeftButton);
            over = MessageBox::lastShownOver();
        },
        false);
    desktop().generalSettings();
    EXPECT_EQ(MessageBox::takeShown(),
              QStringList{"error: Mail program not specified in the general settings. "});
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(over, settings);
}

// Stand-ins for NetworkManager's client and xdg-mime that answer only once a gate file exists,
// which the test's event loop makes: had the window's thread waited on them, they would have run
// into their time limits and given nothing.
TEST_F(FreezeTest, HelperProgramsAnswerWhileTheWindowsStayLive) {
    const fs::path bin = m_temp.dir() / "bin", apps = m_temp.dir() / "data" / "applications";
    fs::create_directories(bin);
    fs::create_directories(apps);
    auto standIn = [&](const char* name, const std::string& answer) {
        const fs::path gate = m_temp.dir() / (std::string(name) + ".gate");
        writeFileAtomically(bin / name, "#!/bin/sh\nwhile [ ! -e '" + gate.string() +
                                            "' ]; do sleep 0.02; done\n" + answer);
        fs::permissions(bin / name, fs::perms::owner_all);
        return gate;
    };
    const fs::path nmcliGate =
        standIn("nmcli", "case \"$*\" in *RUNNING*) echo running;; *NAME*) echo VPN;; esac\n");
    const fs::path mimeGate = standIn("xdg-mime", "echo mailer.desktop\n");
    writeFileAtomically(apps / "mailer.desktop", "[Desktop Entry]\nExec=/opt/mailer/run --new %u\n");
    ScopedVariable path("PATH", QByteArray::fromStdString(bin.string()) + ":" + qgetenv("PATH"));
    ScopedVariable data("XDG_DATA_HOME", QByteArray::fromStdString(apps.parent_path().string()));

    QTimer::singleShot(0, [&] { writeFileAtomically(nmcliGate, ""); });
    QString entry, mailWhenShown, mailLater;
    answerNextModal<TfrmGeneral>(
        [&](TfrmGeneral& window) {
            entry = window.findChild<QComboBox*>(QStringLiteral("RASComboBox"))->itemText(1);
            auto* mail = window.findChild<QLineEdit*>(QStringLiteral("edMail"));
            mailWhenShown = mail->text();
            writeFileAtomically(mimeGate, "");
            if (QTest::qWaitFor([&] { return !mail->text().isEmpty(); }))
                mailLater = mail->text();
        },
        false);
    desktop().generalSettings();
    EXPECT_EQ(entry, "VPN");
    EXPECT_EQ(mailWhenShown, "");
    EXPECT_EQ(mailLater, "/opt/mailer/run --new");
}

// Another program holds the home for longer than a check waits: the window stays live while the
// check waits, and an automatic run over three mailboxes gives up after the first, not after
// waiting once for each.
TEST_F(FreezeTest, WaitingForTheHomeKeepsTheWindowLiveAndEndsTheRunAtTheFirstRefusal) {
    for (int n : {2, 3})
        setAccount(n, server->plainServer());
    m_settings.writeBool(Setting::Automatic, true);
    m_settings.writeInteger(Setting::Minutes, 2);
    desktop().timerTick(); // counts down to the run
    window().hide();
    QProcess holder;
    holder.start(QStringLiteral("flock"),
                 {QString::fromStdString(m_home.lockFile().string()), "sleep", "30"});
    ASSERT_TRUE(holder.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&] {
        try {
            HomeLock probe(m_home.lockFile(), std::chrono::milliseconds(0));
            return false;
        } catch (const LockError&) {
            return true;
        }
    }));
    int ticks = 0;
    QTimer live;
    QObject::connect(&live, &QTimer::timeout, [&] { ++ticks; });
    live.start(10);
    desktop().timerTick();
    holder.kill();
    holder.waitForFinished();
    EXPECT_GT(ticks, 0);
    EXPECT_EQ(MessageBox::takeShown(), QStringList{});
    EXPECT_EQ(count(log(), "Another Mailvane program is using"), 1) << log();
    EXPECT_EQ(count(log(), "MAIL CHECK"), 0);
}

// A body of tens of thousands of lines shows at once and goes into the viewer piece by piece, each
// from the event loop; in the end the whole body is there.
TEST_F(FreezeTest, ALargeBodyGoesIntoTheViewerPieceByPiece) {
    constexpr int kLines = 30000;
    std::string body;
    for (int i = 1; i <= kLines; ++i)
        body += "Line " + std::to_string(i) + " of the report\r\n";
    server->deliver("Subject: Report\r\nFrom: a@example.com\r\n\r\n" + body);
    click("btList");
    window().list()->selectionModel()->select(
        desktop().model().index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    MessageBox::queueAnswer(true); // "quite large ... Are you sure?"
    int linesWhenShown = 0;
    QString text;
    answerNextModal<TfrmViewHeader>(
        [&](TfrmViewHeader& viewer) {
            auto* memo = viewer.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
            linesWhenShown = memo->blockCount();
            if (QTest::qWaitFor([&] { return memo->blockCount() >= kLines; }))
                text = memo->toPlainText();
        },
        true);
    emit window().viewBodyClicked();
    EXPECT_LT(linesWhenShown, kLines);
    EXPECT_TRUE(text.contains(QStringLiteral("Line 1 of the report\nLine 2 of")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nLine 30000 of the report")));
    EXPECT_EQ(text.count(QStringLiteral(" of the report")), kLines);
}

// Exit asked while the statistics read the log: the reading stops and the program ends, without
// a window left for the user to close by hand.
TEST_F(FreezeTest, ExitWhileTheStatisticsReadTheLogEndsTheProgram) {
    writeDemoActivityLog(logPath(), demoFirstDay() - 730, demoNow(), RegionalSettings::usEnglish());
    bool exitAsked = false, stillOpen = false;
    mv::test::whenModal<QWidget>([&](QWidget& start) {
        // The first step of the reading asks for the exit.
        auto* bar = start.findChild<QProgressBar*>(QStringLiteral("pbReading"));
        QObject::connect(bar, &QProgressBar::valueChanged, [&] {
            if (!std::exchange(exitAsked, true)) desktop().requestExit();
        });
        QTest::mouseClick(start.findChild<QAbstractButton*>(QStringLiteral("btOK")),
                          Qt::LeftButton);
    });
    QTimer::singleShot(5000, [&] {
        stillOpen = QApplication::activeModalWidget() != nullptr;
        if (stillOpen) QApplication::activeModalWidget()->close();
    });
    desktop().statistics();
    EXPECT_TRUE(exitAsked);
    EXPECT_FALSE(stillOpen);
    EXPECT_EQ(m_ended, 1);
}

// "View log file" waits while a check writes the log, and opens the log, never runs it; a mail
// program's command line starts with its arguments.
TEST_F(FreezeTest, TheLogIsOpenedNeverRunAndNotDuringACheck) {
    server->deliver(message("Hello"));
    atRow(1, [&] { desktop().viewLog(); });
    click("btList");
    EXPECT_TRUE(MessageBox::takeShown().isEmpty());

    const fs::path logRan = m_temp.dir() / "log-ran";
    writeRecorder(logPath(), logRan);
    desktop().viewLog();
    DesktopPlatform platform(desktop());
    EXPECT_FALSE(platform.openFile((m_temp.dir() / "missing").string()));
    struct Case {
        fs::path program;
        std::string arguments, recorded;
    };
    const Case cases[] = {{m_temp.dir() / "My Mailer" / "run", "", "\n"},
                          {m_temp.dir() / "mailer", " --new \"a b\"", "--new a b\n"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program.string());
        const fs::path record = c.program.string() + ".ran";
        writeRecorder(c.program, record);
        EXPECT_TRUE(platform.open(c.program.string() + c.arguments));
        EXPECT_TRUE(QTest::qWaitFor([&] { return readFile(record).value_or("") == c.recorded; }))
            << readFile(record).value_or("(nothing)");
    }
    // The programs above ran after the log's turn: had it been run, it would have written too.
    EXPECT_FALSE(fileExists(logRan));
}

} // namespace
} // namespace mv::gui::test
