#include "stats/DateRange.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

DateTime date(int y, int m, int d) {
    return *encodeDate(y, m, d);
}

TEST(DateRange, InitialRangeStartsIn1998AndEndsNow) {
    DateTime now = date(2024, 5, 14) + 0.75;
    DateRange r = initialRange(now);
    EXPECT_EQ(r.start, date(1998, 1, 1));
    EXPECT_EQ(r.end, now);
}

TEST(DateRange, Between) {
    DateRange r = rangeBetween(date(2024, 1, 2) + 0.5, date(2024, 3, 4) + 0.25);
    EXPECT_EQ(r.start, date(2024, 1, 2));
    EXPECT_EQ(r.end, date(2024, 3, 4));
    r = rangeBetween(date(2024, 3, 4), date(2024, 1, 2)); // second moves up to the first
    EXPECT_EQ(r.start, date(2024, 3, 4));
    EXPECT_EQ(r.end, date(2024, 3, 4));
}

TEST(DateRange, PreviousMonthsAndDays) {
    struct Case {
        DateRange range;
        DateTime start, end;
    };
    const DateTime noon = 0.5;
    const Case cases[] = {
        {rangePreviousMonths(date(2024, 5, 14) + noon, 1), date(2024, 4, 14), date(2024, 5, 14)},
        {rangePreviousMonths(date(2024, 2, 10), 3), date(2023, 11, 10), date(2024, 2, 10)},
        {rangePreviousMonths(date(2024, 12, 31), 12), date(2023, 12, 31), date(2024, 12, 31)},
        // A day the month lacks becomes the month's last day.
        {rangePreviousMonths(date(2024, 3, 31), 1), date(2024, 2, 29), date(2024, 3, 31)},
        {rangePreviousMonths(date(2023, 5, 31), 3), date(2023, 2, 28), date(2023, 5, 31)},
        {rangePreviousDays(date(2024, 5, 14) + noon, 7), date(2024, 5, 7), date(2024, 5, 14)},
        {rangePreviousDays(date(2024, 1, 1), 365), date(2023, 1, 1), date(2024, 1, 1)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.range.start, c.start);
        EXPECT_EQ(c.range.end, c.end);
    }
}

} // namespace
} // namespace mv
