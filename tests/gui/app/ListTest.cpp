// The message list's commands as the user gives them: the context menu's items reach the
// controller and open their windows, and a double click toggles a row's mark.
#include "gui/app/DesktopFixture.h"
#include "gui/app/MarkForDeletionDialog.h"
#include "gui/app/MessageListModel.h"
#include "gui/app/TextViewer.h"

#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTreeView>

namespace mv::gui::test {
namespace {

class ListTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        if (IsSkipped()) return;
        server->deliver(message("Hello", "friend@example.com"));
        server->deliver(message("cheap viagra", "spam@bad.example"));
        server->deliver(message("maybe later", "who@example.com"));
        click("btList");
        ASSERT_EQ(desktop().model().rowCount(), 3);
    }
    void select(std::initializer_list<int> rows) {
        QTreeView* list = window().list();
        list->clearSelection();
        for (int row : rows)
            list->selectionModel()->select(desktop().model().index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    void trigger(const char* item) {
        auto* action = window().listMenu()->findChild<QAction*>(QString::fromLatin1(item));
        ASSERT_NE(action, nullptr) << item;
        action->trigger();
    }
    int mark(int row) { return desktop().controller().rows()[static_cast<std::size_t>(row)].mark; }
    void doubleClick(int row) {
        QTreeView* list = window().list();
        QRect cell = list->visualRect(desktop().model().index(row, 1));
        // As a mouse does it: the first press selects, the second is the double click.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    }
};

TEST_F(ListTest, ViewerItemsShowTheirTextUnderTheirHeading) {
    struct Case {
        const char* item;
        const char* heading;
        const char* contains;
    };
    const Case cases[] = {
        {"ViewHeader1", "Contents of selected e-mail headers",
         "Subject : cheap viagra Sender : spam@bad.example"},
        {"Why1", "Reasons that e-mail is marked or not marked", "viagra"},
        {"ViewMessages1", "Contents of e-mail", "Hello"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        select({1});
        QString heading, text;
        answerNextModal<TfrmViewHeader>(
            [&](TfrmViewHeader& viewer) {
                heading = viewer.findChild<QLabel*>("lblHeading")->text();
                text = viewer.findChild<QPlainTextEdit*>("Memo1")->toPlainText();
            },
            true);
        trigger(c.item);
        EXPECT_EQ(heading.toStdString(), c.heading);
        EXPECT_TRUE(text.contains(QString::fromLatin1(c.contains))) << text.toStdString();
    }
    EXPECT_TRUE(MessageBox::takeShown().isEmpty());
}

TEST_F(ListTest, QuickAddItemsChangeTheRulesAndRemark) {
    select({1});
    QString shownSubject;
    answerNextModal<TfrmMarkForDeletion>(
        [&](TfrmMarkForDeletion& dialog) {
            auto* grid = dialog.findChild<QTableWidget*>("gridMessages");
            if (grid->rowCount() > 0) shownSubject = grid->item(0, 0)->text();
        },
        true);
    trigger("AddtoSPAMlist1");
    EXPECT_EQ(shownSubject, "cheap viagra");
    const RuleTable& subjects = desktop().controller().rules().subject();
    EXPECT_EQ(subjects.cell(2, 1), "cheap viagra");

    select({2});
    trigger("AddtoExceptions1");
    EXPECT_GE(mark(2), 3); // accepted by the new exception
    EXPECT_EQ(mark(1), 0);
}

// A mark the user set is the user's word: Cancel of the quick-add changes no mark, and the
// screening after a quick-add keeps it. "Auto-mark messages" alone resets every mark.
TEST_F(ListTest, QuickAddsKeepTheMarksSetByHand) {
    doubleClick(1); // the spam row unmarked by hand
    ASSERT_EQ(mark(1), -1);
    for (bool confirmed : {false, true}) {
        select({0});
        answerNextModal<TfrmMarkForDeletion>([](TfrmMarkForDeletion&) {}, confirmed);
        trigger("AddtoSPAMlist1");
        EXPECT_EQ(mark(0), confirmed ? 0 : -1) << confirmed; // the new rule marks it
        EXPECT_EQ(mark(1), -1) << confirmed;
    }
    select({2});
    trigger("AddtoExceptions1");
    EXPECT_GE(mark(2), 3);
    EXPECT_EQ(mark(1), -1);
    click("btRemark");
    EXPECT_EQ(mark(1), 0);
}

TEST_F(ListTest, NothingSelectedSaysSo) {
    window().list()->clearSelection();
    for (const char* item : {"ViewHeader1", "Why1", "AddtoSPAMlist1"}) {
        trigger(item);
        QStringList shown = MessageBox::takeShown();
        ASSERT_EQ(shown.size(), 1) << item;
        EXPECT_TRUE(shown[0].startsWith("information: No messages were selected.")) << item;
    }
}

TEST_F(ListTest, DoubleClickTogglesTheMark) {
    const struct {
        int row;
        std::vector<int> marks; // after each double click
    } cases[] = {
        {2, {0, -1}}, // question: marked, then cleared
        {1, {-1, 0}}, // delete: cleared, then marked again
        {0, {0, -1}},
    };
    for (const auto& c : cases) {
        for (int expected : c.marks) {
            doubleClick(c.row);
            EXPECT_EQ(mark(c.row), expected) << "row " << c.row;
        }
    }
    EXPECT_EQ(window().status(), "Message Total: 3 Number Marked: 1");
}

} // namespace
} // namespace mv::gui::test
