#include "screening/QuickAdd.h"

#include "TempDir.h"
#include "screening/RuleRows.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

using Rows = std::vector<RuleRow>;

MessageEntry message(std::string subject, std::string sender, bool selected = true) {
    MessageEntry m;
    m.subject = std::move(subject);
    m.sender = std::move(sender);
    m.selected = selected;
    return m;
}

class QuickAddTest : public ::testing::Test {
protected:
    void SetUp() override { rules.readSettings(); }
    static Rows rulesOf(const RuleTable& t) {
        Rows rows;
        for (int r = 1; r < t.rowCount(); ++r)
            rows.push_back(rowCells(t, r));
        return rows;
    }

    test::TempDir home;
    RuleSet rules{home.path()};
};

TEST_F(QuickAddTest, DialogListsSelectedMessagesInOrder) {
    const std::vector<MessageEntry> list = {message("one", "a@x"), message("two", "b@x", false),
                                            message("three", "c@x")};
    const SpamListChoice choice = spamListChoice(list);
    EXPECT_EQ(choice.rows, (std::vector<SpamListChoice::Row>{{"one", "a@x"}, {"three", "c@x"}}));
    EXPECT_TRUE(choice.subjects);
    EXPECT_TRUE(choice.senders);
}

TEST_F(QuickAddTest, DialogHoldsAtMost249Messages) {
    std::vector<MessageEntry> list(300, message("s", "a@x"));
    list[248].subject = "last shown";
    const SpamListChoice choice = spamListChoice(list);
    ASSERT_EQ(choice.rows.size(), kSpamListRows);
    EXPECT_EQ(choice.rows.back().subject, "last shown");
}

TEST_F(QuickAddTest, LastMessageRulesEndUpOnTop) {
    const std::vector<MessageEntry> list = {message("one", "a@x"), message("two", "b@x"),
                                            message("three", "c@x")};
    EXPECT_EQ(addToSpamList(rules, spamListChoice(list)), 6);
    EXPECT_EQ(rulesOf(rules.subject()), (Rows{{"", "Equals", "three", "Yes", "Yes", "1"},
                                              {"", "Equals", "two", "Yes", "Yes", "1"},
                                              {"", "Equals", "one", "Yes", "Yes", "1"}}));
    EXPECT_EQ(rulesOf(rules.sender()), (Rows{{"", "E-mail address", "Equals", "c@x", "Yes", "1"},
                                             {"", "E-mail address", "Equals", "b@x", "Yes", "1"},
                                             {"", "E-mail address", "Equals", "a@x", "Yes", "1"}}));
    for (int row = 1; row <= 3; ++row) {
        EXPECT_EQ(rules.subject().picture(col::kPicture, row), kPictureDelete);
        EXPECT_EQ(rules.sender().picture(col::kPicture, row), kPictureDelete);
    }
}

TEST_F(QuickAddTest, NewRulesGoAboveExistingOnes) {
    rules.subject().setCell(col::kWhat, 1, "Contains");
    rules.subject().setCell(col::kMatches, 1, "old");
    addToSpamList(rules, {{{"new", "n@x"}}, true, false});
    EXPECT_EQ(rules.subject().cell(col::kMatches, 1), "new");
    EXPECT_EQ(rules.subject().cell(col::kMatches, 2), "old");
    EXPECT_TRUE(rules.sender().isRowEmpty(1));
}

struct SpamListCase {
    const char* name;
    SpamListChoice choice;
    std::size_t subjectRules, senderRules;
};

class SpamListSkips : public QuickAddTest, public ::testing::WithParamInterface<SpamListCase> {};

TEST_P(SpamListSkips, AddsOnlySoundRules) {
    const SpamListCase& c = GetParam();
    addToSpamList(rules, c.choice);
    auto ruleCount = [](const RuleTable& t) {
        std::size_t n = 0;
        for (int r = 1; r < t.rowCount(); ++r)
            n += !t.isRowEmpty(r);
        return n;
    };
    EXPECT_EQ(ruleCount(rules.subject()), c.subjectRules);
    EXPECT_EQ(ruleCount(rules.sender()), c.senderRules);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpamListSkips,
    ::testing::Values(SpamListCase{"EmptySubjectAddsNothing", {{{"", "a@x"}}, true, true}, 0, 0},
                      SpamListCase{"BlankSenderGetsNoSenderRule", {{{"s", " "}}, true, true}, 1, 0},
                      SpamListCase{"SubjectsOnly", {{{"s", "a@x"}}, true, false}, 1, 0},
                      SpamListCase{"SendersOnly", {{{"s", "a@x"}}, false, true}, 0, 1},
                      SpamListCase{"NeitherBox", {{{"s", "a@x"}}, false, false}, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(QuickAddTest, ExceptionsAppendAfterOlderOnesSkippingBlankSenders) {
    rules.exceptions().setCell(col::kExceptWhat, 1, "Domain name");
    rules.exceptions().setCell(col::kExceptCondition, 1, "Equals");
    rules.exceptions().setCell(col::kExceptMatches, 1, "old.example");
    const std::vector<MessageEntry> list = {message("a", "one@x"), message("b", ""),
                                            message("c", "not@selected", false),
                                            message("d", "two@x")};
    EXPECT_EQ(addSendersToExceptions(rules, list), 2);
    const Rows rows = rulesOf(rules.exceptions());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][col::kExceptMatches], "old.example");
    EXPECT_EQ(rows[1], (RuleRow{"E-mail address", "Equals", "one@x", "No", "0", "", "3"}));
    EXPECT_EQ(rows[2][col::kExceptMatches], "two@x");
    EXPECT_EQ(rules.exceptions().picture(col::kExceptPicture, 2), kPictureFirstException);
}

} // namespace
} // namespace mv
