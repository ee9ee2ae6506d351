// The desktop program's check run as a user meets it: the list filling with marked rows, the
// buttons and the progress window through the run, cancelling, and one run at a time.
#include "gui/app/DesktopFixture.h"
#include "gui/app/MailboxChooser.h"
#include "gui/app/MessageListModel.h"
#include "gui/app/ProgressWindow.h"
#include "gui/widgets/Pictures.h"
#include "support/HostileServer.h"

#include <QComboBox>
#include <QLabel>
#include <QToolButton>

namespace mv::gui::test {
namespace {

QImage picture(const QVariant& decoration) {
    return decoration.value<QIcon>().pixmap(16, 16).toImage();
}

class CheckTest : public DesktopTest {
protected:
    void deliverThree() {
        server->deliver(message("Hello"));
        server->deliver(message("cheap viagra", "Spammer <spam@bad.example>"));
        server->deliver(message("maybe later"));
    }
    bool shown(const char* name) { return child(name)->isVisible(); }
    std::string exitRole() { return child("btExit")->accessibleName().toStdString(); }
};

TEST_F(CheckTest, CheckFillsTheListRowByRowWithTheMarkPictures) {
    deliverThree();
    QStringList notices;
    QObject::connect(&desktop().model(), &QAbstractItemModel::modelReset,
                     [&] { notices << QStringLiteral("reset"); });
    QObject::connect(&desktop().model(), &QAbstractItemModel::rowsInserted,
                     [&](const QModelIndex&, int first, int last) {
                         notices << QStringLiteral("insert %1-%2").arg(first).arg(last);
                     });

    click("btList");

    MessageListModel& model = desktop().model();
    ASSERT_EQ(model.rowCount(), 3);
    // Emptied once as the check starts, then one insertion per header: never rebuilt.
    EXPECT_EQ(notices, (QStringList{"reset", "insert 0-0", "insert 1-1", "insert 2-2"}));
    const int marks[] = {-1, 0, 1};
    for (int row = 0; row < 3; ++row) {
        QVariant decoration = model.index(row, 0).data(Qt::DecorationRole);
        EXPECT_EQ(decoration.isValid(), marks[row] >= 0) << row;
        if (marks[row] >= 0) {
            EXPECT_EQ(picture(decoration), markIcon(marks[row]).pixmap(16, 16).toImage()) << row;
        }
    }
    EXPECT_EQ(model.index(1, MessageListModel::Subject).data().toString(), "cheap viagra");
    EXPECT_EQ(model.index(1, MessageListModel::Sender).data().toString(), "spam@bad.example");
    EXPECT_EQ(model.index(1, MessageListModel::Date).data().toString(), "3/16/1998 10:00:00 AM");
    EXPECT_EQ(window().status(), "Message Total: 3 Number Marked: 1");
    EXPECT_EQ(window().windowTitle(), "Mailvane");
    EXPECT_EQ(count(log(), "MAIL CHECK 3 msg(s)"), 1);
}

TEST_F(CheckTest, ButtonsAndProgressFollowTheRun) {
    deliverThree();
    struct Seen {
        bool checkEnabled, optionsEnabled, markShown, sloganShown, progressShown;
        std::string exitRole, heading;
    } during{};
    atRow(1, [&] {
        auto* heading = desktop().progressWindow().findChild<QLabel*>("lblHeading");
        during = {child("btList")->isEnabled(),
                  child("btOptions")->isEnabled(),
                  shown("btMark"),
                  child<QLabel>("lblAd")->isVisible(),
                  desktop().progressWindow().isVisible(),
                  exitRole(),
                  heading->text().toStdString()};
    });
    EXPECT_TRUE(child<QLabel>("lblAd")->isVisible());
    EXPECT_FALSE(shown("btMark"));

    click("btList");

    EXPECT_FALSE(during.checkEnabled);
    EXPECT_FALSE(during.optionsEnabled);
    EXPECT_FALSE(during.markShown);
    EXPECT_TRUE(during.sloganShown);
    EXPECT_TRUE(during.progressShown);
    EXPECT_EQ(during.exitRole, "Cancel");
    EXPECT_EQ(during.heading, "Retrieving messages ... standby");

    EXPECT_TRUE(child("btList")->isEnabled());
    EXPECT_TRUE(child("btOptions")->isEnabled());
    for (const char* name : {"btMark", "btDelete", "btRemark", "btResetAll", "btLaunch"})
        EXPECT_TRUE(shown(name)) << name;
    EXPECT_FALSE(child<QLabel>("lblAd")->isVisible());
    EXPECT_FALSE(desktop().progressWindow().isVisible());
    EXPECT_EQ(exitRole(), "Goodbye");
}

// Cancelling from either place mid-way: the rows so far go, the window is idle again, the user
// reads why, and the log has the cancel.
TEST_F(CheckTest, CancelMidwayLeavesAnIdleWindow) {
    struct Case {
        const char* where;
        std::function<void()> cancel;
    };
    const Case cases[] = {
        {"exit button", [this] { click("btExit"); }},
        {"progress window",
         [this] {
             QTest::mouseClick(desktop().progressWindow().findChild<QAbstractButton*>("btCancel"),
                               Qt::LeftButton);
         }},
    };
    for (int i = 0; i < 6; ++i)
        server->deliver(message("m" + std::to_string(i)));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        atRow(2, c.cancel);
        click("btList");
        EXPECT_EQ(desktop().model().rowCount(), 0);
        EXPECT_TRUE(child("btList")->isEnabled());
        EXPECT_FALSE(shown("btMark"));
        EXPECT_EQ(exitRole(), "Goodbye");
        EXPECT_FALSE(desktop().progressWindow().isVisible());
        EXPECT_EQ(MessageBox::takeShown(),
                  QStringList{QStringLiteral("error: Operation has been canceled")});
    }
    EXPECT_EQ(count(log(), "OPERATION CANCELED FOR bob"), 2);
    EXPECT_EQ(count(log(), "MAIL CHECK"), 0);
    EXPECT_EQ(server->messagesOnDisk(), 6u);
}

TEST_F(CheckTest, CancelWhileTheServerSaysNothing) {
    mv::test::HostileServer silent(
        [](mv::test::HostilePeer& peer, const std::atomic<bool>& stop) { peer.silence(stop); });
    setAccount(1, silent.address());
    QTimer::singleShot(300, [this] { click("btExit"); });

    click("btList");

    EXPECT_EQ(MessageBox::takeShown(),
              QStringList{QStringLiteral("error: Operation has been canceled")});
    EXPECT_EQ(window().status(), "Operation has been canceled");
    EXPECT_TRUE(child("btList")->isEnabled());
    EXPECT_EQ(exitRole(), "Goodbye");
    EXPECT_FALSE(desktop().controller().client().Connected());
}

// The tray and the button stay live during a check; neither starts a second one inside it.
TEST_F(CheckTest, NoSecondCheckInsideTheFirst) {
    deliverThree();
    atRow(1, [this] {
        desktop().trayCheck();
        desktop().check();
        click("btList");
    });
    click("btList");
    EXPECT_EQ(desktop().model().rowCount(), 3);
    EXPECT_EQ(count(log(), "MAIL CHECK"), 1);
    EXPECT_TRUE(MessageBox::takeShown().isEmpty());
}

// A mailbox the command line added while the program ran is offered at the next check.
TEST_F(CheckTest, TheChooserOffersAMailboxAddedMeanwhile) {
    desktop();
    setAccount(2, server->plainServer()); // through a store of its own, as the command line's
    int offered = 0;
    answerNextModal<TfrmWhichMailbox>(
        [&](TfrmWhichMailbox& chooser) {
            offered = chooser.findChild<QComboBox*>("cbWhich")->count();
        },
        false);
    click("btList");
    EXPECT_EQ(offered, 2);
}

// With two mailboxes the chooser asks first; its choice is checked, its Cancel contacts nobody.
TEST_F(CheckTest, ChooserPicksTheMailbox) {
    deliverThree();
    setAccount(2, server->plainServer());
    struct Case {
        bool accept;
        int listedMailbox, rows;
    };
    const Case cases[] = {{false, 0, 0}, {true, 2, 3}};
    for (const Case& c : cases) {
        QStringList lines;
        answerNextModal<TfrmWhichMailbox>(
            [&](TfrmWhichMailbox& chooser) {
                auto* which = chooser.findChild<QComboBox*>("cbWhich");
                for (int i = 0; i < which->count(); ++i)
                    lines << which->itemText(i);
                which->setCurrentIndex(1);
            },
            c.accept);
        click("btList");
        EXPECT_EQ(lines.size(), 2);
        EXPECT_EQ(desktop().controller().listedMailbox(), c.listedMailbox);
        EXPECT_EQ(desktop().model().rowCount(), c.rows);
    }
    EXPECT_EQ(count(log(), "MAIL CHECK"), 1);
}

} // namespace
} // namespace mv::gui::test
