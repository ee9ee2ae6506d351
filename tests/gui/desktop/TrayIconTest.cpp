// The tray icon's own logic, offscreen: the offscreen platform has no notification area, so the
// tests that need an active icon pretend one exists; the real tray is tested under Xvfb elsewhere.
#include "gui/desktop/TrayIcon.h"

#include "gui/widgets/Pictures.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace mv::gui {
namespace {

QImage picture(const QIcon& icon) {
    return icon.pixmap(16, 16).toImage();
}

// Runs a timer's work now instead of waiting for it.
void fire(QTimer* timer) {
    QMetaObject::invokeMethod(timer, "timeout");
}

class TrayIconTest : public testing::Test {
protected:
    void SetUp() override { TrayIcon::overrideTrayAvailable(true); }
    void TearDown() override { TrayIcon::overrideTrayAvailable(std::nullopt); }

    QTimer* timer(const char* name) { return tray.findChild<QTimer*>(QString::fromLatin1(name)); }
    void activate(QSystemTrayIcon::ActivationReason reason) {
        emit tray.systemTrayIcon()->activated(reason);
    }

    QWidget mainWindow;
    TrayIcon tray{&mainWindow};
};

TEST_F(TrayIconTest, TooltipIsTheHintCutTo63Characters) {
    EXPECT_EQ(tray.systemTrayIcon()->toolTip(), QStringLiteral("Mailvane (right click)"));
    const QString eighty(80, QLatin1Char('x'));
    struct Case {
        QString hint;
        QString expected;
    } cases[] = {
        {eighty, eighty.left(63)},
        {eighty.left(63), eighty.left(63)},
        {eighty.left(64), eighty.left(63)},
        {QStringLiteral("Mailvane - next e-mail check in 1 minute"),
         QStringLiteral("Mailvane - next e-mail check in 1 minute")},
        {QString(), QString()},
    };
    for (const Case& c : cases) {
        tray.setHint(c.hint);
        EXPECT_EQ(tray.toolTip(), c.expected) << c.hint.size();
        EXPECT_EQ(tray.systemTrayIcon()->toolTip(), c.expected) << c.hint.size();
        EXPECT_EQ(tray.hint(), c.hint);
    }
}

TEST_F(TrayIconTest, AnimationShowsTheFirstFrameAtOnceThenAlternatesOnceASecond) {
    ASSERT_TRUE(tray.setActive(true));
    QTimer* frames = timer("animationTimer");
    ASSERT_NE(frames, nullptr);

    tray.setState(TrayIcon::State::Animated);
    EXPECT_EQ(tray.shownFrame(), 0);
    EXPECT_EQ(picture(tray.shownIcon()), picture(trayFrame(1)));
    EXPECT_TRUE(frames->isActive());
    EXPECT_EQ(frames->interval(), 1000);

    const int expected[] = {1, 0, 1};
    for (int frame : expected) {
        fire(frames);
        EXPECT_EQ(tray.shownFrame(), frame);
        EXPECT_EQ(picture(tray.shownIcon()), picture(trayFrame(frame + 1)));
    }

    tray.setState(TrayIcon::State::Enabled);
    EXPECT_FALSE(frames->isActive());
    EXPECT_EQ(tray.shownFrame(), -1);
    EXPECT_EQ(picture(tray.shownIcon()), picture(programIcon()));
}

TEST_F(TrayIconTest, SettingTheSameStateAgainChangesNothing) {
    ASSERT_TRUE(tray.setActive(true));
    tray.setState(TrayIcon::State::Animated);
    fire(timer("animationTimer"));
    ASSERT_EQ(tray.shownFrame(), 1);
    tray.setState(TrayIcon::State::Animated);
    EXPECT_EQ(tray.shownFrame(), 1) << "not restarted from the first frame";
}

TEST_F(TrayIconTest, AnInactiveIconOnlyStoresItsStateUntilItIsPutIntoTheTray) {
    tray.setState(TrayIcon::State::Animated);
    EXPECT_FALSE(timer("animationTimer")->isActive());
    ASSERT_TRUE(tray.setActive(true));
    EXPECT_TRUE(timer("animationTimer")->isActive());
    EXPECT_EQ(tray.shownFrame(), 0);
    ASSERT_TRUE(tray.setActive(false));
    EXPECT_FALSE(timer("animationTimer")->isActive());
}

TEST_F(TrayIconTest, WithoutANotificationAreaTheIconNeverBecomesActive) {
    TrayIcon::overrideTrayAvailable(false);
    EXPECT_FALSE(tray.setActive(true));
    EXPECT_FALSE(tray.isActive());
    EXPECT_FALSE(tray.systemTrayIcon()->isVisible());
    // Taking out an icon that is not there is no failure.
    EXPECT_TRUE(tray.setActive(false));
}

TEST_F(TrayIconTest, ShownPictureFollowsStateAndTheCancelledHammer) {
    ASSERT_TRUE(tray.setActive(true));
    const QImage plain = picture(programIcon());
    const QImage hammer = picture(buttonIcon(ButtonPicture::Hammer));
    EXPECT_EQ(picture(tray.shownIcon()), plain);
    tray.setCancelled(true);
    EXPECT_EQ(picture(tray.shownIcon()), hammer);
    // Automatic mode shows its frames whatever the plain icon is.
    tray.setState(TrayIcon::State::Animated);
    EXPECT_EQ(picture(tray.shownIcon()), picture(trayFrame(1)));
    tray.setState(TrayIcon::State::Enabled);
    EXPECT_EQ(picture(tray.shownIcon()), hammer);
    tray.setCancelled(false);
    EXPECT_EQ(picture(tray.shownIcon()), plain);
}

// The menu as a user reads it: "-" a separator, "Sub > Item" an item of a submenu.
QStringList menuLines(const QMenu* menu, const QString& prefix = {}) {
    QStringList lines;
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator())
            lines << prefix + QStringLiteral("-");
        else if (action->menu())
            lines << menuLines(action->menu(), prefix + action->text() + QStringLiteral(" > "));
        else
            lines << prefix + action->text() + QStringLiteral(" [") + action->objectName() +
                         QStringLiteral("]");
    }
    return lines;
}

TEST_F(TrayIconTest, MenuHoldsTheTrayCommandsInOrder) {
    const QStringList expected = {
        "Check e-mail for spam [Show1]",
        "Launch e-mail program [LaunchEmailprogram1]",
        "-",
        "Main screen [ShowMainScreen1]",
        "Settings > Spam [Spam1]",
        "Settings > General [General1]",
        "Settings > View log file [ViewLogFile1]",
        "Statistics [Statistics1]",
        "-",
        "Enable automatic check [EnableAutomatic1]",
        "Disable automatic check [DisableAutomatic1]",
        "-",
        "Help/Info > Help [Help1]",
        "Help/Info > About [About1]",
        "-",
        "Exit [Exit1]",
    };
    EXPECT_EQ(menuLines(tray.menu()), expected);
    EXPECT_EQ(tray.menu()->objectName(), QStringLiteral("popTray"));
    const TrayActions& a = tray.actions();
    for (QAction* action :
         {a.checkMail, a.launchMailer, a.mainScreen, a.spamSettings, a.generalSettings, a.viewLog,
          a.statistics, a.enableAutomatic, a.disableAutomatic, a.help, a.about, a.exit})
        EXPECT_EQ(tray.menu()->findChild<QAction*>(action->objectName()), action)
            << action->objectName().toStdString();
}

TEST_F(TrayIconTest, AutomaticRadioItemsAreExclusiveAndStartDisabled) {
    const TrayActions& a = tray.actions();
    EXPECT_FALSE(a.enableAutomatic->isChecked());
    EXPECT_TRUE(a.disableAutomatic->isChecked());
    a.enableAutomatic->trigger();
    EXPECT_TRUE(a.enableAutomatic->isChecked());
    EXPECT_FALSE(a.disableAutomatic->isChecked());
    tray.setAutomatic(false);
    EXPECT_FALSE(a.enableAutomatic->isChecked());
    EXPECT_TRUE(a.disableAutomatic->isChecked());
    // Choosing the checked item again keeps it checked.
    a.disableAutomatic->trigger();
    EXPECT_TRUE(a.disableAutomatic->isChecked());
}

TEST_F(TrayIconTest, WithoutADoubleClickListenerAPressIsAClickOnceBackInTheEventLoop) {
    QSignalSpy clicks(&tray, &TrayIcon::clicked);
    for (auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::MiddleClick}) {
        clicks.clear();
        activate(reason);
        EXPECT_EQ(clicks.count(), 0) << "not inside the platform's handler";
        EXPECT_TRUE(clicks.wait(1000));
    }
    EXPECT_FALSE(timer("clickWait")->isActive());
}

TEST_F(TrayIconTest, WithADoubleClickListenerAPressWaits400MsAndADoubleClickIsNoClick) {
    QSignalSpy doubles(&tray, &TrayIcon::doubleClicked);
    QSignalSpy clicks(&tray, &TrayIcon::clicked);
    QTimer* wait = timer("clickWait");
    EXPECT_EQ(wait->interval(), 400);

    activate(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(wait->isActive());
    EXPECT_EQ(clicks.count(), 0);
    fire(wait);
    EXPECT_EQ(clicks.count(), 1);

    activate(QSystemTrayIcon::Trigger);
    activate(QSystemTrayIcon::DoubleClick);
    EXPECT_FALSE(wait->isActive());
    EXPECT_EQ(doubles.count(), 1);
    QApplication::processEvents();
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(TrayIconTest, RightClickOpensTheMenuOnlyWithAutoPopupAndIsAClickWithout) {
    QSignalSpy clicks(&tray, &TrayIcon::clicked);
    EXPECT_EQ(tray.systemTrayIcon()->contextMenu(), tray.menu());
    activate(QSystemTrayIcon::Context);
    QApplication::processEvents();
    EXPECT_EQ(clicks.count(), 0);

    // During a check.
    tray.setAutoPopup(false);
    EXPECT_EQ(tray.systemTrayIcon()->contextMenu(), nullptr);
    activate(QSystemTrayIcon::Context);
    EXPECT_TRUE(clicks.wait(1000));

    tray.setAutoPopup(true);
    EXPECT_EQ(tray.systemTrayIcon()->contextMenu(), tray.menu());
}

TEST_F(TrayIconTest, HidingLeavesNoWindowAndShowingBringsOnlyTheMainWindowBack) {
    QWidget other;
    mainWindow.show();
    other.show();
    tray.hideApplication();
    EXPECT_TRUE(tray.applicationHidden());
    EXPECT_FALSE(mainWindow.isVisible());
    EXPECT_FALSE(other.isVisible());

    tray.showApplication();
    EXPECT_FALSE(mainWindow.isVisible()) << "deferred out of the tray's own handler";
    EXPECT_TRUE(QTest::qWaitFor([&] { return mainWindow.isVisible(); }));
    EXPECT_FALSE(tray.applicationHidden());
    EXPECT_FALSE(other.isVisible());
}

TEST_F(TrayIconTest, MinimisingHidesIntoTheTrayAndShowingRestores) {
    ASSERT_TRUE(tray.setActive(true));
    mainWindow.show();
    mainWindow.setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !mainWindow.isVisible(); }));
    EXPECT_TRUE(tray.applicationHidden());

    tray.showApplication();
    EXPECT_TRUE(QTest::qWaitFor([&] { return mainWindow.isVisible(); }));
    EXPECT_FALSE(mainWindow.windowState() & Qt::WindowMinimized);
}

TEST_F(TrayIconTest, MinimisingWithoutATrayOnlyMinimises) {
    ASSERT_FALSE(tray.isActive());
    mainWindow.show();
    mainWindow.setWindowState(Qt::WindowMinimized);
    QApplication::processEvents();
    EXPECT_FALSE(tray.applicationHidden());
    EXPECT_TRUE(mainWindow.isVisible());
}

TEST_F(TrayIconTest, ShowingADialogAlreadyOnScreenOnlyBringsItForward) {
    QDialog dialog;
    int nested = 0;
    // While the dialog runs, asking for it again must not start a second modal loop.
    QTimer::singleShot(0, &dialog, [&] {
        nested = tray.showModal(&dialog);
        dialog.done(7);
    });
    EXPECT_EQ(tray.showModal(&dialog), 7);
    EXPECT_EQ(nested, 0);
}

} // namespace
} // namespace mv::gui
