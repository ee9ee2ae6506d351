#pragma once
// Every stored setting outside the mailbox rows, in one table: its section, value name, type,
// default and accepted range. The store reads and validates through it, and `mailvane-cli options`
// lists and sets the user options from it, so a new setting is one line here.
#include <optional>
#include <span>
#include <string_view>

namespace mv {

enum class Setting {
    Logfile,
    Mailer,
    AlarmFile,
    Automatic,
    Ask,
    Kill,
    Minutes,
    Launch,
    Exit,
    Alarm,
    Repeat,
    RAS,
    Count,
    SysTray,
    DNSAddress,
    DNSPort,
    Asis,
    Month,
    Quarter,
    Which,
    Version161,
    Notify
};

// `Path`: a file name; one typed relative is taken from the folder the user typed it in, since
// the desktop program and the command line run from different folders.
enum class SettingType { Text, Path, Boolean, Integer };

struct SettingInfo {
    Setting key;
    std::string_view section;
    std::string_view name;
    SettingType type;
    // The value a missing, unreadable or out-of-range entry reads as, in stored form.
    std::string_view fallback;
    // Inclusive range of an integer; values outside it read as the default and are refused
    // when the user sets them.
    long long minimum;
    long long maximum;
    // Listed and set by `mailvane-cli options`; the others belong to the mailbox commands or
    // to the program itself.
    bool userOption;
};

const SettingInfo& settingInfo(Setting key);
std::span<const SettingInfo> allSettings();
// A yes/no answer as a user types it: "1"/"0", "yes"/"no", "true"/"false", "on"/"off", ignoring
// case; nullopt for anything else.
std::optional<bool> parseBooleanText(std::string_view text);

// A user option by its value name, ignoring case; null when there is none.
const SettingInfo* findUserOption(std::string_view name);

} // namespace mv
