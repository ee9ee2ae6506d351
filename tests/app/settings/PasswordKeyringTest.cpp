// Mailbox passwords in the desktop's keyring, against a real GNOME Keyring on a private session bus
// (tests/support/with-keyring.sh): only a reference in the settings file, passwords of an earlier
// installation still read and move over at the next save, and the scrambled form without a keyring.
#include "app/settings/PasswordKeyring.h"
#include "app/settings/HomeFolder.h"
#include "app/settings/SettingsStore.h"
#include "app/settings/TempHome.h"
#include "base/Files.h"
#include "base/IniFile.h"
#include "support/ServerRequired.h"
#include "support/TestAccount.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace mv {
namespace {

namespace fs = std::filesystem;

std::string storedText(const fs::path& settings, int n) {
    IniFile ini(settings);
    ini.load();
    return ini.readString("Server", "Passwd" + std::to_string(n));
}

class PasswordKeyringTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Run directly on a desktop, these tests would write into the user's own keyring.
        if (std::getenv("MAILVANE_PRIVATE_BUS") == nullptr)
            GTEST_SKIP() << "run through tests/support/with-keyring.sh";
        m_keyring = secretServiceKeyring(processEnvironment());
        if (!m_keyring->available())
            MV_SKIP_WITHOUT_SERVER("no Secret Service on this session bus");
    }
    fs::path settingsFile() const { return m_home.dir() / "settings.ini"; }
    SettingsStore store(bool withKeyring = true) const {
        SettingsStore s(settingsFile());
        if (withKeyring) s.usePasswordKeyring(m_keyring);
        return s;
    }

    test::TempHome m_home;
    std::shared_ptr<PasswordKeyring> m_keyring;
};

TEST_F(PasswordKeyringTest, TheFileKeepsOnlyAReference) {
    SettingsStore settings = store();
    ASSERT_FALSE(
        settings.saveAccount(3, test::testAccount("pop.example", "me", "pa55 w0rd")).problem);
    EXPECT_EQ(storedText(settingsFile(), 3), "keyring:3");
    EXPECT_EQ(readFile(settingsFile()).value().find("pa55"), std::string::npos);
    EXPECT_EQ(m_keyring->lookup(settingsFile(), 3), "pa55 w0rd");
    // Read back by a fresh store, and by the client's loading.
    SettingsStore again = store();
    EXPECT_EQ(again.readServerSettings().accounts[3].password, "pa55 w0rd");
    EXPECT_EQ(again.GetRemotePOPSettings(3).account.value_or(MailboxAccount{}).password,
              "pa55 w0rd");

    // A store that cannot reach the keyring asks for the password again instead of failing.
    ServerSettings without = store(false).readServerSettings();
    EXPECT_EQ(without.accounts[3].password, "");
    EXPECT_EQ(without.problems,
              std::vector<std::string>{
                  "The stored password of mailbox 3 cannot be read; please enter it again."});
}

TEST_F(PasswordKeyringTest, EarlierScrambledPasswordsReadAndMoveAtTheNextSave) {
    SettingsStore earlier = store(false);
    earlier.GetRemotePOPSettings(1); // a fresh store: the one-time migration is done
    MailboxAccounts accounts;
    accounts[1] = test::testAccount("pop.one.example", "one", "first");
    accounts[2] = test::testAccount("pop.two.example", "two", "second");
    ASSERT_FALSE(earlier.saveServerSettings(accounts).problem);
    const std::string scrambled = storedText(settingsFile(), 2);
    ASSERT_FALSE(scrambled.empty());
    ASSERT_NE(scrambled, "keyring:2");

    SettingsStore settings = store();
    ServerSettings read = settings.readServerSettings();
    EXPECT_EQ(read.accounts[2].password, "second");
    EXPECT_EQ(m_keyring->lookup(settingsFile(), 2), std::nullopt);
    ASSERT_FALSE(settings.saveServerSettings(read.accounts).problem);
    for (int n : {1, 2})
        EXPECT_EQ(storedText(settingsFile(), n), "keyring:" + std::to_string(n));
    EXPECT_EQ(m_keyring->lookup(settingsFile(), 2), "second");
    EXPECT_EQ(store().readServerSettings().accounts[1].password, "first");
}

TEST_F(PasswordKeyringTest, AnEmptiedMailboxLeavesTheKeyringAndHomesStayApart) {
    test::TempHome otherHome;
    SettingsStore other(otherHome.dir() / "settings.ini");
    other.usePasswordKeyring(m_keyring);
    SettingsStore settings = store();
    ASSERT_FALSE(settings.saveAccount(1, test::testAccount("pop.example", "me", "mine")).problem);
    ASSERT_FALSE(other.saveAccount(1, test::testAccount("pop.example", "me", "theirs")).problem);
    EXPECT_EQ(store().readServerSettings().accounts[1].password, "mine");

    settings.clearAccount(1);
    EXPECT_EQ(storedText(settingsFile(), 1), "");
    EXPECT_EQ(m_keyring->lookup(settingsFile(), 1), std::nullopt);
    EXPECT_EQ(m_keyring->lookup(otherHome.dir() / "settings.ini", 1), "theirs");
}

// Run on a private bus without a Secret Service (with-keyring.sh --no-keyring), and with no bus.
TEST(PasswordKeyringWithout, NoServiceKeepsTheScrambledForm) {
    test::TempHome home;
    std::map<std::string, std::string> noBus = processEnvironment();
    noBus.erase("DBUS_SESSION_BUS_ADDRESS");
    for (const auto& env : {processEnvironment(), noBus}) {
        auto keyring = secretServiceKeyring(env);
        if (keyring->available()) continue; // the session of the keyring tests
        SettingsStore settings(home.dir() / "settings.ini");
        settings.usePasswordKeyring(keyring);
        ASSERT_FALSE(settings.saveAccount(1, test::testAccount("pop.example", "me", "pw")).problem);
        std::string stored = storedText(home.dir() / "settings.ini", 1);
        EXPECT_FALSE(stored.empty());
        EXPECT_EQ(stored.find("keyring:"), std::string::npos);
        EXPECT_EQ(settings.readServerSettings().accounts[1].password, "pw");
    }
}

TEST(PasswordKeyringWithout, PortableHomesKeepTheirPasswordsInTheirFiles) {
    using Env = std::map<std::string, std::string>;
    EXPECT_TRUE(isPortableHome(fs::path("/media/stick/mailvane"), Env{}));
    EXPECT_TRUE(isPortableHome(std::nullopt, Env{{"MAILVANE_HOME", "/media/stick"}}));
    EXPECT_FALSE(isPortableHome(std::nullopt, Env{{"MAILVANE_HOME", ""}, {"HOME", "/home/ann"}}));
}

} // namespace
} // namespace mv
