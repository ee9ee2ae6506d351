#include "ScreeningHarness.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

using test::message;
using test::Screener;

const std::vector<std::string> kOffer = {
    "From: \"Offers\" <deals@spam.com>", "Reply-To: answers@nowhere.test", "To: me@home.org",
    "Subject: Free money now",           "X-Mailer: Floodgate 4.0",
};

std::vector<std::string> heading() {
    return {"Message from deals@spam.com", "Subject of   Free money now", ""};
}

std::vector<std::string> withHeading(std::vector<std::string> reasons) {
    std::vector<std::string> lines = heading();
    lines.insert(lines.end(), reasons.begin(), reasons.end());
    return lines;
}

TEST(ExplainTest, NothingMatchedShowsTheFallbackLine) {
    Screener s;
    int row = s.subject("Contains", "unrelated", "No", "Yes");
    MessageEntry m = message(kOffer);
    EXPECT_EQ(s.pass.whyMarked(m),
              withHeading({"Message was neither on the exception list nor on the list of "
                           "matching criteria"}));
    EXPECT_EQ(s.hits(TableId::Subject, row), "0");
}

TEST(ExplainTest, EveryMatchingRuleGivesItsLineAndNoCounterMoves) {
    Screener s;
    s.subject("Contains", "free", "No", "Yes");
    s.subject("Is UPPERCASE", "", "", "No"); // does not match
    s.subject("Starts with", "Free", "Yes", "No");
    s.sender("Domain name", "Ends with", ".com", "No");
    s.sender("E-mail address", "First char numeric", "", "Yes"); // does not match
    s.sender("E-mail address", "Is blank", "", "Yes");           // does not match
    s.header("Contains", "floodgate", "No", "Yes");
    s.header("Contains", "X-Mailer", "Yes", "Yes");
    s.header("To does not contain", "bob@home.org - MailBox #1", "No", "Yes");
    s.header("Sender", "does not match Reply-to", "No", "No");
    s.header("Sender", "equals To field", "No", "Yes"); // does not match
    s.rules.options().smallerOn = true;
    s.rules.options().smallerLimit = 6000;
    s.rules.options().smallerDeletes = false;
    s.rules.options().checkDomains = true;
    s.resolver.answers["nowhere.test"] = DomainAnswer::DoesNotExist;
    s.rules.known().add("SPAM.com");
    MessageEntry m = message(kOffer);
    m.mark = 5;

    EXPECT_EQ(
        s.pass.whyMarked(m),
        withHeading({
            R"(Question :  Size smaller than "6000" )",
            R"(Delete   :  Subject Contains "free" )",
            R"(Question :  Subject Starts with "Free"  (Case Sensitive))",
            R"(Question :  Domain name Ends with ".com" )",
            R"(Delete   :  Header Contains "floodgate" )",
            R"(Delete   :  Header Contains "X-Mailer"  (Case Sensitive))",
            R"(Delete   :  Header "me@home.org" To does not contain "bob@home.org" )",
            R"(Question :  Header Sender "answers@nowhere.test does not match Reply-to deals@spam.com" )",
            R"(Question :  Reply to or From (nowhere.test)  is an "Unknown domain" )",
            R"(Delete   :  Domain "spam.com" is on the KNOWN SPAMMER BLACKLIST (you may edit if this is in error))",
        }));
    EXPECT_EQ(m.mark, 5); // the command changes no mark
    for (TableId id : {TableId::Subject, TableId::Sender, TableId::Header})
        for (int row = 1; row < s.rules.table(id).rowCount(); ++row)
            EXPECT_EQ(s.hits(id, row), "0");
}

// A size the server did not give is neither small nor large: no limit judges it, and the
// explanation says so.
TEST(ExplainTest, UnknownSizeEscapesTheLimitsAndSaysSo) {
    Screener s;
    s.rules.options().smallerOn = true;
    s.rules.options().smallerLimit = 6000;
    s.rules.options().smallerDeletes = true;
    MessageEntry m = message(kOffer, "");
    s.pass.MarkForDeletion(std::span(&m, 1), 0);
    EXPECT_EQ(m.mark, kMarkNone);
    EXPECT_EQ(s.pass.whyMarked(m),
              withHeading({"Message was neither on the exception list nor on the list of "
                           "matching criteria",
                           "Size unknown: the server gave no size that could be read, so the "
                           "size limits were not applied"}));
}

TEST(ExplainTest, ExceptionIsTheOnlyReason) {
    Screener s;
    s.exception("Any Header", "Contains", "home", "No", "8");
    s.subject("Contains", "free", "No", "Yes");
    s.rules.known().add("deals@spam.com");
    MessageEntry m = message(
        {"To: me@home.org", "From: deals@spam.com", "Cc: you@home.org", "Subject: Free money now"});
    EXPECT_EQ(
        s.pass.whyMarked(m),
        (std::vector<std::string>{"Message from deals@spam.com", "Subject of   Free money now", "",
                                  R"(Exception :  Any Header To: me@home.org Contains "home" )",
                                  R"(Exception :  Any Header Cc: you@home.org Contains "home" )",
                                  "** You un-marked this message **"}));
    EXPECT_EQ(s.hits(TableId::Exceptions, 1), "0");
}

TEST(ExplainTest, ExceptionReasonLinesByKind) {
    struct Case {
        const char* what;
        const char* condition;
        const char* matches;
        const char* caseSensitive;
        const char* line;
    };
    const Case cases[] = {
        {"Domain name", "Ends with", "SPAM.COM", "Yes",
         R"(Exception :  Domain name Equals "SPAM.COM" )"},
        {"E-mail address", "Contains", "deals@", "No",
         R"(Exception :  E-mail address Equals "deals@" )"},
        {"Subject", "Contains", "money", "Yes",
         R"(Exception :  Subject Contains "money"  (Case Sensitive))"},
        {"Reply-To:", "Ends with", ".test", "No",
         R"(Exception :  Reply-To: answers@nowhere.test Ends with ".test" )"},
    };
    for (const Case& c : cases) {
        Screener s;
        s.exception(c.what, c.condition, c.matches, c.caseSensitive);
        MessageEntry m = message(kOffer);
        std::vector<std::string> lines = s.pass.whyMarked(m);
        ASSERT_EQ(lines.size(), 5u) << c.what;
        EXPECT_EQ(lines[3], c.line);
        EXPECT_EQ(lines[4], "** You un-marked this message **");
    }
}

TEST(ExplainTest, NotesOnMarksChangedByHand) {
    struct Case {
        MarkState before;
        bool ruleMatches;
        const char* note;
    };
    const Case cases[] = {
        {kMarkDelete, false, "** You marked this message **"},
        {kMarkDelete, true, nullptr},
        {kMarkNone, true, "** You un-marked this message **"},
        {kMarkNone, false, nullptr},
        {kMarkQuestion, false, nullptr},
    };
    for (const Case& c : cases) {
        Screener s;
        s.subject("Contains", c.ruleMatches ? "free" : "absent", "No", "Yes");
        MessageEntry m = message(kOffer);
        m.mark = c.before;
        std::vector<std::string> lines = s.pass.whyMarked(m);
        if (c.note)
            EXPECT_EQ(lines.back(), c.note) << c.before << c.ruleMatches;
        else
            EXPECT_EQ(lines.back().find("** You"), std::string::npos) << c.before << c.ruleMatches;
        EXPECT_EQ(m.mark, c.before);
    }
}

} // namespace
} // namespace mv
