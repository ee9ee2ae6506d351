// The program's life around the checks: the automatic countdown in the caption (held while a
// settings window is open), ending the program during a check or deletion and with a session kept
// open, the exit button's role fixed at start-up, boxes at start-up never under the splash, and
// never being left without a window.
#include "../bench/net/DelayProxy.h"
#include "gui/app/DesktopFixture.h"
#include "gui/screening/SpamSettingsWindow.h"

#include "gui/app/GeneralSettingsWindow.h"
#include "gui/app/SplashWindow.h"
#include "gui/desktop/SoundPlayer.h"

#include <QAudioDevice>
#include <QCheckBox>
#include <QLabel>
#include <QMediaDevices>
#include <QPointer>

namespace mv::gui::test {
namespace {

class LifeTest : public DesktopTest {
protected:
    std::string caption() { return window().windowTitle().toStdString(); }
};

const QString noTrayNotice = QStringLiteral("information: ") + TrayIcon::unavailableText();

TEST_F(LifeTest, CountdownCaptionThenRun) {
    m_settings.writeBool(Setting::Automatic, true);
    m_settings.writeInteger(Setting::Minutes, 2);
    server->deliver(message("Hello"));

    EXPECT_EQ(caption(), "Mailvane - next e-mail check in 2 minutes");
    EXPECT_EQ(child<QLabel>("lblTitle")->text().toStdString(), caption());
    EXPECT_TRUE(desktop().automaticTimer().isActive());
    EXPECT_EQ(desktop().automaticTimer().interval(), 60000);

    desktop().timerTick();
    EXPECT_EQ(caption(), "Mailvane - next e-mail check in 1 minute");
    EXPECT_EQ(desktop().model().rowCount(), 0);

    desktop().timerTick(); // the countdown reaches zero: all mailboxes are checked
    EXPECT_EQ(caption(), "Mailvane - MailBox bob - 1 messages");
    EXPECT_EQ(desktop().model().rowCount(), 1);
    EXPECT_FALSE(child<QLabel>("Label1")->isVisible()); // "TM" gone for good
    EXPECT_TRUE(desktop().automaticTimer().isActive());

    desktop().setAutomatic(false);
    EXPECT_EQ(caption(), "Mailvane");
    EXPECT_FALSE(desktop().automaticTimer().isActive());
}

TEST(Splash, SecondPictureThenGoneAfterItsTime) {
    QPointer<TfrmSplash> splash = new TfrmSplash;
    splash->showFirst();
    EXPECT_EQ(splash->picture(), 1);
    EXPECT_TRUE(splash->isVisible());
    QElapsedTimer shown;
    shown.start();
    splash->showSecondAndExpire();
    EXPECT_EQ(splash->picture(), 2);
    QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 5000); // closed and deleted
    EXPECT_GE(shown.elapsed(), TfrmSplash::kShowMs);
}

// After an automatic run that deleted spam or found wanted mail, unless switched off. The count is
// this run's own, not what the command line deleted meanwhile.
TEST_F(LifeTest, NotificationsAfterAnAutomaticRun) {
    struct Case {
        bool kill, notify;
        int otherDeleted; // by the other program between the two ticks
        QStringList expected;
    };
    const Case cases[] = {
        {true, true, 0, {"1 spam messages deleted"}},
        {true, true, 5, {"1 spam messages deleted"}},
        {false, true, 0, {"Mail is waiting: 2 messages for bob"}},
        {false, false, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kill ? "kill" : c.notify ? "mail found" : "switched off");
        SCOPED_TRACE(c.otherDeleted);
        server->deliver(message("cheap viagra"));
        server->deliver(message("Hello"));
        m_settings.writeBool(Setting::Automatic, true);
        m_settings.writeBool(Setting::Kill, c.kill);
        m_settings.writeBool(Setting::Notify, c.notify);
        m_settings.writeInteger(Setting::Minutes, 2);
        m_desktop.reset();
        QStringList shown;
        QObject::connect(&desktop(), &Desktop::notified, [&](const QString& t) { shown << t; });
        desktop().timerTick();
        EXPECT_TRUE(shown.isEmpty()); // only counting down
        m_settings.addDeletedSpam(c.otherDeleted);
        desktop().timerTick();
        EXPECT_EQ(shown, c.expected);
        MessageBox::takeShown();
        m_desktop.reset();
        mv::test::emptyMailbox(server->plainServer());
    }
}

// Closing the main window while an operation runs cancels it first: the server rolls the session
// back (nothing deleted, no partial check logged) and the program ends only once it unwound. The
// server answers 20 ms late, so the close arrives from the event loop while the client waits.
TEST_F(LifeTest, ExitDuringAnOperationCancelsItFirst) {
    mv::bench::DelayProxy slow(server->pop3Port(), 10);
    setAccount(1, "127.0.0.1:" + std::to_string(slow.port()));
    for (int i = 0; i < 4; ++i)
        server->deliver(message("viagra " + std::to_string(i)));
    struct Case {
        const char* operation;
        const char* button;
    };
    const Case cases[] = {{"check", "btList"}, {"deletion", "btDelete"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.operation);
        m_desktop.reset();
        m_ended = 0;
        if (std::string(c.button) == "btDelete") {
            m_settings.writeBool(Setting::Ask, false);
            m_settings.writeBool(Setting::Launch, false);
            click("btList");
            ASSERT_EQ(desktop().model().rowCount(), 4);
        }
        int endedDuring = -1;
        QTimer::singleShot(0, [&] {
            window().close();
            endedDuring = m_ended;
        });
        click(c.button);
        EXPECT_EQ(endedDuring, 0); // not from inside the running operation
        EXPECT_EQ(m_ended, 1);
        EXPECT_FALSE(desktop().controller().client().Connected());
        EXPECT_TRUE(MessageBox::takeShown().isEmpty());
        EXPECT_EQ(server->messagesOnDisk(), 4u);
    }
    EXPECT_EQ(count(log(), "OPERATION CANCELED FOR bob"), 2);
    EXPECT_EQ(count(log(), "MAIL CHECK"), 1); // the deletion case's own check only
    EXPECT_EQ(count(log(), "DELETE SPAM"), 0);
}

TEST_F(LifeTest, ClosingEndsTheKeptSession) {
    server->deliver(message("Hello"));
    click("btList");
    ASSERT_TRUE(desktop().controller().client().Connected()); // one mailbox: kept for deletion
    window().close();
    EXPECT_EQ(m_ended, 1);
    EXPECT_FALSE(desktop().controller().client().Connected());
}

// With no notification area (as here) a window hidden "to the tray" would be lost for good.
TEST_F(LifeTest, NeverLeftWithoutAWindowOrAnIcon) {
    m_settings.writeBool(Setting::SysTray, true);
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(child("btExit")->accessibleName(), "Hide");

    click("btExit");
    EXPECT_TRUE(window().isVisible() || window().isMinimized());
    EXPECT_EQ(m_ended, 0);

    window().hide(); // as the tray would
    answerNextModal<SpamSettingsWindow>([](SpamSettingsWindow&) {}, false);
    desktop().spamSettings();
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(m_ended, 0);
    EXPECT_FALSE(QApplication::quitOnLastWindowClosed());
    EXPECT_EQ(MessageBox::takeShown(), QStringList{noTrayNotice}); // told once, at start-up
}

// The always-on-top splash would cover a box shown at start-up: it goes first, and only then.
TEST_F(LifeTest, AStartUpBoxClosesTheSplashFirst) {
    struct Case {
        bool sysTray;
        QStringList shown;
    };
    const Case cases[] = {{true, {noTrayNotice}}, {false, {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sysTray ? "no tray notice" : "no box");
        m_settings.writeBool(Setting::SysTray, c.sysTray);
        QPointer<TfrmSplash> splash = new TfrmSplash;
        splash->showFirst();
        m_desktop.reset();
        desktop();
        EXPECT_EQ(MessageBox::takeShown(), c.shown);
        EXPECT_EQ(splash && splash->isVisible(), c.shown.isEmpty());
        if (splash) splash->close();
    }
}

// "Hide" or "Goodbye" is fixed at start-up, as the caption is: a toggled "Start up in the tray"
// takes effect at the next start, never half now.
TEST_F(LifeTest, ExitButtonKeepsTheRoleItStartedWith) {
    struct Case {
        bool startedInTray;
        const char* caption;
        int ended;
    };
    const Case cases[] = {{false, "Goodbye", 1}, {true, "Hide", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        PretendTray tray(true);
        m_settings.writeBool(Setting::SysTray, c.startedInTray);
        m_desktop.reset();
        m_ended = 0;
        EXPECT_EQ(window().isVisible(), !c.startedInTray);
        answerNextModal<TfrmGeneral>(
            [](TfrmGeneral& general) {
                auto* sysTray = general.findChild<QCheckBox*>(QStringLiteral("cbSysTray"));
                ASSERT_NE(sysTray, nullptr);
                sysTray->toggle();
                QTest::mouseClick(general.findChild<QAbstractButton*>(QStringLiteral("btOK")),
                                  Qt::LeftButton);
            },
            true);
        desktop().generalSettings();
        ASSERT_EQ(desktop().controller().general().sysTray, !c.startedInTray); // saved and re-read
        MessageBox::takeShown(); // "Exit and restart ..."
        desktop().showMain();
        QTRY_VERIFY(window().isVisible());
        EXPECT_EQ(child("btExit")->accessibleName().toStdString(), c.caption);

        click("btExit");
        EXPECT_EQ(m_ended, c.ended);
        EXPECT_EQ(desktop().tray().applicationHidden(), c.ended == 0);
        m_desktop.reset();
    }
}

// The spam settings window, from the main window or the tray, stops the alarm and holds the
// automatic countdown while it is open; the countdown goes on once it has closed.
TEST_F(LifeTest, SpamSettingsStopTheAlarmAndHoldTheCountdown) {
    const QString tune = QStringLiteral(MV_TEST_DATA "/../../assets/sound/harptune.wav");
    const bool device = !QMediaDevices::defaultAudioOutput().isNull();
    const std::function<void(Desktop&)> openers[] = {
        [](Desktop& d) {
            d.mainWindow().findChild<QAbstractButton*>(QStringLiteral("btSpamSetup"))->click();
        },
        [](Desktop& d) { d.tray().actions().spamSettings->trigger(); },
    };
    m_settings.writeBool(Setting::Automatic, true);
    m_settings.writeInteger(Setting::Minutes, 3);
    for (const auto& open : openers) {
        SCOPED_TRACE(&open == &openers[0] ? "btSpamSetup" : "tray");
        m_desktop.reset();
        desktop().timerTick();
        ASSERT_EQ(caption(), "Mailvane - next e-mail check in 2 minutes");
        if (device) {
            desktop().sound().play(tune, true);
            ASSERT_TRUE(QTest::qWaitFor([&] { return desktop().sound().isPlaying(); }, 5000));
        }
        bool opened = false;
        answerNextModal<SpamSettingsWindow>(
            [&](SpamSettingsWindow&) {
                opened = true;
                EXPECT_FALSE(desktop().sound().isPlaying());
                EXPECT_FALSE(desktop().controller().timerEnabled());
                desktop().timerTick(); // a minute passes while the window is open
                EXPECT_EQ(caption(), "Mailvane - next e-mail check in 2 minutes");
            },
            false);
        open(desktop());
        EXPECT_TRUE(opened);
        EXPECT_TRUE(desktop().controller().timerEnabled());
        EXPECT_TRUE(desktop().automaticTimer().isActive());
        desktop().timerTick();
        EXPECT_EQ(caption(), "Mailvane - next e-mail check in 1 minute");
    }
}

} // namespace
} // namespace mv::gui::test
