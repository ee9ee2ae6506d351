#include "mail/MailHeaders.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

TMailHeaders headers(std::initializer_list<const char*> lines) {
    TMailHeaders h;
    for (const char* l : lines) h.add(l);
    return h;
}

TEST(MailHeaders, GetFieldValue) {
    std::string longSubject(300, 'x');
    std::string longType = "multipart/mixed; boundary=\"" + std::string(300, 'b') + "\"";
    struct Case {
        std::vector<std::string> lines;
        const char* name;
        std::string value;
    } cases[] = {
        {{"Subject: Hello"}, "Subject", "Hello"},
        {{"Subject: Hello"}, "Subject:", "Hello"},
        {{"Subject:Hello"}, "Subject", "Hello"}, // no blank after the colon: nothing is lost
        {{"Subject:   Hello  "}, "Subject", "Hello"},
        {{"Subject:\tHello"}, "Subject", "Hello"},
        {{"FROM: x@y.test"}, "From", "x@y.test"},
        {{"From-Address: x"}, "From", ""},
        {{"Subject: one", "  two", "\tthree", "To: z"}, "Subject", "one two three"},
        {{"Subject: " + longSubject}, "Subject", std::string(255, 'x')},
        {{"Content-Type: multipart/mixed;", " boundary=\"" + std::string(300, 'b') + "\""},
         "Content-Type", longType},
        {{"X-UIDL: =?a?B?!!?="}, "X-UIDL", "=?a?B?!!?="}, // kept undecoded
        {{}, "Subject", ""},
        {{"Received: a", "Subject: first", "Subject: second"}, "Subject", "first"},
    };
    for (const auto& c : cases) {
        TMailHeaders h(c.lines);
        EXPECT_EQ(h.GetFieldValue(c.name), c.value) << (c.lines.empty() ? "" : c.lines[0]);
    }
}

TEST(MailHeaders, GetWholeFieldValueIsNeitherCutNorDecoded) {
    std::string name = "=?utf-8?Q?a?=" + std::string(300, 'x');
    TMailHeaders h = headers({"Content-Disposition: attachment;"});
    h.add(" filename=\"" + name + "\"");
    EXPECT_EQ(h.GetWholeFieldValue("Content-Disposition"), "attachment; filename=\"" + name + "\"");
    EXPECT_EQ(h.GetWholeFieldValue("Content-Type"), "");
}

TEST(MailHeaders, GetFieldValueNeverThrowsOnBrokenEncodedWords) {
    TMailHeaders h = headers({"Subject: =?utf-8?B?***?= buy now", "From: =?x?Q?a=ZZ?= <a@b.test>"});
    EXPECT_EQ(h.GetFieldValue("Subject"), "=?utf-8?B?***?= buy now");
    EXPECT_NO_THROW(h.GetFieldValue("From"));
}

TEST(MailHeaders, GetFieldValuesSplitsOutsideQuotes) {
    TMailHeaders h = headers({"To: a@x.test, \"Doe, John\" <j@x.test>", "Cc: c@x.test,,d@x.test,",
                              "Subject: s"});
    EXPECT_EQ(h.GetFieldValues("To"),
              (std::vector<std::string>{"a@x.test", "\"Doe, John\" <j@x.test>"}));
    EXPECT_EQ(h.GetFieldValues("Cc"), (std::vector<std::string>{"c@x.test", "", "d@x.test"}));
}

TEST(MailHeaders, GetFieldValuesJoinsFoldedAndRepeatedFields) {
    TMailHeaders h = headers({"To: a@x.test,", " b@x.test", "Subject: s", "To: c@x.test"});
    EXPECT_EQ(h.GetFieldValues("To"),
              (std::vector<std::string>{"a@x.test", "b@x.test", "c@x.test"}));
    // No colon is added: a two-letter prefix matches every field starting with it.
    TMailHeaders both = headers({"Cc: c@x.test", "Content-Type: text/plain"});
    EXPECT_EQ(both.GetFieldValues("C").size(), 2u);
}

TEST(MailHeaders, RemoveFieldTakesTheFirstWithItsContinuations) {
    TMailHeaders h = headers({"Received: a", " b", "Subject: s", "Received: c"});
    h.RemoveField("received");
    EXPECT_EQ(h.lines(), (std::vector<std::string>{"Subject: s", "Received: c"}));
    h.RemoveField("X-None");
    EXPECT_EQ(h.count(), 2u);
}

TEST(MailHeaders, TruncateAtBlankLineDropsTheBody) {
    TMailHeaders h = headers({"Subject: s", " ", "To: t", "", "body line", ""});
    h.TruncateAtBlankLine();
    EXPECT_EQ(h.lines(), (std::vector<std::string>{"Subject: s", " ", "To: t"}));
}

TEST(MailHeaders, LoadAndText) {
    TMailHeaders h;
    h.loadFromText("A: 1\r\nB: 2\nC: 3");
    EXPECT_EQ(h.count(), 3u);
    EXPECT_EQ(h.text(), "A: 1\r\nB: 2\r\nC: 3\r\n");
    EXPECT_EQ(h.indexOf("B: 2"), 1);
}

} // namespace
} // namespace mv
