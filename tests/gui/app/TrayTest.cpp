// The tray as the desktop program sets it up: its radio items follow the automatic mode, its
// commands reach the program (a second request for a window already open brings it forward), its
// exit item cancels a running check, a check holds its menu back and a cancel shows the hammer,
// started into the tray the program stays there, and a second start of the program for the same
// home only brings the first one forward.
#include "gui/app/DesktopFixture.h"
#include "gui/desktop/SingleInstance.h"
#include "gui/desktop/TrayIcon.h"
#include "gui/screening/SpamSettingsWindow.h"
#include "gui/widgets/Pictures.h"

#include <QAction>
#include <QDialog>
#include <QEvent>
#include <QLabel>

namespace mv::gui::test {
namespace {

class TrayTest : public DesktopTest {
protected:
    const TrayActions& actions() { return desktop().tray().actions(); }
};

TEST_F(TrayTest, RadioItemsAndIconFollowTheAutomaticMode) {
    m_settings.writeInteger(Setting::Minutes, 5);
    EXPECT_TRUE(actions().disableAutomatic->isChecked());
    EXPECT_FALSE(actions().enableAutomatic->isChecked());
    EXPECT_EQ(desktop().tray().state(), TrayIcon::State::Enabled);

    struct Step {
        QAction* TrayActions::*item;
        bool automatic;
        const char* caption;
    };
    const Step steps[] = {
        {&TrayActions::enableAutomatic, true, "Mailvane - next e-mail check in 5 minutes"},
        {&TrayActions::disableAutomatic, false, "Mailvane"},
        {&TrayActions::enableAutomatic, true, "Mailvane - next e-mail check in 5 minutes"},
    };
    for (const Step& step : steps) {
        (actions().*step.item)->trigger();
        EXPECT_EQ(actions().enableAutomatic->isChecked(), step.automatic);
        EXPECT_EQ(actions().disableAutomatic->isChecked(), !step.automatic);
        EXPECT_EQ(desktop().tray().state(),
                  step.automatic ? TrayIcon::State::Animated : TrayIcon::State::Enabled);
        EXPECT_EQ(desktop().automaticTimer().isActive(), step.automatic);
        EXPECT_EQ(window().windowTitle().toStdString(), step.caption);
        EXPECT_EQ(desktop().tray().hint().toStdString(), step.caption);
        EXPECT_EQ(SettingsStore(m_home.settingsFile()).readBool(Setting::Automatic),
                  step.automatic);
    }
    EXPECT_EQ(count(log(), "Automatic mode enabled"), 2);
    EXPECT_EQ(count(log(), "Automatic mode disabled"), 1);
}

TEST_F(TrayTest, CommandsReachTheProgram) {
    server->deliver(message("cheap viagra"));
    window().hide();
    actions().checkMail->trigger(); // shows the main window and checks
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(desktop().model().rowCount(), 1);

    window().hide();
    actions().mainScreen->trigger();
    EXPECT_TRUE(window().isVisible());

    bool opened = false;
    answerNextModal<SpamSettingsWindow>([&](SpamSettingsWindow&) { opened = true; }, false);
    actions().spamSettings->trigger();
    EXPECT_TRUE(opened);
}

// During a check the exit item reads "Cancel" and cancels; the tray's check is refused inside it.
TEST_F(TrayTest, DuringACheckTheExitItemCancelsAndNoSecondCheckStarts) {
    for (int i = 0; i < 4; ++i)
        server->deliver(message("m" + std::to_string(i)));
    QString exitText;
    atRow(2, [&] {
        actions().checkMail->trigger();
        exitText = actions().exit->text();
        actions().exit->trigger();
    });
    click("btList");
    EXPECT_EQ(exitText, "Cancel");
    EXPECT_EQ(actions().exit->text(), "Exit");
    EXPECT_EQ(m_ended, 0);
    EXPECT_EQ(desktop().model().rowCount(), 0);
    EXPECT_EQ(count(log(), "OPERATION CANCELED FOR bob"), 1);
    EXPECT_EQ(count(log(), "MAIL CHECK"), 0);
    EXPECT_EQ(MessageBox::takeShown(),
              QStringList{QStringLiteral("error: Operation has been canceled")});
    EXPECT_EQ(server->messagesOnDisk(), 4u);

    actions().exit->trigger(); // idle now: the program ends
    EXPECT_EQ(m_ended, 1);
}

// Counts how often a window is brought to the front.
class RaiseCounter : public QObject {
public:
    int raised = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ZOrderChange) ++raised;
        return false;
    }
};

// Asked again from the tray while its window is open (perhaps behind another program), the
// window already open comes to the front; no second one is stacked on it.
TEST_F(TrayTest, ASecondRequestBringsTheOpenWindowForward) {
    QAction* TrayActions::*const items[] = {&TrayActions::spamSettings,
                                            &TrayActions::generalSettings, &TrayActions::about};
    for (QAction* TrayActions::*item : items) {
        SCOPED_TRACE((actions().*item)->text().toStdString());
        int raised = -1;
        QWidget* stillOnTop = nullptr;
        answerNextModal<QDialog>(
            [&](QDialog& open) {
                RaiseCounter counter;
                open.installEventFilter(&counter);
                (actions().*item)->trigger();
                open.removeEventFilter(&counter);
                raised = counter.raised;
                stillOnTop = QApplication::activeModalWidget();
                EXPECT_EQ(stillOnTop, &open);
            },
            false);
        (actions().*item)->trigger();
        EXPECT_GE(raised, 1);
        EXPECT_NE(stillOnTop, nullptr);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

// A check turns the tray's right click into a plain click (its menu's commands would only be
// refused), and a cancelled check leaves the hammer in the tray until the next check.
TEST_F(TrayTest, ACheckHoldsTheMenuBackAndACancelShowsTheHammer) {
    const auto picture = [](const QIcon& icon) { return icon.pixmap(16, 16).toImage(); };
    const QImage hammer = picture(buttonIcon(ButtonPicture::Hammer));
    for (int i = 0; i < 4; ++i)
        server->deliver(message("m" + std::to_string(i)));
    EXPECT_TRUE(desktop().tray().autoPopup());
    bool autoPopupDuring = true;
    atRow(2, [&] {
        autoPopupDuring = desktop().tray().autoPopup();
        click("btExit"); // "Cancel"
    });
    click("btList");
    EXPECT_FALSE(autoPopupDuring);
    EXPECT_TRUE(desktop().tray().autoPopup());
    EXPECT_EQ(picture(desktop().tray().shownIcon()), hammer);
    MessageBox::takeShown(); // "Operation has been canceled"

    click("btList");
    EXPECT_EQ(desktop().model().rowCount(), 4);
    EXPECT_NE(picture(desktop().tray().shownIcon()), hammer);
}

// Started into the tray of a desktop that has one: no window, only the icon; a window opened from
// the tray leaves the program there when it closes, and "Hide" goes back into it.
class TrayModeTest : public TrayTest {
protected:
    void SetUp() override {
        TrayTest::SetUp();
        TrayIcon::overrideTrayAvailable(true);
        m_settings.writeBool(Setting::SysTray, true);
    }
    void TearDown() override {
        TrayTest::TearDown();
        TrayIcon::overrideTrayAvailable(std::nullopt);
    }
};

TEST_F(TrayModeTest, TheProgramLivesInTheTray) {
    EXPECT_FALSE(window().isVisible());
    EXPECT_TRUE(desktop().tray().isActive());
    EXPECT_TRUE(MessageBox::takeShown().isEmpty()); // a tray is there: nothing to tell

    bool mainShownMeanwhile = true;
    answerNextModal<SpamSettingsWindow>(
        [&](SpamSettingsWindow&) { mainShownMeanwhile = window().isVisible(); }, false);
    actions().spamSettings->trigger();
    EXPECT_FALSE(mainShownMeanwhile);
    EXPECT_FALSE(window().isVisible());
    EXPECT_TRUE(desktop().tray().isActive());
    EXPECT_EQ(m_ended, 0);

    actions().mainScreen->trigger();
    QTRY_VERIFY(window().isVisible());
    EXPECT_EQ(child("btExit")->accessibleName(), "Hide");
    click("btExit");
    EXPECT_FALSE(window().isVisible());
    EXPECT_TRUE(desktop().tray().applicationHidden());
    EXPECT_EQ(m_ended, 0);
}

TEST_F(TrayTest, SecondStartForTheSameHomeRaisesTheFirst) {
    SingleInstance first(Desktop::instanceName(m_home));
    ASSERT_TRUE(first.claim());
    QObject::connect(&first, &SingleInstance::raiseRequested, &desktop(), &Desktop::showMain);
    window().hide();

    mv::test::TempHome otherDir;
    SingleInstance other(Desktop::instanceName(HomeFolder(otherDir.dir())));
    EXPECT_TRUE(other.claim()); // another home runs beside it

    SingleInstance second(Desktop::instanceName(HomeFolder(m_temp.dir() / ".")));
    EXPECT_FALSE(second.claim());
    QTRY_VERIFY(window().isVisible());
}

} // namespace
} // namespace mv::gui::test
