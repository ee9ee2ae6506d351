// The "General settings" window driven as a user would, offscreen, over a real settings store,
// rule set and controller in a temporary home: what it fills in on showing, what OK stores and
// asks, what Cancel puts back, the alarm test and the activity-log buttons; and, run through
// tests/support/with-keyring.sh, the passwords it and the command line keep in the keyring.
#include "gui/app/GeneralSettingsWindow.h"
#include "app/CheckController.h"
#include "app/RecordingView.h"
#include "app/settings/MailProgramHomes.h"
#include "app/settings/PasswordKeyring.h"
#include "base/Files.h"
#include "base/IniFile.h"
#include "cli/CliRunner.h"
#include "gui/ModalWindows.h"
#include "gui/app/SecurityDialog.h"
#include "gui/widgets/FileDialog.h"
#include "gui/widgets/Help.h"
#include "gui/widgets/MessageBox.h"
#include "screening/RuleRows.h"
#include "support/ServerRequired.h"
#include "support/TestAccount.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace mv::gui {
namespace {

namespace fs = std::filesystem;
using test::MailProgramHome;

const QString kOverDelete = QStringLiteral(
    "warning: Just a warning that you selected to automatically delete marked messages without "
    "confirmation.  It is possible to OVER delete by using this setting.");
const QString kRestart =
    QStringLiteral("information: Exit and restart for the Start Up changes to take effect.");
const char* const kHeaderRule = "To does not contain";

// Sound requests as lines, stops included.
class SoundRecorder : public test::RecordingPlatform {
public:
    void stopSound() override { calls.push_back("stop"); }
};

class GeneralSettingsTest : public ::testing::Test {
protected:
    GeneralSettingsTest() { MessageBox::takeShown(); }
    ~GeneralSettingsTest() override { MessageBox::takeShown(); }

    const HomeFolder& home() const { return m_home; }
    SettingsStore& store() {
        if (!m_store) {
            home().create();
            m_store = std::make_unique<SettingsStore>(home().settingsFile());
            m_store->usePasswordKeyring(m_keyring);
        }
        return *m_store;
    }
    // A program start: the controller reads the store and the rule files afresh.
    CheckController& restart() {
        m_window.reset();
        m_controller.reset();
        m_store.reset();
        return controller();
    }
    CheckController& controller() {
        if (!m_controller) {
            m_controller = std::make_unique<CheckController>(home(), store(), m_view, m_sound,
                                                             m_clock, m_regional);
            m_controller->startUp();
        }
        return *m_controller;
    }
    // A fresh window, shown.
    TfrmGeneral& open(std::vector<std::string> rasEntries = {}) {
        m_window.reset();
        m_window = std::make_unique<TfrmGeneral>(controller(), m_programs.environment(),
                                                 std::move(rasEntries));
        m_window->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
        return *m_window;
    }
    template <class W> W* control(const char* name) const {
        W* widget = m_window->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QLineEdit* edit(const char* name) const { return control<QLineEdit>(name); }
    // Brings the page holding `widget` to the front, as a user would before touching it.
    void reveal(QWidget* widget) const {
        auto* pages = control<QTabWidget>("PageControl1");
        for (int i = 0; i < pages->count(); ++i)
            if (pages->widget(i)->isAncestorOf(widget)) pages->setCurrentIndex(i);
    }
    void click(const char* name) const {
        auto* button = control<QAbstractButton>(name);
        reveal(button);
        // Near the left edge: a check box or radio button answers only on its mark and text,
        // which a stretched one does not centre.
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
    }
    void type(const char* name, const QString& text) const {
        reveal(edit(name));
        edit(name)->clear();
        QTest::keyClicks(edit(name), text);
    }
    void check(const char* name, bool on) const {
        auto* box = control<QAbstractButton>(name);
        if (box->isChecked() != on) click(name);
    }
    void pressOK() const { click("btOK"); }
    int headerRulesFor(const std::string& matches) {
        const RuleTable& header = controller().rules().header();
        int count = 0;
        for (int row = 1; row < header.rowCount(); ++row)
            count += header.cell(1, row) == kHeaderRule && header.cell(2, row) == matches;
        return count;
    }
    void storeAccount(int n, const MailboxAccount& account) {
        ASSERT_FALSE(store().saveAccount(n, account).problem);
    }

    MailProgramHome m_programs;
    HomeFolder m_home{m_programs.dir() / "mailvane"};
    std::shared_ptr<PasswordKeyring> m_keyring; // none unless a test chooses one
    std::unique_ptr<SettingsStore> m_store;
    test::RecordingView m_view;
    SoundRecorder m_sound;
    FixedClock m_clock{*encodeDate(1998, 3, 16) + *encodeTime(17, 4)};
    RegionalSettings m_regional = RegionalSettings::usEnglish();
    std::unique_ptr<CheckController> m_controller;
    std::unique_ptr<TfrmGeneral> m_window;
};

TEST_F(GeneralSettingsTest, FirstShowingTakesMailbox1FromThunderbirdAndAddsTheHeaderRuleOnce) {
    m_programs.installThunderbird();
    open();
    EXPECT_EQ(edit("edServe1")->text(), "pop.example.net");
    EXPECT_EQ(edit("edName1")->text(), "ann.other@example.net");
    EXPECT_EQ(control<QAbstractButton>("btSecurity1")->text(), "TLS");
    const std::string matches = "ann.other@example.net - MailBox #1";
    const RuleTable& header = controller().rules().header();
    EXPECT_EQ(header.cell(1, 1), kHeaderRule);
    EXPECT_EQ(header.cell(2, 1), matches);
    EXPECT_NE(readFile(home().programFile("header.lst")).value_or("").find(matches),
              std::string::npos);

    // Shown again, closed with Cancel (mailbox 1 is still empty in the store), then after a
    // restart: the rule is there once.
    m_window->hide();
    m_window->show();
    click("btCancel");
    open();
    EXPECT_EQ(headerRulesFor(matches), 1);
    restart();
    open();
    EXPECT_EQ(headerRulesFor(matches), 1);
}

// A check on a first run opens the window over its "no user name" message: the header rule is
// added then too, though the window opens from inside the check.
TEST_F(GeneralSettingsTest, TheHeaderRuleIsAddedWhenACheckOpensTheWindowOnAFirstRun) {
    m_programs.installThunderbird();
    m_view.onSettings = [this] {
        open();
        click("btCancel");
    };
    EXPECT_EQ(controller().btListClick(), CheckOutcome::NotRun);
    EXPECT_TRUE(m_view.saw("settings window"));
    EXPECT_EQ(headerRulesFor("ann.other@example.net - MailBox #1"), 1);
}

TEST_F(GeneralSettingsTest, TheHeaderRuleGoesOntoTheRulesAnotherProgramSavedMeanwhile) {
    m_programs.installThunderbird();
    controller(); // started before the other program saved
    RuleSet other(home().programDir());
    other.readSettings();
    putRuleRow(other.header(), TableId::Header, rowForAppend(other.header(), TableId::Header),
               {"", "Contains", "X-Junk-Flag", std::string(kYes), std::string(kNo), "0"});
    ASSERT_EQ(other.Savesettings(), std::vector<std::string>());

    open();
    RuleSet onDisk(home().programDir());
    onDisk.readSettings();
    std::vector<std::string> matches;
    for (int row = 1; row < onDisk.header().rowCount(); ++row)
        matches.push_back(onDisk.header().cell(col::kMatches, row));
    EXPECT_EQ(matches,
              (std::vector<std::string>{"ann.other@example.net - MailBox #1", "X-Junk-Flag"}));
    EXPECT_EQ(MessageBox::takeShown(), QStringList());
}

TEST_F(GeneralSettingsTest, EachShowingReadsWhatAnotherProgramStoredMeanwhile) {
    storeAccount(1, test::testAccount("pop.example", "me", "pw"));
    open();
    m_window->hide();
    SettingsStore other(home().settingsFile());
    other.writeInteger(Setting::Minutes, 33);
    ASSERT_FALSE(other.saveAccount(2, test::testAccount("pop.two.example", "two", "pw2")).problem);

    m_window->show();
    EXPECT_EQ(control<QSpinBox>("nMinutes")->value(), 33);
    EXPECT_EQ(edit("edServe2")->text(), "pop.two.example");
    EXPECT_EQ(edit("edPass2")->text(), "pw2");
    pressOK();
    EXPECT_EQ(m_window->result(), QDialog::Accepted);
    SettingsStore onDisk(home().settingsFile());
    EXPECT_EQ(onDisk.ReadGeneralSettings().minutes, 33);
    EXPECT_EQ(onDisk.readServerSettings().accounts[2].user, "two");
}

TEST_F(GeneralSettingsTest, EachKnownMailProgramFillsMailbox1) {
    struct Case {
        void (MailProgramHome::*install)() const;
        const char* server;
        const char* user;
    };
    const Case cases[] = {
        {&MailProgramHome::installEvolution, "mail.example.com", "bob"},
        {&MailProgramHome::installClawsMail, "pop3.example.org:1110", "carol"},
    };
    for (const Case& c : cases) {
        MailProgramHome programs;
        (programs.*c.install)();
        SettingsStore settings(programs.dir() / "settings.ini");
        CheckController checker(HomeFolder(programs.dir()), settings, m_view, m_sound, m_clock,
                                m_regional);
        checker.startUp();
        TfrmGeneral window(checker, programs.environment(), {});
        window.show();
        EXPECT_EQ(window.findChild<QLineEdit*>("edServe1")->text(), c.server);
        EXPECT_EQ(window.findChild<QLineEdit*>("edName1")->text(), c.user);
        EXPECT_EQ(checker.rules().header().cell(2, 1), std::string(c.user) + " - MailBox #1");
    }
}

TEST_F(GeneralSettingsTest, NoHeaderRuleWithoutAUserNameNorOverAStoredMailbox1) {
    open(); // nothing installed: mailbox 1 stays empty
    EXPECT_EQ(edit("edName1")->text(), "");
    EXPECT_EQ(headerRulesFor(" - MailBox #1"), 0);

    // Mailbox 1 already set up: another mail program is not asked, and no rule is added.
    m_programs.installThunderbird();
    storeAccount(1, test::testAccount("pop.mine.example", "me", "pw"));
    restart();
    open();
    EXPECT_EQ(edit("edServe1")->text(), "pop.mine.example");
    EXPECT_EQ(headerRulesFor("me - MailBox #1"), 0);
}

TEST_F(GeneralSettingsTest, TheOverDeleteWarningOnlyWhenKillIsNewlyOnInAutomaticMode) {
    storeAccount(1, test::testAccount("pop.example", "me", "pw"));
    open();
    click("rbAuto");
    check("cbKill", true);
    click("rbManual");
    pressOK(); // manual mode: no warning
    open();
    click("rbAuto");
    pressOK(); // Kill was already on when shown
    open();
    check("cbKill", false);
    pressOK();
    EXPECT_EQ(MessageBox::takeShown(), QStringList());

    open();
    check("cbKill", true);
    type("edServe2", "pop2.example"); // a faulty row keeps the window open
    pressOK();
    EXPECT_EQ(
        MessageBox::takeShown(),
        (QStringList{kOverDelete, "error: Mailbox 2 has a server pop2.example but no mailbox"}));
    type("edServe2", "");
    pressOK(); // warned at the first OK: no second warning
    EXPECT_EQ(MessageBox::takeShown(), QStringList());
    EXPECT_EQ(m_window->result(), QDialog::Accepted);
    EXPECT_TRUE(store().ReadGeneralSettings().kill);
}

TEST_F(GeneralSettingsTest, ChangingTheTrayOptionAsksForARestart) {
    storeAccount(1, test::testAccount("pop.example", "me", "pw"));
    for (bool on : {true, false}) {
        open();
        click("cbSysTray");
        pressOK();
        EXPECT_EQ(MessageBox::takeShown(), QStringList{kRestart});
        EXPECT_EQ(store().ReadGeneralSettings().sysTray, on);
    }
    open();
    pressOK();
    EXPECT_EQ(MessageBox::takeShown(), QStringList());
}

TEST_F(GeneralSettingsTest, KillHidesTheSoundPanelAndTheModeChoosesThePanel) {
    open();
    click("rbAuto");
    EXPECT_TRUE(control<QWidget>("pnlAuto")->isVisible());
    EXPECT_FALSE(control<QWidget>("pnlManual")->isVisible());
    check("cbKill", true);
    EXPECT_FALSE(control<QWidget>("pnlSound")->isVisible());
    check("cbKill", false);
    EXPECT_TRUE(control<QWidget>("pnlSound")->isVisible());
    click("rbManual");
    EXPECT_TRUE(control<QWidget>("pnlManual")->isVisible());
    EXPECT_FALSE(control<QWidget>("pnlAuto")->isVisible());
}

TEST_F(GeneralSettingsTest, TheAlarmTestTurnsIntoStopOnlyWhileARepeatingSoundPlays) {
    const std::string wav = (m_programs.dir() / "ring.wav").string();
    writeFileAtomically(wav, "RIFF");
    struct Case {
        bool repeat;
        bool fileExists;
        const char* afterFirst;
        std::vector<std::string> sounds; // after the first click
    };
    const Case cases[] = {
        {true, true, "Stop", {"play " + wav + " looped"}},
        {false, true, "Test", {"play " + wav}},
        {true, false, "Stop", {}},
        {false, false, "Test", {}},
    };
    for (const Case& c : cases) {
        open();
        click("rbAuto");
        check("cbRepeat", c.repeat);
        type("edAlarm", QString::fromStdString(c.fileExists ? wav : wav + ".gone"));
        m_sound.calls.clear();
        click("sbTest");
        EXPECT_EQ(control<QPushButton>("sbTest")->text(), c.afterFirst) << c.repeat << c.fileExists;
        EXPECT_EQ(m_sound.calls, c.sounds) << c.repeat << c.fileExists;
        if (std::string(c.afterFirst) != "Stop") continue;
        click("sbTest");
        EXPECT_EQ(control<QPushButton>("sbTest")->text(), "Test");
        EXPECT_EQ(m_sound.calls.size(), c.sounds.size() + (c.fileExists ? 1 : 0));
    }
    // A repeating alarm stops when the window closes.
    open();
    click("rbAuto");
    check("cbRepeat", true);
    type("edAlarm", QString::fromStdString(wav));
    click("sbTest");
    m_sound.calls.clear();
    click("btCancel");
    EXPECT_EQ(m_sound.calls, std::vector<std::string>{"stop"});
}

TEST_F(GeneralSettingsTest, AFaultyMailboxKeepsTheWindowOpenOnItsField) {
    struct Case {
        const char* server;
        const char* user;
        const char* password;
        const char* focus;
        QString message;
    };
    const Case cases[] = {
        {"pop bad.example", "me", "pw", "edServe4",
         "error: Mailbox 4: the server must be host, host:port or [IPv6]:port, not pop "
         "bad.example"},
        {"pop.example:70000", "me", "pw", "edServe4",
         "error: Mailbox 4: the server must be host, host:port or [IPv6]:port, not "
         "pop.example:70000"},
        {"pop.example", "", "pw", "edName4",
         "error: Mailbox 4 has a server pop.example but no mailbox"},
        {"", "me", "pw", "edServe4", "error: Mailbox 4 me has a blank server"},
        {"pop.example", "me", "", "edPass4", "error: Mailbox 4 - there is no password set"},
    };
    storeAccount(1, test::testAccount("pop.one.example", "one", "pw1"));
    const std::string before = readFile(store().path()).value();
    for (const Case& c : cases) {
        open();
        type("edServe4", c.server);
        type("edName4", c.user);
        type("edPass4", c.password);
        control<QTabWidget>("PageControl1")->setCurrentIndex(2);
        pressOK();
        EXPECT_EQ(MessageBox::takeShown(), QStringList{c.message}) << c.server;
        EXPECT_TRUE(m_window->isVisible());
        EXPECT_EQ(m_window->result(), 0);
        EXPECT_EQ(control<QTabWidget>("PageControl1")->currentIndex(), 0);
        EXPECT_EQ(QApplication::focusWidget(), edit(c.focus)) << c.server;
    }
    // A refused row writes nothing: neither the options nor the rows before or after it, so
    // Cancel then leaves everything as it was.
    open();
    control<QSpinBox>("nMinutes")->setValue(42);
    type("edServe3", "pop3.example");
    type("edName3", "three");
    type("edPass3", "pw3");
    type("edServe4", "");
    type("edName4", "x");
    pressOK();
    MessageBox::takeShown();
    click("btCancel");
    EXPECT_EQ(readFile(store().path()).value(), before);
}

// OK's boxes wait for the user. Exit, or hiding to the tray, rejects every open window meanwhile,
// which empties the password fields: that OK must not store them.
TEST_F(GeneralSettingsTest, AnOKWhoseWindowWasClosedUnderItsBoxSavesNothing) {
    storeAccount(1, test::testAccount("pop.example", "me", "pw"));
    const std::string before = readFile(store().path()).value();
    open();
    click("cbSysTray"); // OK shows the restart notice first
    MessageBox::setTestMode(false);
    mv::test::whenModal<QMessageBox>([this](QMessageBox& box) {
        m_window->reject();
        box.accept();
    });
    pressOK();
    MessageBox::setTestMode(true);
    EXPECT_EQ(readFile(store().path()).value(), before);
    EXPECT_EQ(store().readServerSettings().accounts[1].password, "pw");
}

TEST_F(GeneralSettingsTest, CancelPutsTheStoredValuesBack) {
    storeAccount(1, test::testAccount("pop.example", "me", "pw"));
    store().writeInteger(Setting::Minutes, 15);
    const std::string before = readFile(store().path()).value();
    open();
    type("edServe1", "changed.example");
    click("rb3");
    click("rbAuto");
    control<QSpinBox>("nMinutes")->setValue(300);
    check("cbKill", true);
    click("rbQuarter");
    type("edMail", "other-mailer");
    click("btCancel");
    EXPECT_EQ(m_window->result(), QDialog::Rejected);
    EXPECT_EQ(readFile(store().path()).value(), before);
    EXPECT_EQ(edit("edServe1")->text(), "pop.example");
    EXPECT_TRUE(control<QRadioButton>("rb1")->isChecked());
    EXPECT_TRUE(control<QRadioButton>("rbManual")->isChecked());
    EXPECT_EQ(control<QSpinBox>("nMinutes")->value(), 15);
    EXPECT_FALSE(control<QCheckBox>("cbKill")->isChecked());
    EXPECT_TRUE(control<QRadioButton>("rbAsIs")->isChecked());
    EXPECT_EQ(edit("edMail")->text(), "");
    EXPECT_EQ(edit("edPass1")->text(), "") << "a closed window keeps no password";
}

TEST_F(GeneralSettingsTest, OKStoresEveryPageAndTheControllerTakesItUp) {
    storeAccount(1, test::testAccount("pop.example", "me", "pw"));
    open({"Home WiFi", "Phone"});
    type("edServe2", "pop2.example");
    type("edName2", "two");
    type("edPass2", "pw2");
    click("rb2");
    control<QComboBox>("RASComboBox")->setCurrentIndex(2);
    click("rbAuto");
    control<QSpinBox>("nMinutes")->setValue(7);
    check("cbAlarm", false);
    check("cbSysTray", true);
    type("edMail", "/usr/bin/mailer");
    pressOK();
    MessageBox::takeShown();
    EXPECT_EQ(m_window->result(), QDialog::Accepted);
    GeneralSettings g = store().ReadGeneralSettings();
    EXPECT_EQ(g.ras, 2);
    EXPECT_TRUE(g.automatic);
    EXPECT_EQ(g.minutes, 7);
    EXPECT_FALSE(g.alarm);
    EXPECT_TRUE(g.sysTray);
    EXPECT_EQ(g.mailer, "/usr/bin/mailer");
    ServerSettings s = store().readServerSettings();
    EXPECT_EQ(s.accounts.which, 2);
    EXPECT_EQ(s.accounts[2].password, "pw2");

    // What the main window does after the window closed.
    controller().settingsClosed();
    EXPECT_EQ(controller().currentMailbox(), 2);
    EXPECT_EQ(controller().countdown(), 7);
    EXPECT_EQ(m_view.caption, "Mailvane - next e-mail check in 7 minutes");

    // A connection that is not offered now stays chosen.
    open();
    EXPECT_EQ(control<QComboBox>("RASComboBox")->currentIndex(), 2);
    pressOK();
    EXPECT_EQ(store().ReadGeneralSettings().ras, 2);
}

TEST_F(GeneralSettingsTest, SecurityModeAndFingerprintRoundTripThroughTheStore) {
    const std::string fingerprint = *normalizeFingerprint(std::string(64, 'a'));
    storeAccount(1, {"pop.example", "me", "pw", TlsMode::Tls, fingerprint});
    open();
    EXPECT_EQ(control<QAbstractButton>("btSecurity1")->text(), "TLS");
    // Mailbox 1 to "none" without a fingerprint; a malformed one is refused first.
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<SecurityDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* mode = dialog->findChild<QComboBox*>("cbSecurity");
        mode->setCurrentIndex(mode->findData("none"));
        dialog->findChild<QLineEdit*>("edFingerprint")->setText("12:34");
        dialog->accept();
        EXPECT_TRUE(dialog->isVisible());
        dialog->findChild<QLineEdit*>("edFingerprint")->clear();
        dialog->accept();
    });
    click("btSecurity1");
    EXPECT_EQ(MessageBox::takeShown(),
              QStringList{"error: The fingerprint must be the 64 hexadecimal digits of a SHA-256 "
                          "hash, with or without colons."});
    EXPECT_EQ(control<QAbstractButton>("btSecurity1")->text(), "None");
    pressOK();
    MailboxAccount stored = store().readServerSettings().accounts[1];
    EXPECT_EQ(stored.security, TlsMode::None);
    EXPECT_EQ(stored.fingerprint, "");

    // And back, the fingerprint typed in lower case with colons.
    open();
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<SecurityDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* mode = dialog->findChild<QComboBox*>("cbSecurity");
        mode->setCurrentIndex(mode->findData("starttls"));
        dialog->findChild<QLineEdit*>("edFingerprint")
            ->setText(QString::fromStdString(fingerprint).toLower());
        dialog->accept();
    });
    click("btSecurity1");
    pressOK();
    stored = store().readServerSettings().accounts[1];
    EXPECT_EQ(stored.security, TlsMode::StartTls);
    EXPECT_EQ(stored.fingerprint, fingerprint);

    // Where nothing says otherwise, STLS is required: a mode that settles for what the server
    // offers lets a man in the middle strip the offer and read the password.
    EXPECT_EQ(control<QAbstractButton>("btSecurity5")->text(), "STARTTLS");
    SecurityDialog unchosen(5, TlsMode::None, "");
    unchosen.findChild<QComboBox*>("cbSecurity")->setCurrentIndex(-1);
    EXPECT_EQ(unchosen.mode(), TlsMode::StartTls);
}

TEST_F(GeneralSettingsTest, LogButtonsActOnlyAfterYesAndOnTheFileBeingWritten) {
    const fs::path logs = m_programs.dir() / "logs";
    fs::create_directories(logs);
    const fs::path base = logs / "logfile.txt", march = logs / "Mar98.txt";
    store().writeString(Setting::Logfile, base.string());
    store().writeInteger(Setting::Count, 42);
    open();
    // The month is chosen in the window after it was shown: the field still shows the old
    // name, yet the file of this month is the one the log writes.
    click("rbMonth");
    EXPECT_EQ(m_window->currentLogFile(), march.string());
    for (bool yes : {false, true}) {
        for (const fs::path& file : {base, march})
            writeFileAtomically(file, "MAIL CHECK\r\n");
        MessageBox::queueAnswer(yes);
        click("btClear");
        MessageBox::queueAnswer(yes);
        click("btReset");
        EXPECT_EQ(MessageBox::takeShown().size(), 2);
        EXPECT_EQ(fileExists(march), !yes);
        EXPECT_TRUE(fileExists(base));
        EXPECT_EQ(edit("edCount")->text(), yes ? "0" : "42");
    }
    // Shown again with month naming stored: the field shows this month's file.
    pressOK();
    EXPECT_EQ(store().ReadGeneralSettings().count, 0);
    open();
    EXPECT_EQ(edit("Edit1")->text().toStdString(), march.string());
    m_sound.calls.clear();
    click("btView");
    EXPECT_EQ(m_sound.calls, std::vector<std::string>{"open file " + march.string()});
    m_sound.openSucceeds = false;
    click("btView");
    EXPECT_EQ(MessageBox::takeShown(), QStringList{"error: Unable to open log file. "});
}

TEST_F(GeneralSettingsTest, BrowseButtonsFillTheirFieldsAndLaunchStartsTheShownProgram) {
    const fs::path program = m_programs.dir() / "mailer", text = m_programs.dir() / "notes";
    writeFileAtomically(program, "#!/bin/sh\n");
    fs::permissions(program, fs::perms::owner_all);
    writeFileAtomically(text, "not a program");
    struct Case {
        const char* button;
        const char* field;
        QString chosen;
        QString expected; // the field afterwards
        QStringList shown;
    };
    const QString dir = QString::fromStdString(m_programs.dir().string());
    const Case cases[] = {
        {"btLogBrowse", "Edit1", dir + "/mylog", dir + "/mylog.txt", {}},
        {"btLogBrowse", "Edit1", dir + "/log.old", dir + "/log.old", {}},
        {"btAlarmBrowse", "edAlarm", dir + "/ring", dir + "/ring.wav", {}},
        {"btMailBrowse", "edMail", dir + "/mailer", dir + "/mailer", {}},
        {"btMailBrowse",
         "edMail",
         dir + "/notes",
         "before",
         {"error: " + dir + "/notes is not a program that can be started."}},
        {"btMailBrowse", "edMail", "", "before", {}}, // Cancel
    };
    for (const Case& c : cases) {
        open();
        click("rbAuto");
        type(c.field, "before");
        if (!c.chosen.isEmpty()) FileDialog::queueFileName(c.chosen);
        click(c.button);
        EXPECT_EQ(edit(c.field)->text(), c.expected) << c.button << " " << c.chosen.toStdString();
        EXPECT_EQ(MessageBox::takeShown(), c.shown);
    }
    // Launch starts what the field shows, stored or not.
    m_sound.calls.clear();
    type("edMail", QString::fromStdString(program.string()));
    click("btLaunch");
    EXPECT_EQ(m_sound.calls, (std::vector<std::string>{"stop", "open " + program.string()}));
    type("edMail", "");
    click("btLaunch");
    EXPECT_TRUE(m_view.saw("error: Mail program not specified in the general settings. "));

    QUrl helpShown;
    setHelpOpener([&](const QUrl& url) {
        helpShown = url;
        return true;
    });
    click("btHelp");
    setHelpOpener({});
    // The page of this window, opened or (in a tree without the help pages) named as missing.
    const QString page = helpPage(HelpTopic::GeneralSettings);
    const QStringList shown = MessageBox::takeShown();
    EXPECT_TRUE(helpShown.toString().endsWith("/help/" + page) ||
                shown == QStringList{"error: Unable to open help file - " + page + "."})
        << helpShown.toString().toStdString();
}

TEST_F(GeneralSettingsTest, FillsTheGapsWithDefaultsWhenShown) {
    open();
    EXPECT_EQ(edit("Edit1")->text().toStdString(), home().defaultLogFile().string());
    EXPECT_TRUE(edit("edAlarm")->text().endsWith("harptune.wav"));
    EXPECT_EQ(edit("edMail")->text(), ""); // no mail program anywhere on the fixture's PATH
    EXPECT_EQ(control<QComboBox>("RASComboBox")->itemText(0), "None");
}

TEST_F(GeneralSettingsTest, AStoredPasswordThatCannotBeReadIsNamedWhenShown) {
    storeAccount(2, test::testAccount("pop.example", "two", "pw"));
    IniFile ini(store().path());
    ini.load();
    ini.writeString("Server", "Passwd2", "ZZ-damaged");
    ini.save();
    store().reload();
    open();
    EXPECT_EQ(MessageBox::takeShown(),
              QStringList{"warning: The stored password of mailbox 2 cannot be read; please enter "
                          "it again."});
    EXPECT_EQ(edit("edPass2")->text(), "");
    EXPECT_EQ(edit("edServe2")->text(), "pop.example");
}

TEST_F(GeneralSettingsTest, PasswordsReachNoMessageAndLeaveWithTheWindow) {
    storeAccount(1, test::testAccount("pop.example", "me", "s3cret-1"));
    open();
    EXPECT_EQ(edit("edPass1")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(edit("edPass1")->displayText(), QString(8, QLatin1Char('*')));
    type("edPass2", "s3cret-2");
    type("edName2", "two");
    type("edPass3", "s3cret-3");
    type("edServe3", "pop3.example");
    pressOK();
    pressOK();
    for (const QString& shown : MessageBox::takeShown())
        EXPECT_FALSE(shown.contains("s3cret")) << shown.toStdString();
    click("btCancel");
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(m_window->findChild<QLineEdit*>(QStringLiteral("edPass%1").arg(n))->text(), "");
}

// On a private session bus with a keyring (tests/support/with-keyring.sh), in a home found the
// usual way rather than given with --home: the window's store takes its keyring as the desktop
// program's start does, and the command line chooses its own by the same rule.
class GeneralSettingsKeyringTest : public GeneralSettingsTest {
protected:
    void SetUp() override {
        // Run directly on a desktop, this would write into the user's own keyring.
        if (std::getenv("MAILVANE_PRIVATE_BUS") == nullptr)
            GTEST_SKIP() << "run through tests/support/with-keyring.sh";
        std::map<std::string, std::string> env = processEnvironment();
        env.erase("MAILVANE_HOME");
        env["XDG_CONFIG_HOME"] = (m_programs.dir() / "config").string();
        env["XDG_DATA_HOME"] = (m_programs.dir() / "data").string();
        m_cli.m_variables = env;
        m_home = HomeFolder::resolve(std::nullopt, env);
        m_keyring = keyringForHome(std::nullopt, env);
        if (!m_keyring || !m_keyring->available()) MV_SKIP_WITHOUT_SERVER("no Secret Service");
    }
    std::string storedText(int n) const {
        IniFile ini(home().settingsFile());
        ini.load();
        return ini.readString("Server", "Passwd" + std::to_string(n));
    }

    test::CliRunner m_cli;
};

TEST_F(GeneralSettingsKeyringTest, PasswordsOfTheWindowAndTheCommandLineShareTheKeyring) {
    test::CliResult set = m_cli.runBare({"accounts", "set", "2", "--server", "pop.two.example",
                                         "--user", "two", "--password-stdin"},
                                        "cli-pw\n");
    ASSERT_EQ(set.code, 0) << set.err;
    ASSERT_EQ(storedText(2), "keyring:2");

    open();
    EXPECT_EQ(MessageBox::takeShown(), QStringList());
    EXPECT_EQ(edit("edPass2")->text(), "cli-pw");
    type("edServe3", "pop3.example");
    type("edName3", "three");
    type("edPass3", "window-pw");
    pressOK();
    EXPECT_EQ(m_window->result(), QDialog::Accepted);
    EXPECT_EQ(storedText(2), "keyring:2");
    EXPECT_EQ(storedText(3), "keyring:3");
    const std::string file = readFile(home().settingsFile()).value();
    EXPECT_EQ(file.find("cli-pw"), std::string::npos);
    EXPECT_EQ(file.find("window-pw"), std::string::npos);
    EXPECT_EQ(m_keyring->lookup(home().settingsFile(), 3), "window-pw");
    EXPECT_EQ(m_keyring->lookup(home().settingsFile(), 2), "cli-pw");
}

} // namespace
} // namespace mv::gui
