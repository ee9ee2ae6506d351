#include "stats/StampConverter.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

DateTime date(int y, int m, int d) {
    return *encodeDate(y, m, d);
}
DateTime time(int h, int m) {
    return *encodeTime(h, m);
}

TEST(StampConverter, ReadsDatesInTheCurrentFormatFirstThenTheCommonOnes) {
    struct Case {
        RegionalSettings settings;
        std::string_view text;
        std::optional<DateTime> expected;
    };
    const RegionalSettings us = RegionalSettings::usEnglish();
    const RegionalSettings dayFirst = RegionalSettings::dayFirst24Hour();
    const Case cases[] = {
        {us, "5/13/2024", date(2024, 5, 13)},
        {us, "05/06/2024", date(2024, 5, 6)}, // both read: the current format wins
        {dayFirst, "05/06/2024", date(2024, 6, 5)},
        {us, "13/05/2024", date(2024, 5, 13)},      // only day-first reads it
        {dayFirst, "5/13/2024", date(2024, 5, 13)}, // only month-first reads it
        {us, "13.05.2024", date(2024, 5, 13)},
        {us, "2024-05-13", date(2024, 5, 13)},
        {us, "13-05-2024", date(2024, 5, 13)},
        {us, "31/31/2024", std::nullopt},
        {us, "Monday", std::nullopt},
        {us, "", std::nullopt},
    };
    for (const Case& c : cases) {
        StampConverter converter(c.settings);
        EXPECT_EQ(converter.date(c.text), c.expected) << c.text;
    }
}

TEST(StampConverter, RemembersTheLastDateOnlyForTheSameText) {
    StampConverter converter(RegionalSettings::usEnglish());
    EXPECT_EQ(converter.date("5/13/2024"), date(2024, 5, 13));
    EXPECT_EQ(converter.date("5/13/2024"), date(2024, 5, 13));
    EXPECT_EQ(converter.date("bad"), std::nullopt);
    EXPECT_EQ(converter.date("bad"), std::nullopt);
    EXPECT_EQ(converter.date("5/14/2024"), date(2024, 5, 14));
}

TEST(StampConverter, ReadsTimesOfBothClocksAndDropsALeadingDate) {
    struct Case {
        std::string_view text;
        std::string_view expectedText;
        std::optional<DateTime> expected;
    };
    const Case cases[] = {
        {"5:04 PM", "5:04 PM", time(17, 4)},
        {"12:15 AM", "12:15 AM", time(0, 15)},
        {"17:04", "17:04", time(17, 4)},
        {"13/05/2024 17:04", "17:04", time(17, 4)},
        {"13.05.2024 17.04", "17.04", time(17, 4)},
        {"5/13/2024 25:00", "5/13/2024 25:00", std::nullopt},
        {"noon", "noon", std::nullopt},
        {"", "", std::nullopt},
    };
    for (const RegionalSettings& rs :
         {RegionalSettings::usEnglish(), RegionalSettings::dayFirst24Hour()}) {
        StampConverter converter(rs);
        for (const Case& c : cases) {
            StampConverter::Time t = converter.time(c.text);
            EXPECT_EQ(t.text, c.expectedText) << c.text;
            EXPECT_EQ(t.value, c.expected) << c.text;
        }
    }
}

} // namespace
} // namespace mv
