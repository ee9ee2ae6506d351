#include "app/settings/SettingsStore.h"

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
    m_ini.load();
}

void SettingsStore::reload() {
    IniFile fresh(m_ini.path(), true);
    fresh.load();
    m_ini = std::move(fresh);
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
    const SettingInfo& info = settingInfo(k);
    m_ini.writeString(info.section, info.name, value);
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
    auto put = [this](Setting k, const std::string& value) {
        const SettingInfo& info = settingInfo(k);
        m_ini.writeString(info.section, info.name, value);
    };
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
    save();
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
    m_ini.writeString(kServer, key("Server", n), a.server);
    m_ini.writeString(kServer, key("Mailbox", n), a.user);
    m_ini.writeString(kServer, key("Passwd", n),
                      storedPasswordText(m_keyring.get(), m_ini.path(), n, a.password));
    m_ini.writeString(kServer, key("Security", n), tlsModeName(a.security));
    m_ini.writeString(kServer, key("Fingerprint", n), a.fingerprint);
}

ServerSettings SettingsStore::readServerSettings() const {
    ServerSettings s;
    s.accounts.which = static_cast<int>(readInteger(Setting::Which));
    for (int n = 1; n <= MailboxAccounts::kCount; ++n)
        s.accounts[n] = readAccount(n, s.problems);
    return s;
}

bool SettingsStore::migratePasswords() {
    const SettingInfo& version = settingInfo(Setting::Version161);
    bool due = m_ini.readString(version.section, version.name, version.fallback) != "161";
    m_ini.writeString(version.section, version.name, "161");
    if (!due) return false;
    bool cleared = false;
    for (int n = 1; n <= MailboxAccounts::kCount; ++n) {
        if (m_ini.readString(kServer, key("Passwd", n)).empty()) continue;
        m_ini.writeString(kServer, key("Passwd", n), "");
        cleared = true;
    }
    return cleared;
}

AccountSaveResult SettingsStore::saveServerSettings(const MailboxAccounts& accounts) {
    AccountSaveResult result;
    result.migrationWarning = migratePasswords();
    // 0 when no radio button is selected, which reads back as the default mailbox 1.
    const SettingInfo& which = settingInfo(Setting::Which);
    m_ini.writeString(which.section, which.name, std::to_string(accounts.which));
    for (int n = 1; n <= MailboxAccounts::kCount && !result.problem; ++n) {
        writeAccount(n, accounts[n]);
        result.problem = checkAccount(n, accounts[n]);
    }
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

void SettingsStore::save() {
    try {
        m_ini.save();
    } catch (const FileError&) {
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
