#include "screening/RuleTester.h"

#include "TempDir.h"
#include "screening/RuleRows.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

class RuleTesterTest : public ::testing::Test {
protected:
    void SetUp() override {
        rules.readSettings();
        add(TableId::Subject, {"", "Contains", "free", "No", "Yes", "4"});
        add(TableId::Subject, {"", "Contains", "offer", "No", "No", "2"});
        add(TableId::Subject, {"", "Is UPPERCASE", "", "", "Yes", "0"});
        add(TableId::Sender, {"", "Domain name", "Ends with", ".example", "Yes", "1"});
        add(TableId::Exceptions, {"Subject", "Contains", "free", "No", "0", "", "3"});
        rules.known().add("seller@shop.example");
    }
    void add(TableId id, std::initializer_list<std::string_view> cells) {
        putRuleRow(rules.table(id), id, rowForAppend(rules.table(id), id), makeRuleRow(cells));
    }

    test::TempDir home;
    RuleSet rules{home.path()};
};

TEST_F(RuleTesterTest, SubjectShowsEveryRuleItMeetsAndNothingElse) {
    const RuleSet before = rules;
    const std::vector<std::string> lines = testRulesOn(rules, TableId::Subject, "Free offer");
    // The exception on "free" and the sender rules take no part; no counter moves.
    EXPECT_EQ(lines, (std::vector<std::string>{"Delete   :  Subject Contains \"free\" ",
                                               "Question :  Subject Contains \"offer\" "}));
    EXPECT_EQ(rules.subject(), before.subject());
    EXPECT_EQ(rules.exceptions(), before.exceptions());
}

TEST_F(RuleTesterTest, SenderAddressOnlyMeetsSenderRules) {
    const std::vector<std::string> lines =
        testRulesOn(rules, TableId::Sender, "seller@shop.example");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("Ends with \".example\""), std::string::npos) << lines[0];
    EXPECT_EQ(testRulesOn(rules, TableId::Sender, "friend@club.org").back(),
              "Message was neither on the exception list nor on the list of matching criteria");
}

} // namespace
} // namespace mv
