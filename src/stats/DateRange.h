#pragma once
// The date ranges the statistics can be limited to, as the date-range choices offer them. Both
// ends are inclusive: records are compared by their date alone.
#include "base/DateTime.h"

namespace mv {

struct DateRange {
    DateTime start = 0;
    DateTime end = 0;
};

// Everything from 1 January 1998 up to `now`, the range a statistics view opens with.
DateRange initialRange(DateTime now);
// "between" first "and" second, dates only; a first date after the second moves the second to it.
DateRange rangeBetween(DateTime first, DateTime second);
// "during the previous" n "months": from today's day of the month n months back (the month's
// last day when it is shorter) to today.
DateRange rangePreviousMonths(DateTime today, int months);
// "during the previous" n "days": from today minus n days to today.
DateRange rangePreviousDays(DateTime today, int days);

} // namespace mv
