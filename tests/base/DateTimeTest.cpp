#include "base/DateTime.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

TEST(DateTime, DaysCountFrom30December1899) {
    EXPECT_EQ(encodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(encodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(encodeDate(1998, 1, 12), 35807.0);
    EXPECT_EQ(encodeDate(2026, 12, 9), 46365.0);
}

TEST(DateTime, ImpossibleDatesAndTimesAreRefused) {
    EXPECT_FALSE(encodeDate(1998, 2, 31));
    EXPECT_FALSE(encodeDate(1900, 2, 29)); // 1900 was no leap year
    EXPECT_TRUE(encodeDate(2000, 2, 29));
    EXPECT_FALSE(encodeDate(1998, 13, 1));
    EXPECT_FALSE(encodeTime(24, 0));
    EXPECT_FALSE(encodeTime(10, 60));
}

TEST(DateTime, DecodeReversesEncode) {
    DateTime v = *encodeDate(2024, 2, 29) + *encodeTime(17, 4, 59);
    DateParts d = decodeDate(v);
    TimeParts t = decodeTime(v);
    EXPECT_EQ(d.year, 2024);
    EXPECT_EQ(d.month, 2);
    EXPECT_EQ(d.day, 29);
    EXPECT_EQ(t.hour, 17);
    EXPECT_EQ(t.minute, 4);
    EXPECT_EQ(t.second, 59);
}

TEST(DateTime, DayOfWeekStartsOnSunday) {
    EXPECT_EQ(dayOfWeek(*encodeDate(1998, 1, 12)), 2); // a Monday
    EXPECT_EQ(dayOfWeek(*encodeDate(2026, 12, 13)), 1);
    EXPECT_EQ(dayOfWeek(0), 7); // 30 December 1899, a Saturday
}

} // namespace
} // namespace mv
