// The spam settings window driven through its controls: inserting, editing, deleting, moving and
// sorting rules, typed cells, OK and Cancel against the files, the size and valid-domain pages,
// the filter box, keyboard use, printing and the remembered column widths.
#include "WindowDriver.h"

#include "gui/screening/KnownListPanel.h"
#include "gui/screening/RuleEditorDialogs.h"
#include "gui/widgets/Help.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/TablePrinter.h"
#include "screening/ExceptionEditor.h"
#include "screening/SpamSettings.h"
#include "support/FullDisk.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QUrl>

namespace mv::test {
namespace {

using gui::MessageBox;
using gui::SubjectEditorDialog;

// The subject editor, typed into and confirmed.
void typeSubjectRule(const QString& text) {
    whenModal<SubjectEditorDialog>([text](SubjectEditorDialog& d) {
        auto* field = d.findChild<QComboBox*>(QStringLiteral("edSubject"));
        field->setEditText(text);
        click(&d, "btOK");
    });
}

QString countLabel(RuleTablePage& page, const char* name) {
    auto* label = child<QLabel>(&page, name);
    return label ? label->text() : QString();
}

// A typed cell: the editor opened on the cell, the text typed, Enter.
void typeIntoCell(QTableView* view, int row, int column, const QString& text) {
    const QModelIndex index = view->model()->index(row, column);
    view->setCurrentIndex(index);
    view->edit(index);
    auto* line = view->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(line, nullptr);
    line->selectAll();
    QTest::keyClicks(line, text);
    QTest::keyClick(line, Qt::Key_Return);
    // The typed text is committed and the cell editor closed by queued calls.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(SpamWindowTest, InsertFillsTheEmptyRowThenLandsAboveTheSelection) {
    typeSubjectRule(QStringLiteral("free"));
    click(&page(TableId::Subject), "btAddSubject");
    EXPECT_EQ(column(TableId::Subject, col::kMatches), std::vector<std::string>{"free"});
    EXPECT_EQ(countLabel(page(TableId::Subject), "lbCountSubject"), QStringLiteral("1"));

    for (const char* text : {"c", "b", "a"}) {
        page(TableId::Subject).selectRow(1);
        typeSubjectRule(QString::fromLatin1(text));
        click(&page(TableId::Subject), "btAddSubject");
    }
    page(TableId::Subject).selectRow(3);
    typeSubjectRule(QStringLiteral("new"));
    click(&page(TableId::Subject), "btAddSubject");
    EXPECT_EQ(column(TableId::Subject, col::kMatches),
              (std::vector<std::string>{"a", "b", "new", "c", "free"}));
    EXPECT_EQ(page(TableId::Subject).selectedRow(), 3); // the selection is on the new rule
    EXPECT_EQ(countLabel(page(TableId::Subject), "lbCountSubject"), QStringLiteral("5"));
}

TEST_F(SpamWindowTest, DeleteOfTheOnlyRowEmptiesItAndTheCountStaysOne) {
    seedSubjects({"only"});
    click(&page(TableId::Subject), "btDelSubject");
    EXPECT_EQ(rules.subject().rowCount(), 2);
    EXPECT_TRUE(rules.subject().isRowEmpty(1));
    EXPECT_EQ(countLabel(page(TableId::Subject), "lbCountSubject"), QStringLiteral("1"));
}

TEST_F(SpamWindowTest, UpAndDownMoveTheRowAndTheSelectionFollows) {
    seedSubjects({"a", "b", "c"});
    RuleTablePage& p = page(TableId::Subject);
    p.selectRow(1);
    click(&p, "btDownSubject");
    EXPECT_EQ(column(TableId::Subject, col::kMatches), (std::vector<std::string>{"b", "a", "c"}));
    EXPECT_EQ(p.selectedRow(), 2);
    click(&p, "btUpSubject");
    click(&p, "btUpSubject"); // already on top: stays
    EXPECT_EQ(column(TableId::Subject, col::kMatches), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(p.selectedRow(), 1);
}

TEST_F(SpamWindowTest, OkRemovesOnlyNeighbouringDuplicatesAndSaves) {
    seedSubjects({"a", "b", "b", "d", "b"});
    click(&window(), "btOK");
    EXPECT_EQ(window().result(), QDialog::Accepted);
    EXPECT_EQ(column(TableId::Subject, col::kMatches),
              (std::vector<std::string>{"a", "b", "d", "b"}));
    RuleSet saved(home.path());
    saved.readSettings();
    EXPECT_EQ(saved.subject(), rules.subject());
}

TEST_F(SpamWindowTest, TypedHitsAreRefusedUnlessANumber) {
    seedSubjects({"a"});
    QTableView* view = page(TableId::Subject).view();
    const int hits = page(TableId::Subject).model()->modelColumn(col::kHits);
    struct Case {
        const char* typed;
        const char* kept;
    } cases[] = {{"12a", "0"}, {"-3", "0"}, {"", "0"}, {"7", "7"}, {"x", "7"}};
    for (const Case& c : cases) {
        typeIntoCell(view, 0, hits, QString::fromLatin1(c.typed));
        EXPECT_EQ(rules.subject().cell(col::kHits, 1), c.kept) << c.typed;
        EXPECT_EQ(view->model()->index(0, hits).data().toString(), QString::fromLatin1(c.kept));
    }
}

TEST_F(SpamWindowTest, OnlyTheAllowedCellsTakeTypedText) {
    window();
    struct Case {
        TableId table;
        int column;
        bool editable;
    } cases[] = {{TableId::Subject, col::kMatches, true},
                 {TableId::Subject, col::kWhat, false},
                 {TableId::Header, col::kMatches, false},
                 {TableId::Header, col::kHits, true},
                 {TableId::Sender, col::kSenderMatches, true},
                 {TableId::Sender, col::kDelete, false},
                 {TableId::Exceptions, col::kExceptMatches, true},
                 {TableId::Exceptions, col::kExceptWhat, false}};
    for (const Case& c : cases) {
        gui::RuleTableModel* model = page(c.table).model();
        const QModelIndex index = model->index(0, model->modelColumn(c.column));
        EXPECT_EQ(bool(model->flags(index) & Qt::ItemIsEditable), c.editable)
            << int(c.table) << " " << c.column;
    }
}

// Every way out of the window that is not OK: the button, Escape and the title bar's close.
struct CancelWay {
    const char* name;
    std::function<void(SpamSettingsWindow&)> leave;
};

void PrintTo(const CancelWay& way, std::ostream* os) {
    *os << way.name;
}

class SpamWindowCancelTest : public SpamWindowTest,
                             public ::testing::WithParamInterface<CancelWay> {};

TEST_P(SpamWindowCancelTest, CancelRestoresExactlyWhatTheFilesHold) {
    seedSubjects({"b", "a", "c"});
    rules.subject().setCell(col::kHits, 2, "9");
    ASSERT_TRUE(rules.Savesettings().empty());
    rules.readSettings();
    const RuleTable onDisk = rules.subject();

    RuleTablePage& p = page(TableId::Subject);
    typeIntoCell(p.view(), 0, p.model()->modelColumn(col::kHits), QStringLiteral("42"));
    typeSubjectRule(QStringLiteral("inserted"));
    click(&p, "btAddSubject");
    p.selectRow(3);
    click(&p, "btDelSubject");
    p.view()->horizontalHeader()->sectionClicked(p.model()->modelColumn(col::kHits));
    ASSERT_NE(rules.subject(), onDisk);

    GetParam().leave(window());
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(window().result(), QDialog::Rejected);
    EXPECT_EQ(rules.subject(), onDisk);
    EXPECT_EQ(p.model()->rowCount(), 3);
    EXPECT_EQ(countLabel(p, "lbCountSubject"), QStringLiteral("3"));
}

INSTANTIATE_TEST_SUITE_P(
    Ways, SpamWindowCancelTest,
    ::testing::Values(CancelWay{"Button", [](SpamSettingsWindow& w) { click(&w, "btCancel"); }},
                      CancelWay{"Escape",
                                [](SpamSettingsWindow& w) {
                                    RuleTablePage* p = w.page(TableId::Subject);
                                    p->view()->setFocus();
                                    QTest::keyClick(p->view(), Qt::Key_Escape);
                                }},
                      CancelWay{"Close", [](SpamSettingsWindow& w) { w.close(); }}),
    [](const ::testing::TestParamInfo<CancelWay>& info) { return std::string(info.param.name); });

// What makes the save of subj.lst fail, for as long as the returned holder lives.
struct SaveFault {
    const char* name;
    std::function<std::shared_ptr<void>(const std::filesystem::path& home)> cause;
};

void PrintTo(const SaveFault& fault, std::ostream* os) {
    *os << fault.name;
}

class SpamWindowSaveFaultTest : public SpamWindowTest,
                                public ::testing::WithParamInterface<SaveFault> {};

TEST_P(SpamWindowSaveFaultTest, OkThatCannotSaveTellsTheUserAndKeepsTheEdits) {
    seedSubjects({"a"});
    typeSubjectRule(QStringLiteral("kept"));
    page(TableId::Subject).selectRow(1);
    click(&page(TableId::Subject), "btAddSubject");
    MessageBox::takeShown();

    std::shared_ptr<void> fault = GetParam().cause(home.path());
    click(&window(), "btOK");
    const QStringList shown = MessageBox::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("error: "))) << shown[0].toStdString();
    EXPECT_TRUE(shown[0].contains(QStringLiteral("subj.lst"))) << shown[0].toStdString();
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(window().result(), 0);
    EXPECT_EQ(column(TableId::Subject, col::kMatches), (std::vector<std::string>{"kept", "a"}));

    // Once the cause is gone the kept edits are what OK saves.
    fault.reset();
    click(&window(), "btOK");
    EXPECT_EQ(window().result(), QDialog::Accepted);
    RuleSet saved(home.path());
    saved.readSettings();
    EXPECT_EQ(saved.subject(), rules.subject());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SpamWindowSaveFaultTest,
    ::testing::Values(
        // A folder where the table file belongs: the rename of a fresh file over it fails.
        SaveFault{"BlockedFile",
                  [](const std::filesystem::path& home) {
                      std::filesystem::remove(home / "subj.lst");
                      std::filesystem::create_directory(home / "subj.lst");
                      return std::shared_ptr<void>(
                          nullptr, [home](void*) { std::filesystem::remove(home / "subj.lst"); });
                  }},
        SaveFault{"FullDisk",
                  [](const std::filesystem::path&) {
                      return std::shared_ptr<void>(std::make_shared<FullDisk>());
                  }}),
    [](const ::testing::TestParamInfo<SaveFault>& info) { return std::string(info.param.name); });

TEST_F(SpamWindowTest, SortingByHitsIsNumericAndOnlyListedHeadingsSort) {
    seedSubjects({"x", "y", "z"});
    rules.subject().setCell(col::kHits, 1, "10");
    rules.subject().setCell(col::kHits, 2, "9");
    rules.subject().setCell(col::kHits, 3, "100");
    RuleTablePage& p = page(TableId::Subject);
    p.refresh();
    QHeaderView* heading = p.view()->horizontalHeader();
    heading->sectionClicked(p.model()->modelColumn(col::kWhat)); // not sortable: nothing moves
    EXPECT_EQ(column(TableId::Subject, col::kMatches), (std::vector<std::string>{"x", "y", "z"}));
    heading->sectionClicked(p.model()->modelColumn(col::kHits));
    EXPECT_EQ(column(TableId::Subject, col::kMatches), (std::vector<std::string>{"y", "x", "z"}));
    EXPECT_EQ(p.view()->model()->index(0, p.model()->modelColumn(col::kMatches)).data(),
              QVariant(QStringLiteral("y")));
}

TEST_F(SpamWindowTest, MatchesCellsAreBoldForDeleteRulesAndBlueForQuestions) {
    seedSubjects({"gone", "maybe"});
    rules.subject().setCell(col::kDelete, 2, std::string(kNo));
    gui::RuleTableModel* model = page(TableId::Subject).model();
    model->refresh();
    const int matches = model->modelColumn(col::kMatches);
    EXPECT_TRUE(model->index(0, matches).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(model->index(0, matches).data(Qt::ForegroundRole).isValid());
    EXPECT_FALSE(model->index(1, matches).data(Qt::FontRole).isValid());
    EXPECT_EQ(model->index(1, matches).data(Qt::ForegroundRole).value<QBrush>().color(),
              QColor(Qt::blue));
    const int hits = model->modelColumn(col::kHits);
    EXPECT_TRUE(model->index(0, hits).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight);

    // Exceptions have no delete switch: their Matches are always bold, never blue.
    ExceptionEditor exception;
    exception.address = "friend@example.com";
    writeEditor(rules.exceptions(), rowForAppend(rules.exceptions(), TableId::Exceptions),
                exception);
    gui::RuleTableModel* exceptions = page(TableId::Exceptions).model();
    exceptions->refresh();
    const QModelIndex address = exceptions->index(0, exceptions->modelColumn(col::kExceptMatches));
    ASSERT_EQ(address.data(), QVariant(QStringLiteral("friend@example.com")));
    EXPECT_TRUE(address.data(Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(address.data(Qt::ForegroundRole).isValid());
}

TEST_F(SpamWindowTest, EditOfAnEmptyRowIsRefused) {
    window();
    struct Case {
        TableId table;
        const char* button;
        const char* kind;
    } cases[] = {{TableId::Subject, "btEditSubject", "error: "},
                 {TableId::Sender, "btEditFrom", "information: "},
                 {TableId::Exceptions, "btEditExcept", "error: "}};
    for (const Case& c : cases) {
        MessageBox::takeShown();
        click(&page(c.table), c.button);
        EXPECT_EQ(MessageBox::takeShown(),
                  QStringList{QLatin1String(c.kind) + "Error: nothing selected to edit"});
    }
}

TEST_F(SpamWindowTest, SizeControlsFollowTheirSwitchesAndLimits) {
    auto* smaller = child<QCheckBox>(&window(), "cbSmaller");
    auto* larger = child<QCheckBox>(&window(), "cbLarger");
    auto* smallerLimit = child<QSpinBox>(&window(), "edSmaller");
    auto* largerLimit = child<QSpinBox>(&window(), "edLarger");
    auto* smallerCheck = child<QRadioButton>(&window(), "rbSmallerCheck");
    auto* largerQuestion = child<QRadioButton>(&window(), "rbLargerQuestion");
    EXPECT_FALSE(smallerLimit->isEnabled());
    EXPECT_FALSE(smallerCheck->isEnabled());
    smaller->click();
    EXPECT_TRUE(smallerLimit->isEnabled());
    EXPECT_TRUE(smallerCheck->isEnabled());
    EXPECT_FALSE(largerQuestion->isEnabled());
    larger->click();
    EXPECT_TRUE(largerLimit->isEnabled());
    EXPECT_TRUE(largerQuestion->isEnabled());
    EXPECT_EQ(smallerLimit->maximum(), 100000);
    EXPECT_EQ(smallerLimit->singleStep(), 1);
    EXPECT_EQ(largerLimit->maximum(), 99999999);
    EXPECT_EQ(largerLimit->singleStep(), 100);
    EXPECT_EQ(smallerLimit->value(), 100);
    EXPECT_EQ(largerLimit->value(), 20000);

    largerLimit->setValue(50000);
    largerQuestion->click();
    click(&window(), "btOK");
    RuleSet saved(home.path());
    saved.readSettings();
    EXPECT_TRUE(saved.options().smallerOn);
    EXPECT_TRUE(saved.options().largerOn);
    EXPECT_EQ(saved.options().largerLimit, 50000);
    EXPECT_FALSE(saved.options().largerDeletes);
}

TEST_F(SpamWindowTest, ValidDomainsPanelAndResetCounter) {
    rules.options().unknownDomainCount = "17";
    auto* valid = child<QCheckBox>(&window(), "cbValid");
    QWidget* panel = child<QWidget>(&window(), "pnValid");
    window().tabs()->setCurrentIndex(6);
    ASSERT_TRUE(valid->isChecked());
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(child<QLabel>(&window(), "lbUnknownCount")->text(), QStringLiteral("17"));
    valid->click();
    EXPECT_FALSE(panel->isVisible());
    valid->click();

    MessageBox::queueAnswer(false);
    click(&window(), "btClear");
    EXPECT_EQ(child<QLabel>(&window(), "lbUnknownCount")->text(), QStringLiteral("17"));
    MessageBox::queueAnswer(true);
    click(&window(), "btClear");
    EXPECT_EQ(MessageBox::takeShown().back(),
              QStringLiteral("question: Really clear out unknown count?"));
    EXPECT_EQ(child<QLabel>(&window(), "lbUnknownCount")->text(), QStringLiteral("0"));
    EXPECT_EQ(rules.options().unknownDomainCount, "0");
}

TEST_F(SpamWindowTest, PagesInOrderAndHelpOpensItsTopic) {
    QStringList tabs;
    for (int i = 0; i < window().tabs()->count(); ++i)
        tabs << window().tabs()->tabText(i);
    EXPECT_EQ(tabs, (QStringList{"Subject", "Headers", "Sender", "Size", "Exceptions", "BlackList",
                                 "Valid Domains"}));
    EXPECT_EQ(window().tabs()->currentIndex(), 0);
    EXPECT_EQ(window().windowTitle(), QStringLiteral("Spam Settings"));
    QUrl opened;
    gui::setHelpOpener([&](const QUrl& url) {
        opened = url;
        return true;
    });
    MessageBox::takeShown();
    click(&window(), "btHelp");
    gui::setHelpOpener({});
    // Where the help pages are not installed, the user is told which page is missing.
    const QString page = gui::helpPage(gui::HelpTopic::SpamSettings);
    EXPECT_TRUE(opened.toString().endsWith(page) ||
                MessageBox::takeShown() ==
                    QStringList{QStringLiteral("error: Unable to open help file - %1.").arg(page)})
        << opened.toString().toStdString();
}

TEST_F(SpamWindowTest, FilterBoxShowsMatchingRulesAndCommandsActOnTheShownRow) {
    seedSubjects({"free money", "casino", "money back"});
    RuleTablePage& p = page(TableId::Subject);
    auto* filter = child<QLineEdit>(&p, "edFilterSubject");
    QTest::keyClicks(filter, QStringLiteral("MONEY"));
    EXPECT_EQ(p.view()->model()->rowCount(), 2);
    p.view()->setCurrentIndex(p.view()->model()->index(1, 2));
    EXPECT_EQ(p.selectedRow(), 3);
    click(&p, "btDelSubject");
    EXPECT_EQ(column(TableId::Subject, col::kMatches),
              (std::vector<std::string>{"free money", "casino"}));
    filter->clear();
    EXPECT_EQ(p.view()->model()->rowCount(), 2);

    // A filter that hides every rule leaves nothing for Delete to act on.
    QTest::keyClicks(filter, QStringLiteral("nothing like this"));
    EXPECT_EQ(p.view()->model()->rowCount(), 0);
    click(&p, "btDelSubject");
    EXPECT_EQ(rules.subject().rowCount(), 3);
}

TEST_F(SpamWindowTest, TestBoxExplainsWhichRulesATypedTextMeets) {
    seedSubjects({"free", "casino"});
    RuleTablePage& p = page(TableId::Subject);
    auto* result = child<QPlainTextEdit>(&p, "memoTestSubject");
    EXPECT_FALSE(result->isVisible());
    QTest::keyClicks(child<QLineEdit>(&p, "edTestSubject"), QStringLiteral("Get it FREE"));
    EXPECT_TRUE(result->isVisible());
    EXPECT_TRUE(
        result->toPlainText().contains(QStringLiteral("Delete   :  Subject Contains \"free\"")))
        << result->toPlainText().toStdString();
    EXPECT_FALSE(result->toPlainText().contains(QStringLiteral("casino")));
    EXPECT_EQ(rules.subject().cell(col::kHits, 1), "0"); // a test is no hit

    // The sender page tests addresses against the sender rules only.
    RuleTablePage& sender = page(TableId::Sender);
    QTest::keyClicks(child<QLineEdit>(&sender, "edTestFrom"), QStringLiteral("free@x.example"));
    EXPECT_TRUE(child<QPlainTextEdit>(&sender, "memoTestFrom")
                    ->toPlainText()
                    .contains(QStringLiteral("neither on the exception list")));
}

TEST_F(SpamWindowTest, EnterInTheFilterAndTestBoxesNeitherSavesNorCloses) {
    seedSubjects({"free"});
    struct Case {
        TableId table;
        const char* box;
    } cases[] = {{TableId::Subject, "edFilterSubject"},
                 {TableId::Subject, "edTestSubject"},
                 {TableId::Sender, "edFilterFrom"},
                 {TableId::Sender, "edTestFrom"}};
    typeSubjectRule(QStringLiteral("unsaved"));
    click(&page(TableId::Subject), "btAddSubject");
    for (const Case& c : cases) {
        window().tabs()->setCurrentWidget(&page(c.table));
        auto* box = child<QLineEdit>(&page(c.table), c.box);
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("free"));
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter})
            QTest::keyClick(box, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        EXPECT_TRUE(window().isVisible()) << c.box;
        EXPECT_EQ(window().result(), 0) << c.box;
        EXPECT_EQ(box->text(), QStringLiteral("free")) << c.box;
        box->clear();
    }
    RuleSet saved(home.path());
    saved.readSettings();
    EXPECT_NE(saved.subject(), rules.subject()); // the inserted rule waits for OK
}

TEST_F(SpamWindowTest, DoubleClickOnARuleOpensItsEditor) {
    seedSubjects({"first", "second"});
    RuleTablePage& p = page(TableId::Subject);
    QString shown;
    whenModal<SubjectEditorDialog>([&shown](SubjectEditorDialog& d) {
        shown = d.findChild<QComboBox*>(QStringLiteral("edSubject"))->currentText();
        click(&d, "btCancel");
    });
    const QModelIndex cell = p.view()->model()->index(1, p.model()->modelColumn(col::kWhat));
    // A double click is a click, then a second press the system reports as a double click.
    const QPoint where = p.view()->visualRect(cell).center();
    QTest::mouseClick(p.view()->viewport(), Qt::LeftButton, {}, where);
    QTest::mouseDClick(p.view()->viewport(), Qt::LeftButton, {}, where);
    EXPECT_EQ(shown, QStringLiteral("second"));
    EXPECT_EQ(p.selectedRow(), 2);
}

TEST_F(SpamWindowTest, KeyboardInsertsDeletesAndMoves) {
    seedSubjects({"a", "b"});
    RuleTablePage& p = page(TableId::Subject);
    p.selectRow(1);
    p.view()->setFocus();
    QTest::keyClick(p.view(), Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(column(TableId::Subject, col::kMatches), (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(p.selectedRow(), 2);
    typeSubjectRule(QStringLiteral("typed"));
    QTest::keyClick(p.view(), Qt::Key_Insert);
    EXPECT_EQ(column(TableId::Subject, col::kMatches),
              (std::vector<std::string>{"b", "typed", "a"}));
    whenModal<SubjectEditorDialog>([](SubjectEditorDialog& d) {
        EXPECT_EQ(d.findChild<QComboBox*>(QStringLiteral("edSubject"))->currentText(),
                  QStringLiteral("typed"));
        click(&d, "btCancel");
    });
    QTest::keyClick(p.view(), Qt::Key_F2);
    QTest::keyClick(p.view(), Qt::Key_Delete);
    EXPECT_EQ(column(TableId::Subject, col::kMatches), (std::vector<std::string>{"b", "a"}));
}

TEST_F(SpamWindowTest, ColumnWidthsAreRememberedPerTable) {
    page(TableId::Sender).view()->setColumnWidth(3, 177);
    closeWindow();
    // Kept with the settings, where another program's saves leave them alone.
    EXPECT_EQ(SettingsStore(home / "settings.ini").readValue("Sender", "col3", 0), 177);
    EXPECT_EQ(page(TableId::Sender).view()->columnWidth(3), 177);
}

QString pdfText(const QString& file) {
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-layout"), file, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(30000)) return {};
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

TEST_F(SpamWindowTest, PrintedTableHoldsItsTitleAndRules) {
    seedSubjects({"lottery winner", "cheap pills"});
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("subjects.pdf"));
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    gui::printTable(printer, QString::fromUtf8(printTitle(TableId::Subject).data()),
                    *page(TableId::Subject).model());
    const QString text = pdfText(file);
    if (text.isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    EXPECT_TRUE(text.contains(QStringLiteral("Mailvane - Subject Line Settings")));
    EXPECT_TRUE(text.contains(QStringLiteral("Matches")));
    for (const char* rule : {"lottery winner", "cheap pills"})
        EXPECT_TRUE(text.contains(QLatin1String(rule))) << rule;
    EXPECT_TRUE(text.contains(QStringLiteral("Contains")));
}

} // namespace
} // namespace mv::test
