// The rule editor windows, the country list, the import window and the blacklist page, driven from
// the spam settings window as a user reaches them.
#include "WindowDriver.h"

#include "gui/screening/CountryListDialog.h"
#include "gui/screening/ImportDialog.h"
#include "gui/screening/KnownListPanel.h"
#include "gui/screening/RuleEditorDialogs.h"
#include "gui/widgets/MessageBox.h"
#include "support/FullDisk.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <optional>

namespace mv::test {
namespace {

using gui::ExceptionEditorDialog;
using gui::HeaderEditorDialog;
using gui::MessageBox;
using gui::SenderEditorDialog;
using gui::SubjectEditorDialog;

struct EditorCase {
    TableId table;
    const char* editButton;
    int conditions;
    // The row for a condition word; the column that holds the word.
    std::function<RuleRow(std::string_view word)> row;
    int wordColumn;
};

// Opens the editor on the one rule of the table, checks that it shows the word's condition, and
// confirms it unchanged.
template <class Dialog>
void roundTrip(SpamWindowTest& test, RuleTablePage& page, const EditorCase& c, RuleSet& rules) {
    for (int i = 0; i < c.conditions; ++i) {
        const std::string word(choiceWord(i));
        putRuleRow(rules.table(c.table), c.table, 1, c.row(word));
        page.refresh();
        page.selectRow(1);
        whenModal<Dialog>([i, word](Dialog& d) {
            EXPECT_EQ(
                d.template findChild<QComboBox*>(QStringLiteral("cbCondition"))->currentIndex(), i)
                << word;
            click(&d, "btOK");
        });
        click(&page, c.editButton);
        EXPECT_EQ(rules.table(c.table).cell(c.wordColumn, 1), word);
    }
    (void)test;
}

TEST_F(SpamWindowTest, EditorsLoadAndWriteEveryConditionWord) {
    window();
    const EditorCase subject{TableId::Subject, "btEditSubject", kSubjectConditionChoices,
                             [](std::string_view w) {
                                 return makeRuleRow({"", w, "text", "No", "Yes", "3"});
                             },
                             col::kWhat};
    const EditorCase sender{TableId::Sender, "btEditFrom", kSenderConditionChoices,
                            [](std::string_view w) {
                                return makeRuleRow({"", "E-mail address", w, "text", "Yes", "3"});
                            },
                            col::kSenderCondition};
    const EditorCase header{TableId::Header, "btEditHeader", kHeaderConditionChoices,
                            [](std::string_view w) {
                                return makeRuleRow({"", w, "X-Spam", "No", "Yes", "3"});
                            },
                            col::kWhat};
    const EditorCase exception{TableId::Exceptions, "btEditExcept", kExceptionConditionChoices,
                               [](std::string_view w) {
                                   return makeRuleRow({"Subject", w, "hello", "No", "3", "", "5"});
                               },
                               col::kExceptCondition};
    roundTrip<SubjectEditorDialog>(*this, page(TableId::Subject), subject, rules);
    roundTrip<SenderEditorDialog>(*this, page(TableId::Sender), sender, rules);
    roundTrip<HeaderEditorDialog>(*this, page(TableId::Header), header, rules);
    roundTrip<ExceptionEditorDialog>(*this, page(TableId::Exceptions), exception, rules);
    // The exception row named its field "Subject": written back as the drop-down shows it.
    EXPECT_EQ(rules.exceptions().cell(col::kExceptWhat, 1), "Subject:");
    EXPECT_EQ(rules.exceptions().picture(col::kExceptPicture, 1), 5);
}

TEST_F(SpamWindowTest, SubjectEditorHidesTheTextForBlankAndUppercase) {
    seedSubjects({"old"});
    page(TableId::Subject).selectRow(1);
    whenModal<SubjectEditorDialog>([](SubjectEditorDialog& d) {
        auto* condition = d.findChild<QComboBox*>(QStringLiteral("cbCondition"));
        auto* text = d.findChild<QComboBox*>(QStringLiteral("edSubject"));
        EXPECT_TRUE(text->isVisible());
        condition->setCurrentIndex(5); // "Is blank or empty"
        EXPECT_FALSE(text->isVisible());
        child<QWidget>(&d, "rbQuestion")->setProperty("checked", true);
        click(&d, "btOK");
    });
    click(&page(TableId::Subject), "btEditSubject");
    EXPECT_EQ(rowCells(rules.subject(), 1), makeRuleRow({"", "Is blank", "", "", "No", "0"}));
    EXPECT_EQ(rules.subject().picture(col::kPicture, 1), kPictureQuestion);
}

TEST_F(SpamWindowTest, RefusedEditorStaysOpenWithTheFocusOnTheField) {
    window();
    whenModal<ExceptionEditorDialog>([](ExceptionEditorDialog& d) {
        MessageBox::takeShown();
        click(&d, "btOK");
        EXPECT_EQ(MessageBox::takeShown(),
                  QStringList{QStringLiteral("error: The email line cannot be blank")});
        EXPECT_TRUE(d.isVisible());
        auto* address = d.findChild<QLineEdit*>(QStringLiteral("edAddress"));
        EXPECT_EQ(QApplication::focusWidget() == address || address->hasFocus() ||
                      d.focusWidget() == address,
                  true);
        address->setText(QStringLiteral("  friend@example.com "));
        click(&d, "picture4");
        click(&d, "btOK");
    });
    click(&page(TableId::Exceptions), "btAddExcept");
    EXPECT_EQ(rowCells(rules.exceptions(), 1),
              makeRuleRow({"E-mail address", "Equals", "friend@example.com", "No", "0", "", "7"}));
    EXPECT_EQ(rules.exceptions().picture(col::kExceptPicture, 1), 7);
}

// Picks the country whose name is `name` in the list the editor opens.
void pickCountryNamed(const QString& name) {
    whenModal<gui::CountryListDialog>([name](gui::CountryListDialog& d) {
        const auto found = d.list()->findItems(name, Qt::MatchExactly, 1);
        ASSERT_EQ(found.size(), 1);
        d.list()->setCurrentItem(found[0]);
        click(&d, "btOK");
    });
}

TEST_F(SpamWindowTest, CountryListMakesASuffixRule) {
    window();
    whenModal<SenderEditorDialog>([](SenderEditorDialog& d) {
        pickCountryNamed(QStringLiteral("Zaire"));
        click(&d, "btCountry");
        EXPECT_EQ(child<QLabel>(&d, "lbCountry")->text(), QStringLiteral("Zaire"));
        click(&d, "btOK");
    });
    click(&page(TableId::Sender), "btAddFrom");
    EXPECT_EQ(rowCells(rules.sender(), 1),
              makeRuleRow({"", "Domain name", "Ends with", ".ZR", "Yes", "0"}));

    whenModal<HeaderEditorDialog>([](HeaderEditorDialog& d) {
        pickCountryNamed(QStringLiteral("Solomon Islands"));
        click(&d, "btCountry");
        click(&d, "btOK");
    });
    click(&page(TableId::Header), "btAddHeader");
    EXPECT_EQ(rowCells(rules.header(), 1), makeRuleRow({"", "Ends with", ".Sb", "No", "Yes", "0"}));
}

TEST_F(SpamWindowTest, HeaderEditorPreselectsTheRulesMailbox) {
    accounts[1] = {"pop.one.example", "ann", "", TlsMode::None, ""};
    accounts[3] = {"pop.three.example", "bob", "", TlsMode::None, ""};
    putRuleRow(rules.header(), TableId::Header, 1,
               makeRuleRow({"", "To does not contain", "bob - MailBox #3", "No", "Yes", "2"}));
    page(TableId::Header).refresh();
    page(TableId::Header).selectRow(1);
    whenModal<HeaderEditorDialog>([](HeaderEditorDialog& d) {
        EXPECT_TRUE(child<QWidget>(&d, "rbToNotContain")->property("checked").toBool());
        EXPECT_EQ(child<QComboBox>(&d, "cbMailbox")->currentText(),
                  QStringLiteral("3) bob - server pop.three.example"));
        EXPECT_EQ(child<QLineEdit>(&d, "edTo")->text(), QStringLiteral("bob"));
        EXPECT_FALSE(child<QWidget>(&d, "btCountry")->isVisible());
        click(&d, "btOK");
    });
    click(&page(TableId::Header), "btEditHeader");
    EXPECT_EQ(rules.header().cell(col::kMatches, 1), "bob - MailBox #3");
    EXPECT_EQ(rules.header().cell(col::kHits, 1), "2");
}

// Imported rules join the window's other edits: saved by its OK, dropped by its Cancel. An
// import, cancelled or not, saves nothing itself.
TEST_F(SpamWindowTest, ImportsAddRulesThatOnlyTheWindowsOKSaves) {
    window();
    whenModal<gui::ImportDialog>([](gui::ImportDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Import new keywords"));
        EXPECT_EQ(child<QLabel>(&d, "lbTitle")->text(), QStringLiteral("Import spam keywords"));
        d.box()->setPlainText(QStringLiteral("free\nfree\n  FREE \n\n"));
        click(&d, "btOK");
    });
    click(&page(TableId::Subject), "btImport");
    EXPECT_EQ(column(TableId::Subject, col::kMatches), (std::vector<std::string>{"free", "FREE"}));
    EXPECT_EQ(column(TableId::Subject, col::kWhat),
              (std::vector<std::string>{"Contains (whole word)", "Contains (whole word)"}));

    whenModal<gui::ImportDialog>([](gui::ImportDialog& d) {
        EXPECT_EQ(child<QLabel>(&d, "lbTitle")->text(), QStringLiteral("Import e-mail addresses"));
        d.box()->setPlainText(QStringLiteral("a@example.com\nb@example.com"));
        click(&d, "btOK");
    });
    click(&page(TableId::Exceptions), "btImportExceptions");
    EXPECT_EQ(column(TableId::Exceptions, col::kExceptMatches),
              (std::vector<std::string>{"a@example.com", "b@example.com"}));
    EXPECT_EQ(child<QLabel>(&page(TableId::Exceptions), "lbCountExcept")->text(),
              QStringLiteral("2"));

    child<QCheckBox>(&window(), "cbSmaller")->setChecked(true);
    whenModal<gui::ImportDialog>([](gui::ImportDialog& d) { d.reject(); });
    click(&page(TableId::Subject), "btImport");
    auto onDisk = [this] {
        auto saved = std::make_unique<RuleSet>(home.path());
        saved->readSettings();
        return saved;
    };
    EXPECT_TRUE(onDisk()->subject().isRowEmpty(1));
    EXPECT_TRUE(onDisk()->exceptions().isRowEmpty(1));
    EXPECT_FALSE(onDisk()->options().smallerOn);

    click(&window(), "btOK");
    EXPECT_EQ(onDisk()->subject(), rules.subject());
    EXPECT_EQ(onDisk()->exceptions(), rules.exceptions());
    EXPECT_TRUE(onDisk()->options().smallerOn);

    // Imported, then the window cancelled: the rows go again.
    window().show();
    whenModal<gui::ImportDialog>([](gui::ImportDialog& d) {
        d.box()->setPlainText(QStringLiteral("later"));
        click(&d, "btOK");
    });
    click(&page(TableId::Subject), "btImport");
    click(&window(), "btCancel");
    EXPECT_EQ(column(TableId::Subject, col::kMatches), (std::vector<std::string>{"free", "FREE"}));
    EXPECT_EQ(onDisk()->subject(), rules.subject());
}

class BlacklistTest : public SpamWindowTest {
protected:
    void SetUp() override {
        home.write("known.lst", "b.example\r\na.example\r\n");
        SpamWindowTest::SetUp();
        rules.LoadUpKnownList();
    }
    gui::KnownListPanel& panel() { return *window().knownPanel(); }
    QPlainTextEdit* memo() { return panel().view(); }
};

TEST_F(BlacklistTest, EditAndSaveRebuildTheListSorted) {
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("b.example\na.example"));
    EXPECT_TRUE(memo()->isReadOnly());
    EXPECT_FALSE(child<QWidget>(&panel(), "btSaveChanges")->isEnabled());
    click(&panel(), "btEdit");
    EXPECT_FALSE(memo()->isReadOnly());
    EXPECT_TRUE(child<QWidget>(&panel(), "btSaveChanges")->isEnabled());
    memo()->setPlainText(QStringLiteral("b\nA\na\n12345@spam.example\nc"));
    click(&panel(), "btSaveChanges");
    EXPECT_EQ(home.read("known.lst"), "A\r\nb\r\nc\r\n");
    EXPECT_EQ(rules.known().entries(), (std::vector<std::string>{"A", "b", "c"}));
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("A\nb\nc"));
    EXPECT_TRUE(memo()->isReadOnly());
    EXPECT_EQ(child<QLabel>(&panel(), "lbKnownCount")->text(), QStringLiteral("3"));
    EXPECT_FALSE(child<QWidget>(&panel(), "pnRebuilding")->isVisible());
}

TEST_F(BlacklistTest, CancelDropsTheEdit) {
    click(&panel(), "btEdit");
    memo()->setPlainText(QStringLiteral("typed.example"));
    click(&panel(), "btCancelChanges");
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("b.example\na.example"));
    EXPECT_TRUE(memo()->isReadOnly());
}

TEST_F(BlacklistTest, FailedSaveKeepsTheTypedTextAndOkStaysOpen) {
    click(&panel(), "btEdit");
    memo()->setPlainText(QStringLiteral("new.example"));
    auto full = std::make_optional<test::FullDisk>(); // every save fails until it goes
    MessageBox::takeShown();
    click(&panel(), "btSaveChanges");
    EXPECT_EQ(MessageBox::takeShown().size(), 1);
    EXPECT_FALSE(memo()->isReadOnly());
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("new.example"));

    click(&window(), "btOK");
    EXPECT_EQ(MessageBox::takeShown().size(), 1);
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("new.example"));

    full.reset();
    click(&window(), "btOK");
    EXPECT_EQ(window().result(), QDialog::Accepted);
    EXPECT_EQ(home.read("known.lst"), "new.example\r\n");
}

TEST_F(SpamWindowTest, MissingBlacklistCannotBeEdited) {
    gui::KnownListPanel& panel = *window().knownPanel();
    window().tabs()->setCurrentIndex(5);
    auto* notice = child<QLabel>(&panel, "pnRebuilding");
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->text(), QStringLiteral("Could not locate the known spammer blacklist!"));
    EXPECT_FALSE(child<QWidget>(&panel, "btEdit")->isVisible());
}

} // namespace
} // namespace mv::test
