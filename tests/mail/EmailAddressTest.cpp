#include "mail/EmailAddress.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

TEST(EmailAddress, ParseAddress) {
    struct Case {
        const char* text;
        const char* address;
        const char* name;
    } cases[] = {
        {"\"John Doe\" <john@x.test>", "john@x.test", "John Doe"},
        {"john@x.test (John Doe)", "john@x.test", "John Doe"},
        {"john@x.test", "john@x.test", ""},
        {" john@x.test ", " john@x.test ", ""}, // a bare address is taken as it stands
        {"John <john@x.test", "", "John <john@x.test"},
        {"John >x< <a@b.test>", "", "John >x< <a@b.test>"},
        {"<a@b.test> trailing", "a@b.test", "trailing"},
        {"", "", ""},
        {"(", "", ""},
        // A quoted local part is kept whole; a wholly quoted mailbox loses both quotes.
        {"<\"System Administrator\"@example.com>", "\"System Administrator\"@example.com", ""},
        {"\"Sys Admin\"@x.test (Admin)", "\"Sys Admin\"@x.test", "Admin"},
        {"Admin <\"a@b.test\">", "a@b.test", "Admin"},
    };
    for (const auto& c : cases) {
        SplitResult r = SplitAddress(c.text);
        EXPECT_EQ(r.address, c.address) << c.text;
        EXPECT_EQ(r.name, c.name) << c.text;
    }
}

TEST(EmailAddress, StripQuotesAndLimits) {
    EXPECT_EQ(StripQuotes("  \"\"name\"  "), "name");
    EXPECT_EQ(StripQuotes("\" a \""), " a ");
    TEmailAddress a;
    ParseAddress(std::string(300, 'n') + " <" + std::string(300, 'a') + ">", a);
    EXPECT_EQ(a.Name.size(), 255u);
    EXPECT_EQ(a.Address.size(), 255u);
}

} // namespace
} // namespace mv
