// The spam settings window over the rules of a real check against Dovecot on loopback: the order
// of rules it leaves is the order the next screening pass walks, and the quick-add commands' rules
// show up in its tables.
#include "app/ControllerFixture.h"
#include "app/ListCommands.h"
#include "gui/WindowOpeners.h"
#include "gui/screening/RuleTablePage.h"
#include "gui/screening/SpamSettingsWindow.h"
#include "support/DovecotSuite.h"

#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <memory>

namespace mv::test {
namespace {

class SpamSettingsCheckTest : public ControllerHomeTest {
protected:
    void SetUp() override {
        ControllerHomeTest::SetUp();
        if (IsSkipped()) return;
        // Two rules on the same word: the delete rule first, with more hits, then the question
        // rule.
        writeSubjectRules("6,3\r\n1,1,Contains\r\n2,1,offer\r\n3,1,No\r\n4,1,Yes\r\n5,1,9\r\n"
                          "1,2,Contains\r\n2,2,offer\r\n3,2,No\r\n4,2,No\r\n5,2,2\r\n");
        controller();
    }
    std::vector<std::string> hits() {
        std::vector<std::string> out;
        const RuleTable& t = m_controller->rules().subject();
        for (int r = 1; r < t.rowCount(); ++r)
            out.push_back(t.cell(col::kDelete, r) + " " + t.cell(col::kHits, r));
        return out;
    }
    std::unique_ptr<gui::SpamSettingsWindow> window() {
        auto w = std::make_unique<gui::SpamSettingsWindow>(
            m_controller->rules(), m_controller->accounts(), m_home.lockFile(), m_settings);
        w->show();
        return w;
    }
};

TEST_F(SpamSettingsCheckTest, SortingByHitsChangesTheOrderTheCheckWalks) {
    server->deliver(message("Special offer", "seller@shop.example"));
    ASSERT_EQ(m_controller->btListClick(), CheckOutcome::Listed);
    // The delete rule matched first and ended the walk: the question rule was not reached.
    EXPECT_EQ(hits(), (std::vector<std::string>{"Yes 10", "No 2"}));

    auto settings = window();
    gui::RuleTablePage& page = *settings->page(TableId::Subject);
    emit page.view()->horizontalHeader()->sectionClicked(page.model()->modelColumn(col::kHits));
    QTest::mouseClick(settings->findChild<QPushButton*>(QStringLiteral("btOK")), Qt::LeftButton);
    ASSERT_EQ(settings->result(), QDialog::Accepted);
    EXPECT_EQ(hits(), (std::vector<std::string>{"No 2", "Yes 10"}));

    ASSERT_EQ(m_controller->btListClick(), CheckOutcome::Listed);
    // Now the question rule comes first and counts, and the delete rule still marks the message.
    EXPECT_EQ(hits(), (std::vector<std::string>{"No 3", "Yes 11"}));
    EXPECT_EQ(m_controller->rows().at(0).mark, kPictureDelete);
}

TEST_F(SpamSettingsCheckTest, QuickAddedExceptionRescreensAndShowsInTheWindow) {
    server->deliver(message("Special offer", "friend@club.example"));
    ASSERT_EQ(m_controller->btListClick(), CheckOutcome::Listed);
    ASSERT_EQ(m_controller->rows().at(0).mark, kPictureDelete);

    ListCommands(*m_controller).AddtoExceptions1Click({0});
    EXPECT_EQ(m_controller->rows().at(0).mark, kPictureFirstException);

    auto settings = window();
    gui::RuleTableModel& exceptions = *settings->page(TableId::Exceptions)->model();
    ASSERT_EQ(exceptions.rowCount(), 1);
    EXPECT_EQ(exceptions.index(0, exceptions.modelColumn(col::kExceptMatches)).data(),
              QVariant(QStringLiteral("friend@club.example")));
}

TEST_F(SpamSettingsCheckTest, TheSpamSettingsCommandOpensTheWindowOverTheProgramsRules) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll] {
        auto* window = qobject_cast<gui::SpamSettingsWindow*>(QApplication::activeModalWidget());
        if (window == nullptr) return;
        poll->deleteLater();
        poll->stop();
        EXPECT_EQ(window->page(TableId::Subject)->model()->rowCount(), 2);
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("btOK")), Qt::LeftButton);
    });
    poll->start(10);
    EXPECT_TRUE(gui::openSpamSettings(nullptr, *m_controller));
}

} // namespace
} // namespace mv::test
