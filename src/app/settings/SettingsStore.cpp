#include "app/settings/SettingsStore.h"

#include "app/settings/HomeLock.h"
#include "app/settings/PasswordKeyring.h"
#include "base/Files.h"
#include "base/Text.h"
#include "desktop/PasswordEncryption.h"

#include <limits>
#include <stdexcept>

namespace mv {

namespace {
std::string key(std::string_view name, int n) {
    return std::string(name) + std::to_string(n);
}

std::string format(std::string_view pattern, int n) {
    return replaceAll(std::string(pattern), "%d", std::to_string(n));
}

constexpr std::string_view kServer = "Server";

std::string rangeText(const SettingInfo& info) {
    std::string text = "a whole number from " + std::to_string(info.minimum);
    if (info.maximum != std::numeric_limits<long long>::max())
        text += " to " + std::to_string(info.maximum);
    return text;
}

LogNaming logNamingOf(bool month, bool quarter) {
    if (quarter) return LogNaming::Quarter;
    return month ? LogNaming::Month : LogNaming::AsIs;
}
} // namespace

std::optional<AccountProblem> checkAccount(int n, const MailboxAccount& a) {
    if (!a.server.empty() && a.user.empty())
        return AccountProblem{
            n, AccountField::User,
            replaceAll(format("Mailbox %d has a server %s but no mailbox", n), "%s", a.server)};
    if (a.server.empty() && !a.user.empty())
        return AccountProblem{
            n, AccountField::Server,
            replaceAll(format("Mailbox %d %s has a blank server", n), "%s", a.user)};
    if (!a.server.empty() && !a.user.empty() && a.password.empty())
        return AccountProblem{n, AccountField::Password,
                              format("Mailbox %d - there is no password set", n)};
    return std::nullopt;
}

SettingsStore::SettingsStore(std::filesystem::path file) : m_ini(std::move(file), true) {
    reload();
}

void SettingsStore::reload() {
    // Stamped before reading: a change that lands in between is seen as a change next time.
    FileStamp stamp = fileStamp(m_ini.path());
    IniFile fresh(m_ini.path(), true);
    if (std::optional<std::string> notice = fresh.load()) m_damageNotice = std::move(notice);
    m_ini = std::move(fresh);
    m_stamp = stamp;
    m_unsaved.clear();
}

void SettingsStore::refresh() {
    if (fileStamp(m_ini.path()) != m_stamp) reload();
}

std::filesystem::path SettingsStore::lockFile() const {
    return m_ini.path().parent_path() / kLockFileName;
}

void SettingsStore::put(std::string_view section, std::string_view key, std::string_view value,
                        std::string_view fallback) {
    std::string before = m_ini.readString(section, key, fallback);
    m_ini.writeString(section, key, value);
    std::string after = m_ini.readString(section, key); // as stored: line breaks made blanks
    if (after != before)
        m_unsaved.push_back({std::string(section), std::string(key), std::move(after)});
}

void SettingsStore::put(Setting k, std::string_view value) {
    const SettingInfo& info = settingInfo(k);
    put(info.section, info.name, value, info.fallback);
}

std::string SettingsStore::readString(Setting k) const {
    const SettingInfo& info = settingInfo(k);
    return m_ini.readString(info.section, info.name, info.fallback);
}

long long SettingsStore::readInteger(Setting k) const {
    const SettingInfo& info = settingInfo(k);
    long long fallback = parseIntegerOr(info.fallback, 0);
    long long value = m_ini.readInteger(info.section, info.name, fallback);
    if (info.type == SettingType::Integer && (value < info.minimum || value > info.maximum))
        return fallback;
    return value;
}

bool SettingsStore::readBool(Setting k) const {
    return readInteger(k) != 0;
}

void SettingsStore::writeString(Setting k, std::string_view value) {
    put(k, value);
    save();
}

void SettingsStore::writeInteger(Setting k, long long value) {
    writeString(k, std::to_string(value));
}

void SettingsStore::writeBool(Setting k, bool value) {
    writeString(k, value ? "1" : "0");
}

std::string SettingsStore::optionText(Setting k) const {
    switch (settingInfo(k).type) {
    case SettingType::Text:
    case SettingType::Path:
        return readString(k);
    case SettingType::Boolean:
        return readBool(k) ? "1" : "0";
    case SettingType::Integer:
        return std::to_string(readInteger(k));
    }
    return {};
}

void SettingsStore::writeOption(Setting k, std::string_view text) {
    const SettingInfo& info = settingInfo(k);
    if (info.type == SettingType::Text) return writeString(k, trim(text));
    if (info.type == SettingType::Path) {
        std::filesystem::path path = trim(text);
        return writeString(k, path.empty() ? "" : std::filesystem::absolute(path).string());
    }
    if (info.type == SettingType::Integer) {
        std::optional<long long> value = parseInteger(text);
        if (!value || *value < info.minimum || *value > info.maximum)
            throw SettingValueError(std::string(info.name) + " must be " + rangeText(info));
        return writeInteger(k, *value);
    }
    std::optional<bool> on = parseBooleanText(text);
    if (!on) throw SettingValueError(std::string(info.name) + " must be 1 or 0");
    if (k != Setting::Asis && k != Setting::Month && k != Setting::Quarter)
        return writeBool(k, *on);
    // The three log namings are one choice.
    LogNaming chosen = k == Setting::Month     ? LogNaming::Month
                       : k == Setting::Quarter ? LogNaming::Quarter
                                               : LogNaming::AsIs;
    GeneralSettings general = ReadGeneralSettings();
    if (*on)
        general.logNaming = chosen;
    else if (general.logNaming == chosen)
        general.logNaming = LogNaming::AsIs;
    SaveGeneralSettings(general);
}

GeneralSettings SettingsStore::ReadGeneralSettings() const {
    GeneralSettings s;
    s.logfile = readString(Setting::Logfile);
    s.mailer = readString(Setting::Mailer);
    s.alarmFile = readString(Setting::AlarmFile);
    s.automatic = readBool(Setting::Automatic);
    s.ask = readBool(Setting::Ask);
    s.kill = readBool(Setting::Kill);
    s.minutes = static_cast<int>(readInteger(Setting::Minutes));
    s.launch = readBool(Setting::Launch);
    s.exitWhenEmpty = readBool(Setting::Exit);
    s.alarm = readBool(Setting::Alarm);
    s.repeat = readBool(Setting::Repeat);
    s.ras = static_cast<int>(readInteger(Setting::RAS));
    s.count = readInteger(Setting::Count);
    s.sysTray = readBool(Setting::SysTray);
    s.dnsAddress = readString(Setting::DNSAddress);
    s.dnsPort = static_cast<int>(readInteger(Setting::DNSPort));
    s.logNaming = logNamingOf(readBool(Setting::Month), readBool(Setting::Quarter));
    return s;
}

void SettingsStore::SaveGeneralSettings(const GeneralSettings& s) {
    putGeneral(s);
    save();
}

void SettingsStore::putGeneral(const GeneralSettings& s) {
    auto put = [this](Setting k, const std::string& value) { this->put(k, value); };
    auto flag = [](bool on) { return std::string(on ? "1" : "0"); };
    put(Setting::Asis, flag(s.logNaming == LogNaming::AsIs));
    put(Setting::Quarter, flag(s.logNaming == LogNaming::Quarter));
    put(Setting::Month, flag(s.logNaming == LogNaming::Month));
    put(Setting::Logfile, s.logfile);
    put(Setting::Mailer, s.mailer);
    put(Setting::AlarmFile, s.alarmFile);
    put(Setting::Automatic, flag(s.automatic));
    put(Setting::Ask, flag(s.ask));
    put(Setting::Kill, flag(s.kill));
    put(Setting::Minutes, std::to_string(s.minutes));
    put(Setting::Launch, flag(s.launch));
    put(Setting::Exit, flag(s.exitWhenEmpty));
    put(Setting::Alarm, flag(s.alarm));
    put(Setting::Repeat, flag(s.repeat));
    put(Setting::RAS, std::to_string(s.ras));
    put(Setting::Count, std::to_string(s.count));
    put(Setting::SysTray, flag(s.sysTray));
    put(Setting::DNSAddress, s.dnsAddress);
    put(Setting::DNSPort, std::to_string(s.dnsPort));
}

MailboxAccount SettingsStore::readAccount(int n, std::vector<std::string>& problems) const {
    MailboxAccount a;
    a.server = m_ini.readString(kServer, key("Server", n));
    a.user = m_ini.readString(kServer, key("Mailbox", n));
    try {
        a.password = passwordFromStoredText(m_keyring.get(), m_ini.path(), n,
                                            m_ini.readString(kServer, key("Passwd", n)));
    } catch (const EPasswordFormatError&) {
        // Hand-edited or damaged: the user enters it again instead of being locked out.
        problems.push_back(format("The stored password of mailbox %d cannot be read; please "
                                  "enter it again.",
                                  n));
    }
    std::string security = m_ini.readString(kServer, key("Security", n));
    if (!security.empty()) {
        std::optional<TlsMode> mode = parseTlsMode(security);
        // An unreadable mode must not silently allow a clear-text password: require STARTTLS.
        a.security = mode ? *mode : TlsMode::StartTls;
        if (!mode)
            problems.push_back(replaceAll(format("Mailbox %d has an unknown security mode "
                                                 "\"%s\"; starttls is used.",
                                                 n),
                                          "%s", security));
    }
    std::string fingerprint = m_ini.readString(kServer, key("Fingerprint", n));
    if (!fingerprint.empty()) {
        std::optional<std::string> normal = normalizeFingerprint(fingerprint);
        if (normal)
            a.fingerprint = *normal;
        else
            problems.push_back(format("The stored certificate fingerprint of mailbox %d cannot "
                                      "be read; it is ignored.",
                                      n));
    }
    return a;
}

void SettingsStore::writeAccount(int n, const MailboxAccount& a) {
    // Only the fields that differ from the stored ones (as read, defaults included): the rest may
    // be older here than in the file. A password is scrambled afresh each time, so it is compared
    // in clear; a password
    // stored scrambled by an earlier installation moves to the keyring once there is one.
    std::vector<std::string> ignored;
    const MailboxAccount stored = readAccount(n, ignored);
    if (a.server != stored.server) put(kServer, key("Server", n), a.server);
    if (a.user != stored.user) put(kServer, key("Mailbox", n), a.user);
    const bool movesToKeyring = m_keyring && m_keyring->available() && !a.password.empty() &&
                                !isKeyringReference(m_ini.readString(kServer, key("Passwd", n)));
    if (a.password != stored.password || movesToKeyring)
        put(kServer, key("Passwd", n),
            storedPasswordText(m_keyring.get(), m_ini.path(), n, a.password));
    if (a.security != stored.security) put(kServer, key("Security", n), tlsModeName(a.security));
    if (a.fingerprint != stored.fingerprint) put(kServer, key("Fingerprint", n), a.fingerprint);
}

ServerSettings SettingsStore::readServerSettings() const {
    ServerSettings s;
    if (m_damageNotice) s.problems.push_back(*m_damageNotice);
    s.accounts.which = static_cast<int>(readInteger(Setting::Which));
    for (int n = 1; n <= MailboxAccounts::kCount; ++n)
        s.accounts[n] = readAccount(n, s.problems);
    return s;
}

bool SettingsStore::migratePasswords() {
    const SettingInfo& version = settingInfo(Setting::Version161);
    bool due = m_ini.readString(version.section, version.name, version.fallback) != "161";
    put(Setting::Version161, "161");
    if (!due) return false;
    // A missing or damaged version line says nothing about the passwords themselves: only those
    // that this version cannot read are of the earlier format. One that reads, or one in the
    // keyring, is the user's current password and stays.
    bool cleared = false;
    for (int n = 1; n <= MailboxAccounts::kCount; ++n) {
        const std::string stored = m_ini.readString(kServer, key("Passwd", n));
        if (stored.empty() || isKeyringReference(stored) || TPasswordEncryption::readable(stored))
            continue;
        put(kServer, key("Passwd", n), "");
        cleared = true;
    }
    return cleared;
}

std::optional<AccountProblem> SettingsStore::putAccounts(const MailboxAccounts& accounts) {
    // 0 when no radio button is selected, which reads back as the default mailbox 1.
    put(Setting::Which, std::to_string(accounts.which));
    for (int n = 1; n <= MailboxAccounts::kCount; ++n) {
        writeAccount(n, accounts[n]);
        if (auto problem = checkAccount(n, accounts[n])) return problem;
    }
    return std::nullopt;
}

AccountSaveResult SettingsStore::saveServerSettings(const MailboxAccounts& accounts) {
    AccountSaveResult result;
    result.migrationWarning = migratePasswords();
    result.problem = putAccounts(accounts);
    save();
    return result;
}

AccountSaveResult SettingsStore::saveAllSettings(const GeneralSettings& general,
                                                 const MailboxAccounts& accounts) {
    AccountSaveResult result;
    for (int n = 1; n <= MailboxAccounts::kCount && !result.problem; ++n)
        result.problem = checkAccount(n, accounts[n]);
    if (result.problem) return result;
    putGeneral(general);
    result.migrationWarning = migratePasswords();
    putAccounts(accounts);
    save();
    return result;
}

AccountSaveResult SettingsStore::saveAccount(int n, const MailboxAccount& account) {
    MailboxAccounts::requireMailboxNumber(n);
    AccountSaveResult result;
    result.problem = checkAccount(n, account);
    if (result.problem) return result;
    result.migrationWarning = migratePasswords();
    writeAccount(n, account);
    save();
    return result;
}

void SettingsStore::clearAccount(int n) {
    MailboxAccounts::requireMailboxNumber(n);
    writeAccount(n, MailboxAccount{});
    save();
}

long long SettingsStore::addDeletedSpam(long long deleted) {
    ScopedHomeLock lock(lockFile());
    refresh();
    long long total = readInteger(Setting::Count) + deleted;
    writeInteger(Setting::Count, total);
    return total;
}

long long SettingsStore::readValue(std::string_view section, std::string_view key,
                                   long long fallback) const {
    return m_ini.readInteger(section, key, fallback);
}

void SettingsStore::writeValues(std::string_view section,
                                const std::vector<std::pair<std::string, long long>>& values) {
    for (const auto& [key, value] : values)
        put(section, key, std::to_string(value));
    save();
}

void SettingsStore::save() {
    if (m_unsaved.empty()) return; // nothing changed: the file is left as it is
    std::vector<Change> changes = std::move(m_unsaved);
    m_unsaved.clear();
    try {
        ScopedHomeLock lock(lockFile());
        if (fileStamp(m_ini.path()) != m_stamp) {
            // Another program wrote the file since: its values stay, ours go on top.
            reload();
            for (const Change& c : changes)
                m_ini.writeString(c.section, c.key, c.value);
        }
        m_ini.save();
        m_stamp = fileStamp(m_ini.path());
    } catch (const std::exception&) {
        // What reads give must stay what is stored; if even reading fails, the caller's error
        // already says what is wrong with the file.
        try {
            reload();
        } catch (const FileError&) {
        }
        throw;
    }
}

RemotePopSettings SettingsStore::GetRemotePOPSettings(int n) {
    RemotePopSettings result;
    const SettingInfo& version = settingInfo(Setting::Version161);
    MailboxAccounts::requireMailboxNumber(n);
    refresh(); // a program that runs for days sees accounts the other program changed

    bool alreadyMigrated =
        m_ini.readString(version.section, version.name, version.fallback) == "161";
    if (alreadyMigrated) {
        // Nothing to write: a check never touches the file unless the migration is due.
        result.account = readAccount(n, result.problems);
        return result;
    }
    result.migrationWarning = migratePasswords();
    save();
    return result;
}

} // namespace mv
