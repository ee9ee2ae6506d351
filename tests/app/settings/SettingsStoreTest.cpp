#include "app/settings/SettingsStore.h"
#include "app/settings/TempHome.h"

#include "base/Files.h"
#include "desktop/PasswordEncryption.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mv {
namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    std::filesystem::path file() const { return m_temp.dir() / "settings.ini"; }
    void writeRaw(const std::string& text) const { writeFileAtomically(file(), text); }
    std::string raw() const { return readFile(file()).value_or(""); }
    IniFile stored() const {
        IniFile ini(file());
        ini.load();
        return ini;
    }
    SettingsStore open() const { return SettingsStore(file()); }

    test::TempHome m_temp;
};

MailboxAccount account(const char* server, const char* user, const char* password) {
    MailboxAccount a;
    a.server = server;
    a.user = user;
    a.password = password;
    return a;
}

TEST_F(SettingsStoreTest, FreshStoreGivesEveryDefault) {
    GeneralSettings g = open().ReadGeneralSettings();
    EXPECT_EQ(g.logfile, "");
    EXPECT_EQ(g.mailer, "");
    EXPECT_EQ(g.alarmFile, "");
    EXPECT_FALSE(g.automatic);
    EXPECT_TRUE(g.ask);
    EXPECT_FALSE(g.kill);
    EXPECT_EQ(g.minutes, 10);
    EXPECT_TRUE(g.launch);
    EXPECT_FALSE(g.exitWhenEmpty);
    EXPECT_TRUE(g.alarm);
    EXPECT_TRUE(g.repeat);
    EXPECT_EQ(g.ras, 0);
    EXPECT_EQ(g.count, 0);
    EXPECT_FALSE(g.sysTray);
    EXPECT_EQ(g.dnsAddress, "");
    EXPECT_EQ(g.dnsPort, 53);
    EXPECT_EQ(g.logNaming, LogNaming::AsIs);
    ServerSettings s = open().readServerSettings();
    EXPECT_EQ(s.accounts.which, 1);
    EXPECT_TRUE(s.problems.empty());
    for (int n = 1; n <= 12; ++n)
        EXPECT_EQ(s.accounts[n], MailboxAccount{}) << n;
    EXPECT_FALSE(std::filesystem::exists(file())); // reading writes nothing
}

TEST_F(SettingsStoreTest, StoredTextReadsByTheNumberRules) {
    struct Case {
        const char* stored;
        Setting key;
        const char* expected; // as optionText shows it
    };
    const Case cases[] = {
        {"Minutes=0x1E", Setting::Minutes, "30"}, // "0x" is hexadecimal
        {"Minutes=0X1e", Setting::Minutes, "30"},
        {"Minutes=fast", Setting::Minutes, "10"}, // not a number: the default
        {"Minutes=", Setting::Minutes, "10"},
        {"Minutes=1", Setting::Minutes, "10"}, // outside 2 to 600: the default
        {"Minutes=601", Setting::Minutes, "10"},
        {"Minutes= 600 ", Setting::Minutes, "600"},
        {"Automatic=5", Setting::Automatic, "1"}, // any non-zero is true
        {"Ask=0", Setting::Ask, "0"},
        {"Ask=maybe", Setting::Ask, "1"},
        {"Count=-3", Setting::Count, "0"},
        {"Count=12345678901", Setting::Count, "12345678901"},
        {"DNSPort=65536", Setting::DNSPort, "53"},
        {"DNSPort=5353", Setting::DNSPort, "5353"},
    };
    for (const Case& c : cases) {
        writeRaw(std::string("[general]\r\n") + c.stored + "\r\n");
        EXPECT_EQ(open().optionText(c.key), c.expected) << c.stored;
    }
}

TEST_F(SettingsStoreTest, AlarmFileIsReadUnderEitherCase) {
    writeRaw("[General]\r\nAlarmfile=/snd/harp.wav\r\n");
    EXPECT_EQ(open().ReadGeneralSettings().alarmFile, "/snd/harp.wav");
}

TEST_F(SettingsStoreTest, GeneralSettingsRoundTripAndFileIsPrivate) {
    SettingsStore store = open();
    GeneralSettings g = store.ReadGeneralSettings();
    g.logfile = "/var/log/mv.txt";
    g.mailer = "/usr/bin/mail";
    g.automatic = true;
    g.kill = true;
    g.minutes = 2;
    g.exitWhenEmpty = true;
    g.ras = 3;
    g.count = 42;
    g.dnsAddress = "127.0.0.1";
    g.dnsPort = 5353;
    g.logNaming = LogNaming::Quarter;
    store.SaveGeneralSettings(g);

    GeneralSettings back = open().ReadGeneralSettings();
    EXPECT_EQ(back.logfile, g.logfile);
    EXPECT_EQ(back.mailer, g.mailer);
    EXPECT_TRUE(back.automatic);
    EXPECT_TRUE(back.kill);
    EXPECT_EQ(back.minutes, 2);
    EXPECT_TRUE(back.exitWhenEmpty);
    EXPECT_EQ(back.ras, 3);
    EXPECT_EQ(back.count, 42);
    EXPECT_EQ(back.dnsAddress, "127.0.0.1");
    EXPECT_EQ(back.dnsPort, 5353);
    EXPECT_EQ(back.logNaming, LogNaming::Quarter);
    IniFile ini = stored();
    EXPECT_EQ(ini.readString("Logfile", "Asis"), "0");
    EXPECT_EQ(ini.readString("Logfile", "Quarter"), "1");
    EXPECT_EQ(ini.readString("General", "Exit"), "1");
    EXPECT_EQ(ini.readString("General", "Count"), "42");

    struct stat st {};
    ASSERT_EQ(::stat(file().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    for (const auto& entry : std::filesystem::directory_iterator(m_temp.dir()))
        EXPECT_TRUE(entry.path() == file() || entry.path().filename() == "mailvane.lock")
            << "left behind: " << entry.path();
}

TEST_F(SettingsStoreTest, LogNamingQuarterWinsOverMonth) {
    writeRaw("[Logfile]\r\nAsis=1\r\nMonth=1\r\nQuarter=1\r\n");
    EXPECT_EQ(open().ReadGeneralSettings().logNaming, LogNaming::Quarter);
    writeRaw("[Logfile]\r\nAsis=1\r\nMonth=1\r\n");
    EXPECT_EQ(open().ReadGeneralSettings().logNaming, LogNaming::Month);
}

TEST_F(SettingsStoreTest, WriteOptionChecksTypeAndRange) {
    SettingsStore store = open();
    struct Case {
        Setting key;
        const char* text;
        const char* stored; // nullptr: refused with this message
        const char* error;
    };
    const Case cases[] = {
        {Setting::Minutes, "30", "30", nullptr},
        {Setting::Minutes, "0x20", "32", nullptr},
        {Setting::Minutes, "1", nullptr, "Minutes must be a whole number from 2 to 600"},
        {Setting::Minutes, "ten", nullptr, "Minutes must be a whole number from 2 to 600"},
        {Setting::Count, "-1", nullptr, "Count must be a whole number from 0"},
        {Setting::Kill, "yes", "1", nullptr},
        {Setting::Kill, "Off", "0", nullptr},
        {Setting::Kill, "2", nullptr, "Kill must be 1 or 0"},
        {Setting::Mailer, " /usr/bin/mutt ", "/usr/bin/mutt", nullptr},
        {Setting::Mailer, "mutt", "mutt", nullptr}, // a program found on the PATH
        {Setting::Logfile, "/var/log/mv.txt", "/var/log/mv.txt", nullptr},
        {Setting::Logfile, "", "", nullptr}, // no log
        {Setting::DNSPort, "0", nullptr, "DNSPort must be a whole number from 1 to 65535"},
    };
    for (const Case& c : cases) {
        if (c.error) {
            try {
                store.writeOption(c.key, c.text);
                ADD_FAILURE() << c.text << " was accepted";
            } catch (const SettingValueError& e) {
                EXPECT_EQ(std::string(e.what()), c.error);
            }
        } else {
            store.writeOption(c.key, c.text);
            const SettingInfo& info = settingInfo(c.key);
            EXPECT_EQ(stored().readString(info.section, info.name), c.stored) << c.text;
        }
    }
}

TEST_F(SettingsStoreTest, RelativePathOptionsAreTakenFromTheCurrentFolder) {
    SettingsStore store = open();
    store.writeOption(Setting::AlarmFile, "sounds/harp.wav");
    EXPECT_EQ(store.optionText(Setting::AlarmFile),
              (std::filesystem::current_path() / "sounds/harp.wav").string());
}

TEST_F(SettingsStoreTest, LogNamingOptionsAreOneChoice) {
    SettingsStore store = open();
    store.writeOption(Setting::Month, "1");
    EXPECT_EQ(store.optionText(Setting::Asis), "0");
    EXPECT_EQ(store.optionText(Setting::Month), "1");
    store.writeOption(Setting::Quarter, "1");
    EXPECT_EQ(store.optionText(Setting::Month), "0");
    EXPECT_EQ(store.optionText(Setting::Quarter), "1");
    store.writeOption(Setting::Month, "0"); // not the one in use: nothing changes
    EXPECT_EQ(store.ReadGeneralSettings().logNaming, LogNaming::Quarter);
    store.writeOption(Setting::Quarter, "0");
    EXPECT_EQ(store.ReadGeneralSettings().logNaming, LogNaming::AsIs);
    EXPECT_EQ(store.optionText(Setting::Asis), "1");
}

TEST_F(SettingsStoreTest, AccountsRoundTripWithScrambledPasswords) {
    SettingsStore store = open();
    MailboxAccounts accounts;
    accounts.which = 3;
    accounts[1] = account("pop.one", "ann", "secret");
    accounts[3] = account("[::1]:1110", "bob", "pässword");
    accounts[3].security = TlsMode::Tls;
    accounts[3].fingerprint = *normalizeFingerprint(std::string(64, 'b'));
    AccountSaveResult result = store.saveServerSettings(accounts);
    EXPECT_FALSE(result.problem);
    EXPECT_FALSE(result.migrationWarning);

    IniFile ini = stored();
    EXPECT_EQ(ini.readString("Server", "Which"), "3");
    EXPECT_EQ(ini.readString("Server", "Version161"), "161");
    std::string scrambled = ini.readString("Server", "Passwd1");
    EXPECT_EQ(scrambled.size(), 2 + 2 * 6u);
    EXPECT_EQ(TPasswordEncryption::unscramble(scrambled), "secret");
    EXPECT_EQ(ini.readString("Server", "Passwd2"), "");
    EXPECT_EQ(ini.readString("Server", "Security3"), "tls");
    EXPECT_EQ(raw().find("secret"), std::string::npos);

    ServerSettings back = open().readServerSettings();
    EXPECT_EQ(back.accounts.which, 3);
    for (int n = 1; n <= 12; ++n)
        EXPECT_EQ(back.accounts[n], accounts[n]) << n;
    EXPECT_TRUE(back.problems.empty());
}

// The desktop program and the command line, each with its own store on one file.
TEST_F(SettingsStoreTest, TwoProgramsKeepEachOthersChanges) {
    SettingsStore desktop = open();
    SettingsStore cli = open();
    cli.saveAccount(2, account("pop.two", "ann", "pw"));
    cli.writeString(Setting::Mailer, "mutt");

    // The desktop's batches write only what they change, onto the file as the other left it.
    GeneralSettings general = desktop.ReadGeneralSettings();
    general.minutes = 30;
    desktop.SaveGeneralSettings(general);
    desktop.writeBool(Setting::Automatic, true);
    EXPECT_EQ(desktop.addDeletedSpam(2), 2);
    EXPECT_EQ(cli.addDeletedSpam(3), 5);
    EXPECT_EQ(desktop.readServerSettings().accounts[2].user, "ann"); // taken in when saving

    SettingsStore after = open();
    EXPECT_EQ(after.readString(Setting::Mailer), "mutt");
    EXPECT_EQ(after.readServerSettings().accounts[2], account("pop.two", "ann", "pw"));
    EXPECT_EQ(after.readInteger(Setting::Minutes), 30);
    EXPECT_TRUE(after.readBool(Setting::Automatic));
    EXPECT_EQ(after.readInteger(Setting::Count), 5);

    // A batch that changes nothing leaves the file alone.
    FileStamp before = fileStamp(file());
    desktop.SaveGeneralSettings(desktop.ReadGeneralSettings());
    desktop.saveServerSettings(desktop.readServerSettings().accounts);
    EXPECT_EQ(fileStamp(file()), before);
}

TEST_F(SettingsStoreTest, StoredSecurityModesStayAndAMissingOneRequiresStls) {
    writeRaw("[Server]\r\nServer1=pop\r\nServer2=pop\r\nSecurity2=starttls-if-offered\r\n"
             "Server3=pop\r\nSecurity3=none\r\nServer4=pop\r\nSecurity4=tls\r\n");
    ServerSettings s = open().readServerSettings();
    EXPECT_EQ(s.accounts[1].security, TlsMode::StartTls);
    EXPECT_EQ(s.accounts[2].security, TlsMode::StartTlsIfOffered);
    EXPECT_EQ(s.accounts[3].security, TlsMode::None);
    EXPECT_EQ(s.accounts[4].security, TlsMode::Tls);
    EXPECT_EQ(MailboxAccount{}.security, TlsMode::StartTls);
}

TEST_F(SettingsStoreTest, UnreadableStoredValuesGiveAMessageNotAFailure) {
    writeRaw("[Server]\r\nVersion161=161\r\nServer2=pop\r\nMailbox2=ann\r\nPasswd2=XYZ123\r\n"
             "Security2=ssl\r\nFingerprint2=12:34\r\nServer4=pop\r\nMailbox4=bob\r\n"
             "Passwd4=AB\r\nSecurity4=NONE\r\n");
    ServerSettings s = open().readServerSettings();
    EXPECT_EQ(s.accounts[2].password, "");
    EXPECT_EQ(s.accounts[2].security, TlsMode::StartTls); // never weaker than asked for
    EXPECT_EQ(s.accounts[2].fingerprint, "");
    EXPECT_EQ(s.accounts[4].password, "");
    EXPECT_EQ(s.accounts[4].security, TlsMode::None);
    EXPECT_EQ(s.problems, (std::vector<std::string>{
                              "The stored password of mailbox 2 cannot be read; please enter it "
                              "again.",
                              "Mailbox 2 has an unknown security mode \"ssl\"; starttls is used.",
                              "The stored certificate fingerprint of mailbox 2 cannot be read; it "
                              "is ignored.",
                              "The stored password of mailbox 4 cannot be read; please enter it "
                              "again.",
                          }));
    RemotePopSettings pop = open().GetRemotePOPSettings(2);
    ASSERT_TRUE(pop.account);
    EXPECT_EQ(pop.account->user, "ann");
    EXPECT_EQ(pop.problems.size(), 3u);
}

TEST_F(SettingsStoreTest, SaveStopsAtTheFirstInvalidRow) {
    SettingsStore store = open();
    MailboxAccounts before;
    for (int n = 1; n <= 12; ++n)
        before[n] = account("old", ("u" + std::to_string(n)).c_str(), "pw");
    store.saveServerSettings(before);

    MailboxAccounts changed = before;
    for (int n = 1; n <= 12; ++n)
        changed[n].server = "new";
    changed[5].password = "";
    AccountSaveResult result = store.saveServerSettings(changed);
    ASSERT_TRUE(result.problem);
    EXPECT_EQ(result.problem->mailbox, 5);
    EXPECT_EQ(result.problem->field, AccountField::Password);
    EXPECT_EQ(result.problem->message, "Mailbox 5 - there is no password set");

    ServerSettings back = open().readServerSettings();
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(back.accounts[n].server, "new") << n;
    EXPECT_EQ(back.accounts[5].password, "") << "row 5 itself is written";
    for (int n = 6; n <= 12; ++n)
        EXPECT_EQ(back.accounts[n].server, "old") << n;
}

TEST(CheckAccount, FirstFailureWins) {
    struct Case {
        MailboxAccount account;
        std::optional<AccountField> field;
        const char* message;
    };
    const Case cases[] = {
        {account("", "", ""), std::nullopt, ""},
        {account("", "", "pw"), std::nullopt, ""}, // a stray password alone is no account
        {account("pop", "ann", "pw"), std::nullopt, ""},
        {account("pop", "", ""), AccountField::User, "Mailbox 7 has a server pop but no mailbox"},
        {account("", "ann", ""), AccountField::Server, "Mailbox 7 ann has a blank server"},
        {account("pop", "ann", ""), AccountField::Password, "Mailbox 7 - there is no password set"},
    };
    for (const Case& c : cases) {
        std::optional<AccountProblem> problem = checkAccount(7, c.account);
        ASSERT_EQ(problem.has_value(), c.field.has_value()) << c.message;
        if (!problem) continue;
        EXPECT_EQ(problem->field, *c.field);
        EXPECT_EQ(problem->message, c.message);
        EXPECT_EQ(problem->mailbox, 7);
    }
}

TEST_F(SettingsStoreTest, SaveAccountWritesOneRowOnlyWhenValid) {
    SettingsStore store = open();
    EXPECT_EQ(store.saveAccount(2, account("pop", "", "")).problem->message,
              "Mailbox 2 has a server pop but no mailbox");
    EXPECT_FALSE(std::filesystem::exists(file()));
    EXPECT_FALSE(store.saveAccount(2, account("pop", "ann", "pw")).problem);
    EXPECT_EQ(open().readServerSettings().accounts[2], account("pop", "ann", "pw"));
    store.clearAccount(2);
    EXPECT_EQ(open().readServerSettings().accounts[2], MailboxAccount{});
    EXPECT_THROW(store.clearAccount(13), std::out_of_range);
}

TEST_F(SettingsStoreTest, FirstStartMarksTheStoreMigratedWithoutWarning) {
    RemotePopSettings pop = open().GetRemotePOPSettings(1);
    EXPECT_FALSE(pop.migrationWarning);
    EXPECT_FALSE(pop.account) << "the migrating call loads nothing";
    EXPECT_EQ(stored().readString("Server", "Version161"), "161");
    pop = open().GetRemotePOPSettings(1);
    ASSERT_TRUE(pop.account);
    EXPECT_EQ(*pop.account, MailboxAccount{});
}

TEST_F(SettingsStoreTest, EarlierVersionPasswordsAreClearedOnceWithAWarning) {
    // Neither is in this version's format: not hexadecimal, and an odd number of digits.
    writeRaw("[Server]\r\nWhich=2\r\nServer1=a\r\nMailbox1=x\r\nPasswd1=plain pw\r\n"
             "Server2=b\r\nMailbox2=y\r\nPasswd2=22334\r\n");
    SettingsStore store = open();
    RemotePopSettings pop = store.GetRemotePOPSettings(2);
    EXPECT_TRUE(pop.migrationWarning);
    EXPECT_FALSE(pop.account);
    IniFile ini = stored();
    EXPECT_EQ(ini.readString("Server", "Passwd1"), "");
    EXPECT_EQ(ini.readString("Server", "Passwd2"), "");
    EXPECT_EQ(ini.readString("Server", "Server2"), "b");
    EXPECT_EQ(ini.readString("Server", "Version161"), "161");

    pop = store.GetRemotePOPSettings(2);
    EXPECT_FALSE(pop.migrationWarning);
    ASSERT_TRUE(pop.account);
    EXPECT_EQ(pop.account->server, "b");
    EXPECT_EQ(pop.account->password, "");
}

// A version line that is missing or damaged says nothing about the passwords: those that read in
// the current form, and those in the keyring, are the user's and stay; only the others go.
TEST_F(SettingsStoreTest, TheMigrationClearsOnlyPasswordsOfTheEarlierForm) {
    const std::string current = TPasswordEncryption::scramble("secret");
    for (const char* version :
         {"", "Version161=\r\n", "Version161=16\r\n", "Version161=\x01\r\n"}) {
        writeRaw(std::string("[Server]\r\n") + version + "Server1=a\r\nMailbox1=x\r\nPasswd1=" +
                 current + "\r\nServer2=b\r\nMailbox2=y\r\nPasswd2=keyring:2\r\n");
        SettingsStore store = open();
        EXPECT_FALSE(store.GetRemotePOPSettings(1).migrationWarning) << version;
        IniFile ini = stored();
        EXPECT_EQ(ini.readString("Server", "Passwd1"), current) << version;
        EXPECT_EQ(ini.readString("Server", "Passwd2"), "keyring:2") << version;
        ASSERT_TRUE(store.GetRemotePOPSettings(1).account);
        EXPECT_EQ(store.GetRemotePOPSettings(1).account->password, "secret") << version;
    }
    writeRaw("[Server]\r\nPasswd1=" + current + "\r\nPasswd3=0A1\r\n");
    EXPECT_TRUE(open().GetRemotePOPSettings(1).migrationWarning);
    IniFile ini = stored();
    EXPECT_EQ(ini.readString("Server", "Passwd1"), current);
    EXPECT_EQ(ini.readString("Server", "Passwd3"), "");
}

// Garbage in settings.ini is said where the accounts are read, and kept beside the new file
// that the next write makes, instead of being read as defaults and written over.
TEST_F(SettingsStoreTest, ADamagedFileIsSaidAndKeptBesideTheNewOne) {
    const std::string garbage = "\177ELF\x02\x01\x01\r\n[Server]\r\nServer1=pop\r\n";
    writeRaw(garbage);
    SettingsStore store = open();
    std::vector<std::string> problems = store.readServerSettings().problems;
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_TRUE(problems[0].starts_with("The file " + file().string() + " could not be read"))
        << problems[0];
    EXPECT_EQ(store.readServerSettings().accounts[1], MailboxAccount{});
    store.writeBool(Setting::Kill, true);
    EXPECT_EQ(stored().readString("General", "Kill"), "1");
    int kept = 0;
    for (const auto& e : std::filesystem::directory_iterator(m_temp.dir()))
        if (e.path().filename().string().starts_with("settings.ini.damaged-")) {
            ++kept;
            EXPECT_EQ(readFile(e.path()), garbage);
        }
    EXPECT_EQ(kept, 1);
}

TEST_F(SettingsStoreTest, AccountsSavedBeforeTheFirstCheckSurviveIt) {
    // The command line can store an account before anything ever loaded one into the client;
    // its password is in the current format and must not be taken for an earlier version's.
    EXPECT_FALSE(open().saveAccount(1, account("pop", "ann", "pw")).migrationWarning);
    RemotePopSettings pop = open().GetRemotePOPSettings(1);
    EXPECT_FALSE(pop.migrationWarning);
    ASSERT_TRUE(pop.account);
    EXPECT_EQ(pop.account->password, "pw");
}

TEST_F(SettingsStoreTest, FailedWriteKeepsFileAndMemoryAsStored) {
    SettingsStore store = open();
    store.writeBool(Setting::Automatic, true);
    // A folder where the home lock's file must go makes the save fail, even for root.
    std::filesystem::path blocker = file().parent_path() / "mailvane.lock";
    std::filesystem::remove(blocker);
    std::filesystem::create_directory(blocker);
    EXPECT_THROW(store.writeBool(Setting::Automatic, false), FileError);
    EXPECT_THROW(store.saveAccount(1, account("pop", "ann", "pw")), FileError);
    EXPECT_TRUE(store.readBool(Setting::Automatic));
    EXPECT_EQ(store.readServerSettings().accounts[1], MailboxAccount{});
    std::filesystem::remove(blocker);
    EXPECT_TRUE(open().readBool(Setting::Automatic));
}

TEST_F(SettingsStoreTest, LoadingAnAccountWritesNothingOnceMigrated) {
    writeRaw("[Server]\r\nVersion161=161\r\nServer1=pop\r\n");
    auto inode = [this] {
        struct stat st {};
        ::stat(file().c_str(), &st);
        return st.st_ino;
    };
    ino_t before = inode();
    RemotePopSettings pop = open().GetRemotePOPSettings(1);
    ASSERT_TRUE(pop.account);
    EXPECT_EQ(pop.account->server, "pop");
    EXPECT_EQ(inode(), before) << "an atomic rewrite would have replaced the file";
}

} // namespace
} // namespace mv

namespace mv {
namespace {

TEST_F(SettingsStoreTest, ValuesOfTheirOwnSectionsKeepWhatAnotherProgramSaved) {
    SettingsStore mine = open();
    SettingsStore other = open();
    EXPECT_EQ(mine.readValue("Sender", "col1", 7), 7); // missing: the fallback

    other.writeString(Setting::Mailer, "/usr/bin/other");
    mine.writeValues("Sender", {{"col0", 20}, {"col1", 180}});
    EXPECT_EQ(mine.readValue("Sender", "col1", 7), 180);

    SettingsStore reopened = open();
    EXPECT_EQ(reopened.readValue("Sender", "col0", 0), 20);
    EXPECT_EQ(reopened.readValue("Sender", "col1", 0), 180);
    EXPECT_EQ(reopened.readString(Setting::Mailer), "/usr/bin/other");

    // Unchanged values leave the file alone; a value that is no number reads as the fallback.
    const FileStamp before = fileStamp(file());
    mine.writeValues("Sender", {{"col0", 20}});
    EXPECT_EQ(fileStamp(file()), before);
    writeRaw("[Sender]\ncol0=wide\n");
    EXPECT_EQ(open().readValue("Sender", "col0", 5), 5);
}

} // namespace
} // namespace mv
