#include "app/settings/SettingsTable.h"

#include "base/Text.h"

#include <array>
#include <limits>

namespace mv {

namespace {
constexpr long long kNoLimit = std::numeric_limits<long long>::max();

// In the order of the enum, which settingInfo relies on.
constexpr std::array<SettingInfo, 22> kSettings{{
    {Setting::Logfile, "General", "Logfile", SettingType::Path, "", 0, 0, true},
    {Setting::Mailer, "General", "Mailer", SettingType::Text, "", 0, 0, true},
    {Setting::AlarmFile, "General", "AlarmFile", SettingType::Path, "", 0, 0, true},
    {Setting::Automatic, "General", "Automatic", SettingType::Boolean, "0", 0, 1, true},
    {Setting::Ask, "General", "Ask", SettingType::Boolean, "1", 0, 1, true},
    {Setting::Kill, "General", "Kill", SettingType::Boolean, "0", 0, 1, true},
    // The settings window accepts 2 to 600 minutes; a countdown outside that is no schedule.
    {Setting::Minutes, "General", "Minutes", SettingType::Integer, "10", 2, 600, true},
    {Setting::Launch, "General", "Launch", SettingType::Boolean, "1", 0, 1, true},
    {Setting::Exit, "General", "Exit", SettingType::Boolean, "0", 0, 1, true},
    {Setting::Alarm, "General", "Alarm", SettingType::Boolean, "1", 0, 1, true},
    {Setting::Repeat, "General", "Repeat", SettingType::Boolean, "1", 0, 1, true},
    {Setting::RAS, "General", "RAS", SettingType::Integer, "0", 0, 9999, true},
    // A counter that is not a number starts again from 0 rather than blocking the next save.
    {Setting::Count, "General", "Count", SettingType::Integer, "0", 0, kNoLimit, true},
    {Setting::SysTray, "General", "SysTray", SettingType::Boolean, "0", 0, 1, true},
    // Empty means the system's name server (the first nameserver of /etc/resolv.conf).
    {Setting::DNSAddress, "General", "DNSAddress", SettingType::Text, "", 0, 0, true},
    {Setting::DNSPort, "General", "DNSPort", SettingType::Integer, "53", 1, 65535, true},
    {Setting::Asis, "Logfile", "Asis", SettingType::Boolean, "1", 0, 1, true},
    {Setting::Month, "Logfile", "Month", SettingType::Boolean, "0", 0, 1, true},
    {Setting::Quarter, "Logfile", "Quarter", SettingType::Boolean, "0", 0, 1, true},
    {Setting::Which, "Server", "Which", SettingType::Integer, "1", 1, 12, false},
    {Setting::Version161, "Server", "Version161", SettingType::Text, "xx", 0, 0, false},
    // A desktop notification after an automatic run that deleted spam or found wanted mail.
    {Setting::Notify, "General", "Notify", SettingType::Boolean, "1", 0, 1, true},
}};

constexpr bool inEnumOrder() {
    for (std::size_t i = 0; i < kSettings.size(); ++i)
        if (static_cast<std::size_t>(kSettings[i].key) != i) return false;
    return true;
}
static_assert(inEnumOrder(), "kSettings must follow the order of enum Setting");
} // namespace

const SettingInfo& settingInfo(Setting key) {
    return kSettings[static_cast<std::size_t>(key)];
}

std::span<const SettingInfo> allSettings() {
    return kSettings;
}

std::optional<bool> parseBooleanText(std::string_view text) {
    static constexpr std::array<std::string_view, 4> yes{"1", "yes", "true", "on"};
    static constexpr std::array<std::string_view, 4> no{"0", "no", "false", "off"};
    std::string word = trim(text);
    for (std::string_view w : yes)
        if (equalsNoCase(w, word)) return true;
    for (std::string_view w : no)
        if (equalsNoCase(w, word)) return false;
    return std::nullopt;
}

const SettingInfo* findUserOption(std::string_view name) {
    for (const SettingInfo& info : kSettings)
        if (info.userOption && equalsNoCase(info.name, name)) return &info;
    return nullptr;
}

} // namespace mv
