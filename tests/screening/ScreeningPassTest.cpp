#include "ScreeningHarness.h"

#include <gtest/gtest.h>

#include <functional>

namespace mv {
namespace {

using test::message;
using test::Screener;

const std::vector<std::string> kFreeOffer = {
    "Received: from mx.example.net", "From: \"Offers\" <deals@spam.com>", "To: me@home.org",
    "Subject: Free money now",       "X-Mailer: Floodgate 4.0",
};

struct Hits {
    TableId table;
    int row;
    const char* hits;
};

struct OrderCase {
    const char* name;
    std::function<void(Screener&)> setup;
    std::vector<std::string> headers;
    const char* size;
    MarkState mark;
    std::vector<Hits> hits;
};

TEST(ScreeningOrder, TableOfCases) {
    const OrderCase cases[] = {
        {"no rules leave the row clean", [](Screener&) {}, kFreeOffer, "5000", kMarkNone, {}},
        {"exception beats subject, blacklist and size",
         [](Screener& s) {
             s.exception("Domain name", "Equals", "spam.com", "No", "7");
             s.subject("Contains", "free", "No", "Yes");
             s.rules.known().add("deals@spam.com");
             s.rules.options().smallerOn = true;
             s.rules.options().smallerLimit = 99999;
         },
         kFreeOffer,
         "5000",
         7,
         {{TableId::Exceptions, 1, "1"}, {TableId::Subject, 1, "0"}}},
        {"first matching exception decides, empty picture cell is 3",
         [](Screener& s) {
             s.exception("Subject", "Contains", "nomatch");
             s.exception("E-mail address", "Equals", "DEALS@");
             s.exception("Any Header", "Contains", "floodgate", "No", "9");
         },
         kFreeOffer,
         "5000",
         3,
         {{TableId::Exceptions, 1, "0"},
          {TableId::Exceptions, 2, "1"},
          {TableId::Exceptions, 3, "0"}}},
        {"exception rows without What are skipped, not the end",
         [](Screener& s) {
             s.exception("", "", "");
             s.exception("Reply-To:", "Contains", "x");
             s.exception("To:", "Ends with", "HOME.ORG", "No", "12");
         },
         kFreeOffer,
         "5000",
         12,
         {{TableId::Exceptions, 3, "1"}}},
        {"any-header exception sees the last header line",
         [](Screener& s) { s.exception("Any Header", "Starts with", "X-Mailer", "Yes", "5"); },
         kFreeOffer,
         "5000",
         5,
         {{TableId::Exceptions, 1, "1"}}},
        {"question then delete subject rule: delete, both counted",
         [](Screener& s) {
             s.subject("Contains", "money", "No", "No");
             s.subject("Contains (whole word)", "free", "No", "Yes");
         },
         kFreeOffer,
         "5000",
         kMarkDelete,
         {{TableId::Subject, 1, "1"}, {TableId::Subject, 2, "1"}}},
        {"a matching delete rule ends the walk",
         [](Screener& s) {
             s.subject("Contains", "money", "No", "Yes");
             s.subject("Contains", "free", "No", "No");
         },
         kFreeOffer,
         "5000",
         kMarkDelete,
         {{TableId::Subject, 1, "1"}, {TableId::Subject, 2, "0"}}},
        {"question rules never stop the walk",
         [](Screener& s) {
             s.subject("Contains", "money", "No", "No");
             s.subject("Starts with", "FREE", "No", "No");
         },
         kFreeOffer,
         "5000",
         kMarkQuestion,
         {{TableId::Subject, 1, "1"}, {TableId::Subject, 2, "1"}}},
        {"an empty row ends the subject rules",
         [](Screener& s) {
             s.subject("Contains", "nothing", "No", "Yes");
             s.subject("", "", "", "");
             s.subject("Contains", "free", "No", "Yes");
         },
         kFreeOffer,
         "5000",
         kMarkNone,
         {{TableId::Subject, 3, "0"}}},
        {"case-sensitive subject rule",
         [](Screener& s) { s.subject("Contains", "free", "Yes", "Yes"); },
         kFreeOffer,
         "5000",
         kMarkNone,
         {}},
        {"question subject plus blacklisted sender gives 2",
         [](Screener& s) {
             s.subject("Contains", "free", "No", "No");
             s.rules.known().add("spam.com");
         },
         kFreeOffer,
         "5000",
         kMarkKnownSpammer,
         {{TableId::Subject, 1, "1"}}},
        {"delete subject plus blacklisted sender stays 0",
         [](Screener& s) {
             s.subject("Contains", "free", "No", "Yes");
             s.rules.known().add("spam.com");
         },
         kFreeOffer,
         "5000",
         kMarkDelete,
         {}},
        {"blacklist switched off",
         [](Screener& s) {
             s.rules.known().add("deals@spam.com");
             s.rules.options().compareWithKnownList = false;
         },
         kFreeOffer,
         "5000",
         kMarkNone,
         {}},
        {"size of exactly the small limit does not match",
         [](Screener& s) {
             s.rules.options().smallerOn = true;
             s.rules.options().smallerLimit = 5000;
         },
         kFreeOffer,
         "5000",
         kMarkNone,
         {}},
        {"size below the small limit, question",
         [](Screener& s) {
             s.rules.options().smallerOn = true;
             s.rules.options().smallerLimit = 5001;
             s.rules.options().smallerDeletes = false;
         },
         kFreeOffer,
         "5000",
         kMarkQuestion,
         {}},
        {"size of exactly the large limit does not match",
         [](Screener& s) {
             s.rules.options().largerOn = true;
             s.rules.options().largerLimit = 5000;
         },
         kFreeOffer,
         "5000",
         kMarkNone,
         {}},
        {"size above the large limit, delete",
         [](Screener& s) {
             s.rules.options().largerOn = true;
             s.rules.options().largerLimit = 4999;
         },
         kFreeOffer,
         "5000",
         kMarkDelete,
         {}},
        {"a size that is no number matches neither rule",
         [](Screener& s) {
             s.rules.options().smallerOn = s.rules.options().largerOn = true;
             s.rules.options().largerLimit = 0;
         },
         kFreeOffer,
         "-1",
         kMarkNone,
         {}},
        {"a size question is raised to delete later",
         [](Screener& s) {
             s.rules.options().largerOn = true;
             s.rules.options().largerLimit = 10;
             s.rules.options().largerDeletes = false;
             s.sender("Domain name", "Equals", "SPAM.COM", "Yes");
         },
         kFreeOffer,
         "5000",
         kMarkDelete,
         {{TableId::Sender, 1, "1"}}},
        {"a size delete finishes the row",
         [](Screener& s) {
             s.rules.options().largerOn = true;
             s.rules.options().largerLimit = 10;
             s.subject("Contains", "free", "No", "No");
         },
         kFreeOffer,
         "5000",
         kMarkDelete,
         {{TableId::Subject, 1, "0"}}},
        {"sender local part all numeric",
         [](Screener& s) { s.sender("E-mail address", "All numeric", "", "No"); },
         {"From: 4325154@spam.com"},
         "5000",
         kMarkQuestion,
         {{TableId::Sender, 1, "1"}}},
        {"header line rule ignoring case",
         [](Screener& s) { s.header("Contains", "x-mailer: floodgate", "No", "Yes"); },
         kFreeOffer,
         "5000",
         kMarkDelete,
         {{TableId::Header, 1, "1"}}},
        {"header line rule with case",
         [](Screener& s) { s.header("Contains", "X-Mailer: floodgate", "Yes", "Yes"); },
         kFreeOffer,
         "5000",
         kMarkNone,
         {{TableId::Header, 1, "0"}}},
        {"header question, delete without match, delete with match",
         [](Screener& s) {
             s.header("Starts with", "Received:", "No", "No");
             s.header("Contains", "Nothing-Like-This", "No", "Yes");
             s.header("Ends with", "home.org", "No", "Yes");
             s.header("Contains", ":", "No", "No");
         },
         kFreeOffer,
         "5000",
         kMarkDelete,
         {{TableId::Header, 1, "1"}, {TableId::Header, 3, "1"}, {TableId::Header, 4, "0"}}},
        {"every matching header line counts for a question rule",
         [](Screener& s) { s.header("Contains", "@", "No", "No"); },
         kFreeOffer,
         "5000",
         kMarkQuestion,
         {{TableId::Header, 1, "2"}}},
        {"To does not contain, own mailbox",
         [](Screener& s) {
             s.header("To does not contain", "bob@home.org - MailBox #1", "No", "Yes");
         },
         kFreeOffer,
         "5000",
         kMarkDelete,
         {{TableId::Header, 1, "1"}}},
        {"To does not contain, other mailbox",
         [](Screener& s) {
             s.header("To does not contain", "bob@home.org - MailBox #2", "No", "Yes");
         },
         kFreeOffer,
         "5000",
         kMarkNone,
         {{TableId::Header, 1, "0"}}},
        {"To does not contain, To holds the address",
         [](Screener& s) { s.header("To does not contain", "ME@home - MailBox #1", "No", "Yes"); },
         kFreeOffer,
         "5000",
         kMarkNone,
         {}},
        {"To does not contain, no To field",
         [](Screener& s) { s.header("To does not contain", "bob - MailBox #1", "No", "Yes"); },
         {"From: a@b.com"},
         "5000",
         kMarkNone,
         {}},
        {"To does not contain without mailbox number never applies",
         [](Screener& s) { s.header("To does not contain", "bob - MailBox #", "No", "Yes"); },
         kFreeOffer,
         "5000",
         kMarkNone,
         {}},
        {"sender does not match Reply-to",
         [](Screener& s) { s.header("Sender", "does not match Reply-to", "No", "No"); },
         {"From: a@spam.com", "Reply-To: b@other.com"},
         "5000",
         kMarkQuestion,
         {{TableId::Header, 1, "1"}}},
        {"sender contained in Reply-to",
         [](Screener& s) { s.header("Sender", "does not match Reply-to", "No", "Yes"); },
         {"From: A@Spam.com", "Reply-To: Joe <a@spam.com>"},
         "5000",
         kMarkNone,
         {}},
        {"sender equals To",
         [](Screener& s) { s.header("Sender", "equals To field", "No", "Yes"); },
         {"From: Me <ME@home.org>", "To: me@home.org"},
         "5000",
         kMarkDelete,
         {{TableId::Header, 1, "1"}}},
        {"sender equals To without a To field",
         [](Screener& s) { s.header("Sender", "equals To field", "No", "Yes"); },
         {"From: me@home.org"},
         "5000",
         kMarkNone,
         {}},
        {"empty patterns never match",
         [](Screener& s) {
             s.subject("Contains", "", "No", "Yes");
             s.sender("E-mail address", "Starts with", "", "Yes");
             s.header("Ends with", "", "No", "Yes");
             s.exception("E-mail address", "Equals", "", "No", "5");
             s.exception("Subject", "Starts with", "", "No", "5");
         },
         kFreeOffer,
         "5000",
         kMarkNone,
         {}},
        {"conditions a table does not accept never match",
         [](Screener& s) {
             s.subject("All numeric", "", "No", "Yes");
             s.header("Is blank", "", "No", "Yes");
             s.exception("Subject", "Is UPPERCASE", "", "No", "5");
         },
         {"Subject: 123"},
         "5000",
         kMarkNone,
         {}},
    };
    for (const OrderCase& c : cases) {
        Screener s;
        c.setup(s);
        MessageEntry row = message(c.headers, c.size);
        EXPECT_EQ(s.mark(row), c.mark) << c.name;
        for (const Hits& h : c.hits)
            EXPECT_EQ(s.hits(h.table, h.row), h.hits) << c.name;
    }
}

TEST(ScreeningPassTest, MarksOnlyWhereARuleMatches) {
    Screener s;
    s.subject("Contains", "money", "No", "No");
    std::vector<MessageEntry> rows = {message(kFreeOffer), message({"Subject: hello"}),
                                      message({"Subject: money"})};
    rows[1].mark = kMarkDelete; // set by hand: no rule matches, so it stays
    rows[2].mark = kMarkDelete; // a row at delete is finished: its rules are not even tested
    s.pass.MarkForDeletion(rows, -1);
    EXPECT_EQ(rows[0].mark, kMarkQuestion);
    EXPECT_EQ(rows[1].mark, kMarkDelete);
    EXPECT_EQ(rows[2].mark, kMarkDelete);
    EXPECT_EQ(s.hits(TableId::Subject, 1), "1");

    EXPECT_EQ(s.pass.autoMark(rows), 0);
    EXPECT_EQ(rows[1].mark, kMarkNone);
    EXPECT_EQ(rows[2].mark, kMarkQuestion);
    EXPECT_THROW(s.pass.MarkForDeletion(rows, 3), std::out_of_range);
}

TEST(ScreeningPassTest, SecondPassEndsWithTheSameMarks) {
    Screener s;
    s.subject("Contains", "free", "No", "No");
    s.rules.known().add("spam.com");
    s.exception("Subject", "Equals", "hello", "No", "4");
    std::vector<MessageEntry> rows = {message(kFreeOffer), message({"Subject: hello"}),
                                      message({"Subject: other"})};
    s.pass.MarkForDeletion(rows, -1);
    std::vector<MarkState> first;
    for (const MessageEntry& r : rows)
        first.push_back(r.mark);
    s.pass.MarkForDeletion(rows, -1);
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].mark, first[i]);
    EXPECT_EQ(first, (std::vector<MarkState>{kMarkKnownSpammer, 4, kMarkNone}));
}

TEST(ScreeningPassTest, EditsBetweenPassesTakeEffect) {
    Screener s;
    int row = s.subject("Contains", "free", "No", "No");
    EXPECT_EQ(s.mark(message(kFreeOffer)), kMarkQuestion);
    s.rules.subject().setCell(col::kDelete, row, "Yes");
    EXPECT_EQ(s.mark(message(kFreeOffer)), kMarkDelete);
    s.rules.subject().setCell(col::kMatches, row, "absent");
    EXPECT_EQ(s.mark(message(kFreeOffer)), kMarkNone);
    s.rules.subject().removeRow(row);
    s.rules.subject().setRowCount(2);
    s.exception("Subject", "Contains", "money", "No", "6");
    EXPECT_EQ(s.mark(message(kFreeOffer)), 6);
    s.rules.readSettings(); // nothing on disk: the tables start empty again
    EXPECT_EQ(s.mark(message(kFreeOffer)), kMarkNone);
    EXPECT_EQ(s.hits(TableId::Subject, row), "");
}

TEST(ScreeningPassTest, HitsCellThatIsNoNumberRestartsAtOne) {
    Screener s;
    int row = s.subject("Contains", "free", "No", "Yes");
    s.rules.subject().setCell(col::kHits, row, "lots");
    s.mark(message(kFreeOffer));
    EXPECT_EQ(s.hits(TableId::Subject, row), "1");
}

TEST(ScreeningPassTest, BrokenNumberCellsAreReportedOncePerPassAndDoNotStopIt) {
    Screener s;
    s.header("To does not contain", "bob@x.org - MailBox #one", "No", "Yes");
    s.exception("Subject", "Contains", "money", "No", "abc");
    s.exception("Subject", "Contains", "hello", "No", "0");
    s.subject("Contains", "", "No", "Yes");
    std::vector<MessageEntry> rows = {message(kFreeOffer), message({"Subject: hello"})};
    s.pass.MarkForDeletion(rows, -1);
    s.pass.MarkForDeletion(rows, 0);
    EXPECT_EQ(rows[0].mark, 3); // the broken picture shows the default one
    EXPECT_EQ(rows[1].mark, 3); // picture 0 would have deleted an accepted message
    EXPECT_EQ(s.pass.takeProblems(),
              (std::vector<std::string>{
                  "Exception rule 1: 'abc' is not a valid integer value; picture 3 is shown",
                  "Exception rule 2: picture 0 is not one of 3 to 14; 3 is shown",
                  "Subject rule 1: nothing to match; the rule is ignored",
                  "Header rule 1: 'one' is not a valid integer value",
              }));
    EXPECT_TRUE(s.pass.takeProblems().empty());
}

TEST(ScreeningPassTest, EmptySenderIsNeverOnTheKnownList) {
    Screener s;
    s.rules.known().add("x");
    s.rules.known().loadFromText("\r\nspam.com\r\n");
    EXPECT_EQ(s.mark(message({"Subject: no sender"})), kMarkNone);
    EXPECT_EQ(s.mark(message({"From: Joe <joe@spam.com>"})), kMarkKnownSpammer);
    EXPECT_EQ(s.mark(message({"From: spam.com"})), kMarkKnownSpammer);
}

} // namespace
} // namespace mv
