#include "stats/LogEntries.h"

#include <gtest/gtest.h>

#include <vector>

namespace mv {
namespace {

TEST(GetUntilCh, CollectsUpToTheStopCharacterButNeverTheLastOfTheLine) {
    struct Case {
        std::string_view line;
        std::size_t p;
        char c;
        std::string_view expected;
    };
    const Case cases[] = {
        {"MAIL CHECK 12 msg(s)", 12, ' ', "12"},
        {"abc def", 1, ' ', "abc"},
        {"abcdef", 1, ' ', "abcde"}, // no stop character: the last one is still left out
        {"abcdef", 4, 'x', "de"},
        {"abc", 3, ' ', ""}, // starting at the last character
        {"abc", 9, ' ', ""}, // past the end
        {"abc", 0, ' ', ""},
        {"", 1, ' ', ""},
        {"a\"b\"", 3, '"', "b"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(getUntilCh(c.line, c.p, c.c), c.expected) << c.line << " @" << c.p;
}

TEST(ExtractTime, TakesTheLastTwoWords) {
    EXPECT_EQ(extractTime("DELETE SPAM on Mon 5/13/2024 5:04 PM"), "5:04 PM");
    EXPECT_EQ(extractTime("DELETE SPAM on Mon 13/05/2024 17:04"), "13/05/2024 17:04");
    EXPECT_EQ(extractTime("at 17:04 "), "17:04");
    EXPECT_EQ(extractTime("one blank"), "");
    EXPECT_EQ(extractTime("none"), "");
}

TEST(ParseCheckEntry, TakesTheFieldsApart) {
    struct Fields {
        std::string_view count, mailbox, server, date, time;
    };
    struct Case {
        std::string_view line;
        Fields expected;
    };
    const Case cases[] = {
        {R"(MAIL CHECK 3 msg(s) for "john" on server pop.example.com at Mon 5/13/2024 5:04 PM)",
         {"3", "john", "pop.example.com", "5/13/2024", "5:04 PM"}},
        {R"(MAIL CHECK 0 msg(s) for "a" on server h at Tue 14/05/2024 17:04)",
         {"0", "a", "h", "14/05/2024", "14/05/2024 17:04"}},
        // A quote or " at " inside the user name does not cut it short.
        {R"(MAIL CHECK 2 msg(s) for "jo "x" at home" on server h at Mon 5/13/2024 5:04 PM)",
         {"2", R"(jo "x" at home)", "h", "5/13/2024", "5:04 PM"}},
        // Day names of other lengths.
        {R"(MAIL CHECK 1 msg(s) for "u" on server h at Di. 14.05.2024 17:04)",
         {"1", "u", "h", "14.05.2024", "14.05.2024 17:04"}},
        {R"(MAIL CHECK  msg(s) for "u" on server h at Mon 5/13/2024 5:04 PM)",
         {"", "u", "h", "5/13/2024", "5:04 PM"}},
        // Without a stamp: the line's last character is never collected.
        {R"(MAIL CHECK 4 msg(s) for "u" on server host)", {"4", "u", "hos", "", ""}},
        {"MAIL CHECK 4", {"", "", "", "", ""}},
    };
    for (const Case& c : cases) {
        CheckRecord r = parseCheckEntry(c.line);
        EXPECT_EQ(r.count, c.expected.count) << c.line;
        EXPECT_EQ(r.mailbox, c.expected.mailbox) << c.line;
        EXPECT_EQ(r.server, c.expected.server) << c.line;
        EXPECT_EQ(r.date, c.expected.date) << c.line;
        EXPECT_EQ(r.time, c.expected.time) << c.line;
    }
}

TEST(EntryStarts, OnlyAtTheStartOfALine) {
    EXPECT_TRUE(isCheckEntry("MAIL CHECK 1 msg(s)"));
    EXPECT_TRUE(isDeletionEntry("DELETE SPAM on Mon"));
    // A server's error text that mentions an entry is still an error entry.
    EXPECT_FALSE(isDeletionEntry("ERROR -ERR DELETE SPAM on refused FOR u ON h AT Mon"));
    EXPECT_FALSE(isCheckEntry("   Subject: MAIL CHECK 9 msg(s)"));
    for (std::string_view l : {"MAIL CHECK 1", "DELETE SPAM on", "ERROR x FOR u ON h AT t",
                               "OPERATION CANCELED FOR u ON h AT t", "Automatic mode enabled at t"})
        EXPECT_TRUE(startsEntry(l)) << l;
    for (std::string_view l : {"   Server:  h Mailbox: u", "   Size:    1  Date: d", "", "mail"})
        EXPECT_FALSE(startsEntry(l)) << l;
}

TEST(LogLines, EndAtCrLfLoneLfOrLoneCr) {
    LogLines lines("a\r\nb\nc\rd\r\n\r\ne\r");
    std::vector<std::string_view> seen;
    while (!lines.atEnd()) {
        std::string_view peeked = lines.peek();
        seen.push_back(lines.next());
        EXPECT_EQ(peeked, seen.back());
    }
    EXPECT_EQ(seen, (std::vector<std::string_view>{"a", "b", "c", "d", "", "e"}));
}

// Reads a deletion entry from the lines of `text` after its first line.
struct ReadEntry {
    explicit ReadEntry(std::string_view text) : lines(text) {
        record = readDeletionEntry(lines.next(), lines, consumed);
    }
    LogLines lines;
    DeletionRecord record;
    std::size_t consumed = 0;
};

TEST(DeletionEntry, TakesItsFourLines) {
    ReadEntry e("DELETE SPAM on Mon 5/13/2024 5:04 PM\r\n"
                "   Server:  pop.example.com Mailbox: John Doe\r\n"
                "   Subject: Sender: fake@x and Size: 1\r\n"
                "   Sender:  Spam@Bulk.Example\r\n"
                "   Size:    2048  Date: 5/13/2024 4:58:11 PM\r\n"
                "next line\r\n");
    EXPECT_EQ(e.consumed, 4u);
    EXPECT_EQ(e.lines.peek(), "next line");
    const DeletionRecord& r = e.record;
    EXPECT_EQ(r.date, "5/13/2024");
    EXPECT_EQ(r.time, "5:04 PM");
    EXPECT_EQ(r.server, "pop.example.com");
    EXPECT_EQ(r.mailbox, "John Doe");
    EXPECT_EQ(r.sender, "Spam@Bulk.Example"); // the reader lower-cases it
    EXPECT_EQ(r.domain, "Bulk.Example");
    EXPECT_EQ(r.size, "2048");
}

TEST(DeletionEntry, NeverReachesIntoTheNextEntry) {
    struct Case {
        std::string_view text;
        std::size_t consumed;
        std::string_view next; // the line left for the reader
    };
    const Case cases[] = {
        {"DELETE SPAM on Mon 5/13/2024 5:04 PM", 0, ""},
        {"DELETE SPAM on Mon 5/13/2024 5:04 PM\r\n   Server:  h Mailbox: u", 1, ""},
        {"DELETE SPAM on Mon 5/13/2024 5:04 PM\r\n   Server:  h Mailbox: u\r\n"
         "MAIL CHECK 7 msg(s) for \"u\" on server h at Mon 5/13/2024 5:10 PM",
         1, "MAIL CHECK 7 msg(s) for \"u\" on server h at Mon 5/13/2024 5:10 PM"},
        {"DELETE SPAM on Mon 5/13/2024 5:04 PM\r\nDELETE SPAM on Mon 5/13/2024 5:05 PM", 0,
         "DELETE SPAM on Mon 5/13/2024 5:05 PM"},
        {"DELETE SPAM on Mon 5/13/2024 5:04 PM\r\n   Server:  h Mailbox: u\r\n   Subject: a\r\n"
         "ERROR x FOR u ON h AT t",
         2, "ERROR x FOR u ON h AT t"},
        // A subject broken over two lines: the entry still ends with its Size line.
        {"DELETE SPAM on Mon 5/13/2024 5:04 PM\r\n   Server:  h Mailbox: u\r\n   Subject: a\r\n"
         "b\r\n   Sender:  s\r\n   Size:    1\r\n   Size:    2",
         5, "   Size:    2"},
    };
    for (const Case& c : cases) {
        ReadEntry e(c.text);
        EXPECT_EQ(e.consumed, c.consumed) << c.text;
        EXPECT_EQ(e.lines.peek(), c.next) << c.text;
    }
}

TEST(DeletionEntry, KeepsWhatItFindsWhenLinesAreMissing) {
    ReadEntry e("DELETE SPAM on Mon 5/13/2024 5:04 PM\r\n   Server:  h Mailbox: u\r\n");
    EXPECT_EQ(e.record.server, "h");
    EXPECT_EQ(e.record.mailbox, "u");
    EXPECT_EQ(e.record.sender, "");
    EXPECT_EQ(e.record.domain, "");
    EXPECT_EQ(e.record.size, "");

    EXPECT_EQ(ReadEntry("DELETE SPAM on Mon\r\n   Sender:  localonly").record.domain, "");
    EXPECT_EQ(ReadEntry("DELETE SPAM on Mon\r\n   Sender:  a@b@c").record.domain, "b@c");
}

TEST(DeletionEntry, CutsLongFieldsAt255Characters) {
    std::string text =
        "DELETE SPAM on Mon 5/13/2024 5:04 PM\r\n   Server:  h Mailbox: " + std::string(300, 'u') +
        "\r\n   Sender:  " + std::string(300, 'a') + "@x";
    ReadEntry e(text);
    EXPECT_EQ(e.record.sender, std::string(255, 'a'));
    EXPECT_EQ(e.record.domain, "");
    EXPECT_EQ(e.record.mailbox, std::string(255, 'u'));
}

} // namespace
} // namespace mv
