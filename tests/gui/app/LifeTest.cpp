// The program's life around the checks: the automatic countdown in the caption, ending the program
// during a check or deletion and with a session kept open, and never being left without a window.
#include "../bench/net/DelayProxy.h"
#include "gui/app/DesktopFixture.h"
#include "gui/screening/SpamSettingsWindow.h"

#include "gui/app/SplashWindow.h"

#include <QLabel>
#include <QPointer>

namespace mv::gui::test {
namespace {

class LifeTest : public DesktopTest {
protected:
    std::string caption() { return window().windowTitle().toStdString(); }
};

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

// After an automatic run that deleted spam or found wanted mail, unless switched off.
TEST_F(LifeTest, NotificationsAfterAnAutomaticRun) {
    struct Case {
        bool kill, notify;
        QStringList expected;
    };
    const Case cases[] = {
        {true, true, {"1 spam messages deleted"}},
        {false, true, {"Mail is waiting: 2 messages for bob"}},
        {false, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kill ? "kill" : c.notify ? "mail found" : "switched off");
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
}

} // namespace
} // namespace mv::gui::test
