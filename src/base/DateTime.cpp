#include "base/DateTime.h"

#include <cmath>
#include <ctime>
#include <sys/time.h>

namespace mv {

namespace {
// Days between 1970-01-01 and 1899-12-30.
constexpr long kUnixEpochOffset = 25569;

// Howard Hinnant's days_from_civil: days since 1970-01-01 of a proleptic Gregorian date.
long daysFromCivil(long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

DateParts civilFromDays(long z) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long y = static_cast<long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

long wholeDays(DateTime value) { return static_cast<long>(std::floor(value)); }
} // namespace

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

std::optional<DateTime> encodeDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > daysInMonth(year, month))
        return std::nullopt;
    return static_cast<DateTime>(daysFromCivil(year, static_cast<unsigned>(month),
                                               static_cast<unsigned>(day)) +
                                 kUnixEpochOffset);
}

std::optional<DateTime> encodeTime(int hour, int minute, int second, int millisecond) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        millisecond < 0 || millisecond > 999)
        return std::nullopt;
    return (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + millisecond) / 86400000.0;
}

DateParts decodeDate(DateTime value) { return civilFromDays(wholeDays(value) - kUnixEpochOffset); }

TimeParts decodeTime(DateTime value) {
    double fraction = value - std::floor(value);
    long ms = std::lround(fraction * 86400000.0);
    if (ms >= 86400000) ms = 86399999;
    return {static_cast<int>(ms / 3600000), static_cast<int>(ms / 60000 % 60),
            static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000)};
}

int dayOfWeek(DateTime value) {
    // 30 December 1899 was a Saturday.
    long r = (wholeDays(value) + 6) % 7;
    if (r < 0) r += 7;
    return static_cast<int>(r) + 1;
}

DateTime SystemClock::now() const {
    timeval tv{};
    gettimeofday(&tv, nullptr);
    std::tm local{};
    localtime_r(&tv.tv_sec, &local);
    DateTime date = *encodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    return date + *encodeTime(local.tm_hour, local.tm_min, local.tm_sec % 60,
                              static_cast<int>(tv.tv_usec / 1000));
}

} // namespace mv
