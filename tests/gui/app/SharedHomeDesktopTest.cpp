// The desktop program and the real mailvane-cli on one home folder: the command line works while
// the desktop program is idle or has a settings window open, and what it wrote survives the
// desktop program's next check or settings save, even one of rules edited meanwhile. A save that
// cannot have the home lock says so and keeps the window's edits.
#include "app/settings/HomeLock.h"
#include "gui/app/DesktopFixture.h"
#include "gui/app/GeneralSettingsWindow.h"
#include "gui/screening/RuleTablePage.h"
#include "gui/screening/SpamSettingsWindow.h"
#include "screening/SubjectRulesOnDisk.h"

#include <QCheckBox>
#include <QProcess>

namespace mv::gui::test {
namespace {

class SharedHomeDesktopTest : public DesktopTest {
protected:
    // Runs mailvane-cli on this home to its end; its exit code (output shown on failure).
    int cli(const QStringList& words, const QByteArray& input = {}) {
        QProcess process;
        process.start(QStringLiteral(MAILVANE_CLI),
                      QStringList{"--home", QString::fromStdString(m_temp.dir().string())} + words);
        if (!process.waitForStarted()) return -1;
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(30000)) return -1;
        if (process.exitCode() != 0)
            ADD_FAILURE() << process.readAll().toStdString()
                          << process.readAllStandardError().toStdString();
        return process.exitCode();
    }
    int importKeyword(const std::string& keyword) {
        std::filesystem::path file = m_temp.dir() / "keywords.txt";
        writeFileAtomically(file, keyword + "\r\n");
        return cli({"rules", "import-keywords", QString::fromStdString(file.string())});
    }
    // The subject rules on disk as "pattern=hits".
    std::vector<std::string> subjectRulesOnDisk() const {
        return mv::test::subjectRulesOnDisk(m_temp.dir());
    }
    bool smallerOnDisk() const {
        RuleSet rules(m_temp.dir());
        rules.readSettings();
        return rules.options().smallerOn;
    }
    SettingsStore storeOnDisk() const { return SettingsStore(m_home.settingsFile()); }
    std::unique_ptr<SpamSettingsWindow> spamWindow() {
        CheckController& c = desktop().controller();
        auto window = std::make_unique<SpamSettingsWindow>(c.rules(), c.accounts(),
                                                           m_home.lockFile(), c.settings());
        window->show();
        return window;
    }
    std::unique_ptr<TfrmGeneral> generalWindow() {
        auto window = std::make_unique<TfrmGeneral>(desktop().controller(),
                                                    Environment{{"HOME", "/nonexistent"}},
                                                    std::vector<std::string>{});
        window->show();
        return window;
    }
    static void pressOK(QWidget& window) {
        auto* ok = window.findChild<QAbstractButton*>(QStringLiteral("btOK"));
        ASSERT_NE(ok, nullptr);
        QTest::mouseClick(ok, Qt::LeftButton);
    }
    static void tick(QWidget& window, const char* box) {
        auto* check = window.findChild<QCheckBox*>(QString::fromLatin1(box));
        ASSERT_NE(check, nullptr) << box;
        check->setChecked(!check->isChecked());
    }
};

TEST_F(SharedHomeDesktopTest, RuleAddedByTheCommandLineWhileIdleIsUsedAndKeptByTheNextCheck) {
    server->deliver(message("cheap viagra"));
    server->deliver(message("see you later"));
    desktop();

    ASSERT_EQ(importKeyword("later"), 0);
    click("btList");

    EXPECT_EQ(window().status(), "Message Total: 2 Number Marked: 2");
    EXPECT_EQ(subjectRulesOnDisk(), (std::vector<std::string>{"viagra=1", "maybe=0", "later=1"}));
    EXPECT_EQ(MessageBox::takeShown(), QStringList());
}

TEST_F(SharedHomeDesktopTest, SettingsSavedByTheDesktopKeepWhatTheCommandLineWrote) {
    desktop();
    ASSERT_EQ(cli({"accounts", "set", "2", "--server", "pop.other.example", "--user", "ann",
                   "--password-stdin"},
                  "pw\n"),
              0);
    ASSERT_EQ(importKeyword("later"), 0);

    const bool exitWas = m_settings.ReadGeneralSettings().exitWhenEmpty;
    auto general = generalWindow();
    tick(*general, "cbExit");
    pressOK(*general);
    EXPECT_FALSE(general->isVisible());

    auto spam = spamWindow();
    tick(*spam, "cbSmaller");
    pressOK(*spam);
    EXPECT_FALSE(spam->isVisible());

    SettingsStore stored = storeOnDisk();
    EXPECT_EQ(stored.ReadGeneralSettings().exitWhenEmpty, !exitWas);
    const MailboxAccounts accounts = stored.readServerSettings().accounts;
    EXPECT_EQ(accounts[2].server, "pop.other.example");
    EXPECT_EQ(accounts[2].user, "ann");
    EXPECT_EQ(accounts[1].server, server->plainServer());
    EXPECT_TRUE(smallerOnDisk());
    EXPECT_EQ(subjectRulesOnDisk(), (std::vector<std::string>{"viagra=0", "maybe=0", "later=0"}));
    EXPECT_EQ(MessageBox::takeShown(), QStringList());

    // And the command line still works after the desktop program's saves.
    EXPECT_EQ(cli({"accounts", "clear", "2"}), 0);
}

// The window shows the values as they were when it opened; OK writes only what was changed in it,
// so what the command line changed meanwhile stays, passwords and accounts included.
TEST_F(SharedHomeDesktopTest, GeneralSettingsOKKeepsWhatTheCommandLineChangedWhileItWasOpen) {
    desktop();
    auto general = generalWindow();
    ASSERT_EQ(cli({"accounts", "set", "2", "--server", "pop.other.example", "--user", "ann",
                   "--password-stdin"},
                  "pw\n"),
              0);
    ASSERT_EQ(cli({"accounts", "set", "1", "--password-stdin"}, "new-pw\n"), 0);
    ASSERT_EQ(cli({"options", "Minutes", "33"}), 0);

    const bool exitWas = m_settings.ReadGeneralSettings().exitWhenEmpty;
    tick(*general, "cbExit");
    pressOK(*general);
    EXPECT_FALSE(general->isVisible());

    SettingsStore stored = storeOnDisk();
    const GeneralSettings options = stored.ReadGeneralSettings();
    EXPECT_EQ(options.exitWhenEmpty, !exitWas);
    EXPECT_EQ(options.minutes, 33);
    const MailboxAccounts accounts = stored.readServerSettings().accounts;
    EXPECT_EQ(accounts[1].password, "new-pw");
    EXPECT_EQ(accounts[2].user, "ann");
    EXPECT_EQ(MessageBox::takeShown(), QStringList());
}

TEST_F(SharedHomeDesktopTest, RuleAddedByTheCommandLineWhileTheSpamWindowIsOpenSurvivesItsEdits) {
    desktop();
    auto spam = spamWindow();
    ASSERT_EQ(importKeyword("later"), 0);
    RuleTablePage& subjects = *spam->page(TableId::Subject);
    subjects.selectRow(2); // "maybe"
    auto* remove = subjects.findChild<QAbstractButton*>(QStringLiteral("btDelSubject"));
    ASSERT_NE(remove, nullptr);
    QTest::mouseClick(remove, Qt::LeftButton);
    pressOK(*spam);

    EXPECT_FALSE(spam->isVisible());
    EXPECT_EQ(subjectRulesOnDisk(), (std::vector<std::string>{"viagra=0", "later=0"}));
    EXPECT_EQ(MessageBox::takeShown(), QStringList());
}

TEST_F(SharedHomeDesktopTest, SaveWithoutTheLockSaysSoAndKeepsTheWindowOpenWithItsEdits) {
    desktop();
    const QString busy = "error: Another Mailvane program is using " +
                         QString::fromStdString(m_home.lockFile().parent_path().string()) +
                         "; try again when it has finished.";
    const bool exitWas = m_settings.ReadGeneralSettings().exitWhenEmpty;
    auto general = generalWindow();
    auto spam = spamWindow();
    tick(*general, "cbExit");
    tick(*spam, "cbSmaller");
    {
        HomeLock other(m_home.lockFile()); // another program in the middle of a save
        pressOK(*general);
        pressOK(*spam);
    }
    EXPECT_EQ(MessageBox::takeShown(), (QStringList{busy, busy}));
    EXPECT_TRUE(general->isVisible());
    EXPECT_TRUE(spam->isVisible());
    EXPECT_EQ(storeOnDisk().ReadGeneralSettings().exitWhenEmpty, exitWas);
    EXPECT_FALSE(smallerOnDisk());

    // Once the other program is done, the same OK saves the edits that were kept.
    pressOK(*general);
    pressOK(*spam);
    EXPECT_FALSE(general->isVisible());
    EXPECT_FALSE(spam->isVisible());
    EXPECT_EQ(storeOnDisk().ReadGeneralSettings().exitWhenEmpty, !exitWas);
    EXPECT_TRUE(smallerOnDisk());
}

} // namespace
} // namespace mv::gui::test
