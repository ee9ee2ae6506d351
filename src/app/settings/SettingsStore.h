#pragma once
// The settings store: the general options, the log naming, the deleted-spam counter and the
// twelve mailbox accounts (passwords scrambled), kept in an INI-style file that only its owner can
// read. Every read falls back to the default of the settings table; every write batch is saved at
// once, atomically, under the home lock. Another program may write the same file meanwhile (the
// desktop program and the command line share a home): a batch writes only the keys it changed,
// onto the file as it is on disk then. Created by whoever owns the home folder and passed to those
// who need it (the controller, the settings window, the command line); it lives as long as they do.
#include "app/settings/MailboxAccounts.h"
#include "app/settings/SettingsTable.h"
#include "base/Files.h"
#include "base/IniFile.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mv {

class PasswordKeyring;

// Shown once when passwords of an earlier version were cleared.
inline constexpr std::string_view kPasswordMigrationWarning =
    "Warning: You will have to re-enter your passwords for all of your mailboxes!  Sorry for the "
    "inconvenience.";

// A value the user gave for a setting that does not fit its type or range.
class SettingValueError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How the activity log's file name is chosen. When the stored flags disagree the quarter wins,
// then the month, as the log naming applies them in that order.
enum class LogNaming { AsIs, Month, Quarter };

// The general options. ReadGeneralSettings fills every field, defaults included; a
// value-initialised one holds no defaults.
struct GeneralSettings {
    std::string logfile;    // full path of the activity log; empty means no log
    std::string mailer;     // the user's e-mail program
    std::string alarmFile;  // sound played as the alarm
    bool automatic{};       // timed checking is on
    bool ask{};             // ask before deleting in a manual check
    bool kill{};            // automatic runs delete marked messages without asking
    int minutes{};          // interval of automatic checks, 2 to 600
    bool launch{};          // start the e-mail program after deleting when wanted mail remains
    bool exitWhenEmpty{};   // value `Exit`: leave after a manual check that found no mail
    bool alarm{};           // sound the alarm when an automatic check finds mail
    bool repeat{};          // repeat the alarm until stopped
    int ras{};              // dial-up entry: 0 none, k the k-th entry of the dial-up list
    long long count{};      // spam messages deleted so far
    bool sysTray{};         // start in the notification area
    std::string dnsAddress; // name server for the unknown-domain check; empty = the system's
    int dnsPort{};          // its port, 1 to 65535
    LogNaming logNaming{};
};

// Which field of a mailbox row a validation message is about (the settings window focuses it).
enum class AccountField { Server, User, Password };

struct AccountProblem {
    int mailbox;
    AccountField field;
    std::string message;
};

// The accounts as stored, and a message for every stored value that could not be read (that
// value reads as empty or as its default; start-up goes on), first of all the whole file when it
// was found damaged and kept aside.
struct ServerSettings {
    MailboxAccounts accounts;
    std::vector<std::string> problems;
};

struct AccountSaveResult {
    // The first invalid row; it and the rows before it were written, the rows after it were not.
    std::optional<AccountProblem> problem;
    // Passwords of an earlier version were cleared first: show kPasswordMigrationWarning.
    bool migrationWarning = false;
};

// What GetRemotePOPSettings gives the POP3 client.
struct RemotePopSettings {
    // The account; nullopt on the call that ran the password migration, which loads nothing.
    std::optional<MailboxAccount> account;
    bool migrationWarning = false; // show kPasswordMigrationWarning
    std::vector<std::string> problems;
};

// The checks of one row, first failure wins: server without user name, user name without
// server, both without password.
std::optional<AccountProblem> checkAccount(int n, const MailboxAccount& account);

class SettingsStore {
public:
    // Loads the file; a missing one gives every default, and so does a damaged one, which is kept
    // aside (IniFile::load) and reported by readServerSettings. Throws FileError when it exists
    // but cannot be read.
    explicit SettingsStore(std::filesystem::path file);

    const std::filesystem::path& path() const { return m_ini.path(); }
    // Passwords go to this keyring while it is available; without one (the default) they are
    // kept scrambled in the file. Passwords stored either way are read.
    void usePasswordKeyring(std::shared_ptr<PasswordKeyring> keyring) {
        m_keyring = std::move(keyring);
    }
    // Throws FileError; the values in memory are then unchanged.
    void reload();
    // Reloads when the file changed on disk since it was last loaded or saved. Throws FileError.
    void refresh();

    std::string readString(Setting key) const;
    long long readInteger(Setting key) const;
    bool readBool(Setting key) const;
    // Throws FileError; every write below leaves the file and the values in memory unchanged
    // when it fails.
    void writeString(Setting key, std::string_view value);
    void writeInteger(Setting key, long long value);
    void writeBool(Setting key, bool value);

    // The value as a user option shows it: text as stored, numbers and booleans as read.
    std::string optionText(Setting key) const;
    // Sets a user option from the user's text ("1"/"0", "yes"/"no", "true"/"false", "on"/"off"
    // for booleans; a number in range for integers; a relative path is made absolute from the
    // current folder). Turning on one log naming turns the others
    // off, turning off the one in use goes back to AS IS. Throws SettingValueError, FileError.
    void writeOption(Setting key, std::string_view text);

    GeneralSettings ReadGeneralSettings() const;
    // Throws FileError.
    void SaveGeneralSettings(const GeneralSettings& settings);

    ServerSettings readServerSettings() const;
    // Writes `Which` and then rows 1 to 12 in order, checking each after writing it; stops at the
    // first invalid row. Throws FileError.
    AccountSaveResult saveServerSettings(const MailboxAccounts& accounts);
    // The settings window's OK: the general options, `Which` and rows 1 to 12 as one batch,
    // written only when every row passes the row checks. Otherwise nothing is written and the
    // first failing row is returned. Throws FileError.
    AccountSaveResult saveAllSettings(const GeneralSettings& general,
                                      const MailboxAccounts& accounts);
    // Writes mailbox n alone when it passes the row checks. Throws FileError.
    AccountSaveResult saveAccount(int n, const MailboxAccount& account);
    // Empties mailbox n. Throws FileError.
    void clearAccount(int n);
    // Adds deleted spam messages to the stored `Count`, whatever another program added since this
    // one read it; returns the new total. Throws FileError, LockError.
    long long addDeletedSpam(long long deleted);

    // Numbers outside the settings table, in sections of their own (the spam settings window
    // keeps its column widths so): as stored, `fallback` when missing or not a number.
    long long readValue(std::string_view section, std::string_view key, long long fallback) const;
    // Sets numbers of one section and saves those that changed at once. Throws FileError,
    // LockError.
    void writeValues(std::string_view section,
                     const std::vector<std::pair<std::string, long long>>& values);

    // Account n for the POP3 client, as stored now (the file is re-read when it changed), running
    // the one-time password migration first when due. Throws FileError.
    RemotePopSettings GetRemotePOPSettings(int n);

private:
    // The one-time migration: passwords stored before `Version161` was "161" are in a format this
    // version does not read, so they are cleared (true: show kPasswordMigrationWarning). Marks the
    // store as migrated. Saves nothing; the caller's batch does.
    bool migratePasswords();
    MailboxAccount readAccount(int n, std::vector<std::string>& problems) const;
    void putGeneral(const GeneralSettings& settings);
    // `Which` and rows 1 to 12 in memory, up to and including the first row that fails the row
    // checks; that row's problem.
    std::optional<AccountProblem> putAccounts(const MailboxAccounts& accounts);
    void writeAccount(int n, const MailboxAccount& account);
    // Sets a value in memory and notes it for the next save when it differs from the one read
    // there (`fallback` when missing).
    void put(std::string_view section, std::string_view key, std::string_view value,
             std::string_view fallback = {});
    void put(Setting key, std::string_view value);
    std::filesystem::path lockFile() const;
    // Writes the noted values, onto the file as another program may have left it. Throws
    // FileError, LockError; the values in memory then go back to the stored ones.
    void save();

    struct Change {
        std::string section, key, value;
    };

    IniFile m_ini;
    std::shared_ptr<PasswordKeyring> m_keyring;
    FileStamp m_stamp;             // the file's stamp when m_ini last matched it
    std::vector<Change> m_unsaved; // values set since the last save, in order
    // Said while this store lives: the file was damaged when loaded and was kept aside.
    std::optional<std::string> m_damageNotice;
};

} // namespace mv
