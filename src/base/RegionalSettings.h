#pragma once
// Regional settings: the date and time formats, separators, AM/PM markers and day and month names
// every shown or logged date goes through. Read once from the process locale, or fixed by tests.
// Patterns use the classic picture letters: d dd ddd dddd ddddd (short date), m mm mmm mmmm,
// yy yyyy, h hh, n nn (minutes; m right after h also means minutes), s ss, z zzz, t (short time),
// tt (long time), am/pm a/p ampm, / and : for the separators, quoted text as it stands.
#include "base/DateTime.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace mv {

struct RegionalSettings {
    std::string shortDateFormat = "M/d/yyyy";
    std::string shortTimeFormat = "h:mm AMPM";
    std::string longTimeFormat = "h:mm:ss AMPM";
    char dateSeparator = '/';
    char timeSeparator = ':';
    std::string timeAMString = "AM";
    std::string timePMString = "PM";
    std::array<std::string, 7> shortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::array<std::string, 7> longDayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
    std::array<std::string, 12> shortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<std::string, 12> longMonthNames{"January", "February", "March",     "April",
                                               "May",     "June",     "July",      "August",
                                               "September", "October", "November", "December"};

    // United States English: M/d/yyyy and 12-hour times. The defaults above.
    static RegionalSettings usEnglish();
    // Day-first dates and 24-hour times (dd/MM/yyyy, HH:mm), as in much of Europe.
    static RegionalSettings dayFirst24Hour();
    // The process locale (LC_TIME of the environment), converted to the patterns above.
    static RegionalSettings fromLocale();
};

// A short date format with a four-digit year: "yy" becomes "yyyy" unless it already is.
std::string withFourDigitYear(std::string format);

std::string formatDateTime(std::string_view pattern, DateTime value, const RegionalSettings& rs);
std::string formatShortDate(DateTime value, const RegionalSettings& rs);
std::string formatShortTime(DateTime value, const RegionalSettings& rs);
std::string formatLongTime(DateTime value, const RegionalSettings& rs);

// A date in the order of the short date format, numbers split at the date separator; two numbers
// mean the current year is implied (taken from `today`), two-digit years fall in 1950..2049.
std::optional<DateTime> parseDate(std::string_view text, const RegionalSettings& rs,
                                  DateTime today = 0);
// Hours, minutes and optional seconds split at the time separator, with an optional AM/PM marker
// before or after. The result is the fraction of a day.
std::optional<DateTime> parseTime(std::string_view text, const RegionalSettings& rs);

} // namespace mv
