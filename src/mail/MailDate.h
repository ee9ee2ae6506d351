#pragma once
// RFC 822 date texts ("Mon, 12 Jan 1998 10:22:33 +0100") read into the system's date-time value.
#include "base/DateTime.h"
#include "base/RegionalSettings.h"

#include <string>
#include <string_view>

namespace mv {

inline constexpr const char* MonthAbbreviations[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                     "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

struct MailDate {
    DateTime value = 0; // 0 when the text cannot be read
    std::string zone;   // the text after the time, not applied: the value is the sender's clock
};

// Day, month word, year (two-digit years: 51..99 are 19xx, 0..50 are 20xx), then the time in the
// regional format or with colons; an unreadable time counts as midnight. Never throws.
MailDate ParseMailDate(std::string_view text,
                       const RegionalSettings& regional = RegionalSettings::usEnglish());

} // namespace mv
