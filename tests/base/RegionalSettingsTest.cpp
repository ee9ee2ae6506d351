#include "base/RegionalSettings.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

DateTime at(int y, int mo, int d, int h, int mi, int s = 0) {
    return *encodeDate(y, mo, d) + *encodeTime(h, mi, s);
}

TEST(RegionalSettings, LogTimeStampPattern) {
    DateTime v = at(2026, 12, 9, 17, 4);
    EXPECT_EQ(formatDateTime("ddd ddddd t", v, RegionalSettings::usEnglish()),
              "Wed 12/9/2026 5:04 PM");
    EXPECT_EQ(formatDateTime("ddd ddddd t", v, RegionalSettings::dayFirst24Hour()),
              "Wed 09/12/2026 17:04");
}

TEST(RegionalSettings, PictureLetters) {
    RegionalSettings us = RegionalSettings::usEnglish();
    DateTime v = at(2005, 3, 7, 0, 5, 9);
    struct Case {
        const char* pattern;
        const char* text;
    } cases[] = {{"yyyy-mm-dd hh:nn:ss", "2005-03-07 00:05:09"},
                 {"d mmm yy", "7 Mar 05"},
                 {"dddd, mmmm d", "Monday, March 7"},
                 {"h:mm AMPM", "12:05 AM"},
                 {"hh:mm am/pm", "12:05 am"},
                 {"tt", "12:05:09 AM"},
                 {"'at' h", "at 0"}};
    for (const auto& c : cases) EXPECT_EQ(formatDateTime(c.pattern, v, us), c.text) << c.pattern;
}

TEST(RegionalSettings, FourDigitYear) {
    EXPECT_EQ(withFourDigitYear("M/d/yy"), "M/d/yyyy");
    EXPECT_EQ(withFourDigitYear("dd.MM.yyyy"), "dd.MM.yyyy");
    EXPECT_EQ(withFourDigitYear("d/M"), "d/M");
}

TEST(RegionalSettings, ParseDateFollowsTheFormatOrder) {
    RegionalSettings us = RegionalSettings::usEnglish();
    RegionalSettings eu = RegionalSettings::dayFirst24Hour();
    EXPECT_EQ(parseDate("12/9/2026", us), encodeDate(2026, 12, 9));
    EXPECT_EQ(parseDate("09/12/2026", eu), encodeDate(2026, 12, 9));
    EXPECT_EQ(parseDate("1/2/05", us), encodeDate(2005, 1, 2));
    EXPECT_EQ(parseDate("3/4", us, *encodeDate(2020, 1, 1)), encodeDate(2020, 3, 4));
    EXPECT_FALSE(parseDate("13/13/2026", us));
    EXPECT_FALSE(parseDate("Wed", us));
    EXPECT_FALSE(parseDate("", us));
}

TEST(RegionalSettings, ParseTimeWithMarkers) {
    RegionalSettings us = RegionalSettings::usEnglish();
    EXPECT_EQ(parseTime("5:04 PM", us), encodeTime(17, 4));
    EXPECT_EQ(parseTime("12:30 AM", us), encodeTime(0, 30));
    EXPECT_EQ(parseTime("17:04", us), encodeTime(17, 4));
    EXPECT_EQ(parseTime("10:22:33", us), encodeTime(10, 22, 33));
    EXPECT_FALSE(parseTime("13:00 PM", us));
    EXPECT_FALSE(parseTime("", us));
    EXPECT_FALSE(parseTime("25:00", us));
}

TEST(RegionalSettings, ReadsTheProcessLocale) {
    RegionalSettings rs = RegionalSettings::fromLocale();
    rs.shortDateFormat = withFourDigitYear(rs.shortDateFormat);
    DateTime v = at(2026, 12, 9, 17, 4);
    EXPECT_EQ(parseDate(formatShortDate(v, rs), rs), encodeDate(2026, 12, 9));
    EXPECT_EQ(parseTime(formatShortTime(v, rs), rs), encodeTime(17, 4));
}

} // namespace
} // namespace mv
