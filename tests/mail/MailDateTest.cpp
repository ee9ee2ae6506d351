#include "mail/MailDate.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

DateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return *encodeDate(y, mo, d) + *encodeTime(h, mi, s);
}

TEST(MailDate, ParseMailDate) {
    struct Case {
        const char* text;
        DateTime value;
        const char* zone;
    } cases[] = {
        {"Mon, 12 Jan 1998 10:22:33 +0100", at(1998, 1, 12, 10, 22, 33), "+0100"},
        {"12 Jan 98 10:22 GMT", at(1998, 1, 12, 10, 22), "GMT"},
        {"1 Feb 05 00:00:00", at(2005, 2, 1), ""},
        {"31 Feb 1998 10:00:00", 0, ""},
        {"12 Jan 1998", at(1998, 1, 12), ""},
        {"12 May 1998 10:00:00 (MARket)", at(1998, 5, 12, 10), "(MARKET)"},
        {"12 Jan 1998,", 0, ""},
        {"\"Tue, 3 March 2026 9:05:00 -0500\"", at(2026, 3, 3, 9, 5), "-0500"},
        {"12 Jan 1998 junk", at(1998, 1, 12), ""}, // unreadable time: midnight
        {"12 Foo 1998 10:00", 0, ""},
        {"no date at all", 0, ""},
        {"", 0, ""},
        {"99999999999 Jan 1998", 0, ""},
    };
    for (const auto& c : cases) {
        MailDate d = ParseMailDate(c.text);
        EXPECT_DOUBLE_EQ(d.value, c.value) << c.text;
        EXPECT_EQ(d.zone, c.zone) << c.text;
    }
}

} // namespace
} // namespace mv
