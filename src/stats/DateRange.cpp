#include "stats/DateRange.h"

#include <algorithm>
#include <cmath>

namespace mv {

namespace {
DateTime dateOnly(DateTime value) {
    return std::floor(value);
}
} // namespace

DateRange initialRange(DateTime now) {
    return {*encodeDate(1998, 1, 1), now};
}

DateRange rangeBetween(DateTime first, DateTime second) {
    return {dateOnly(first), std::max(dateOnly(first), dateOnly(second))};
}

DateRange rangePreviousMonths(DateTime today, int months) {
    DateParts d = decodeDate(today);
    int index = d.year * 12 + (d.month - 1) - months;
    int year = index / 12, month = index % 12 + 1;
    int day = std::min(d.day, daysInMonth(year, month));
    return {*encodeDate(year, month, day), dateOnly(today)};
}

DateRange rangePreviousDays(DateTime today, int days) {
    return {dateOnly(today) - days, dateOnly(today)};
}

} // namespace mv
