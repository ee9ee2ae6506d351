#include "screening/Conditions.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

struct ConditionCase {
    const char* condition;
    const char* text;
    const char* pattern;
    bool caseSensitive;
    bool holds;
};

TEST(ConditionHoldsTest, TableOfCases) {
    const ConditionCase cases[] = {
        {"Contains", "anything", "", false, false},
        {"Contains", "", "", false, false},
        {"Contains", "Get FREE stuff", "free", false, true},
        {"Contains", "Get FREE stuff", "free", true, false},
        {"Contains", "\xC9t\xE9", "\xE9T\xE9", false, false}, // only a to z fold
        {"Contains", "\xC9t\xE9", "T\xE9", false, true},
        {"Equals", "", "", false, true},
        {"Equals", "x", "", false, false},
        {"Equals", "Hello", "HELLO", false, true},
        {"Equals", "Hello", "HELLO", true, false},
        {"Starts with", "abc", "", true, true},
        {"Starts with", "", "", true, true},
        {"Starts with", "ab", "abc", false, false},
        {"Starts with", "ABCdef", "abc", false, true},
        {"Ends with", "abc", "", true, true},
        {"Ends with", "c", "bc", false, false},
        {"Ends with", "mail.SPAM.COM", ".com", false, true},
        {"Contains (whole word)", "Get it FREE!", "free", false, true},
        {"Contains (whole word)", "Get it FREE!", "free", true, false},
        {"Contains (whole word)", "free-offer", "free", false, true},
        {"Contains (whole word)", "(free)", "free", false, true},
        {"Contains (whole word)", "free", "free", false, true},
        {"Contains (whole word)", "freedom", "free", false, false},
        {"Contains (whole word)", "carefree", "free", false, false},
        {"Contains (whole word)", "free_offer", "free", false, false},
        {"Contains (whole word)", "carefree free", "free", false, true},
        {"Contains (whole word)", "an adult site here", "adult site", false, false},
        {"Contains (whole word)", "a\tfree\x01x", "free", false, false}, // 0x01 is part of a word
        {"Contains (whole word)", "a\tfree\rx", "free", false, true},
        {"Contains (whole word)", "free", " ", false, false},
        {"Is blank", "   ", "", false, true},
        {"Is blank", "", "", false, true},
        {"Is blank", "\r\n\b", "", false, true},
        {"Is blank", "\t", "", false, false},
        {"Is UPPERCASE", "FREE MONEY 100%", "", false, true},
        {"Is UPPERCASE", "1234", "", false, true},
        {"Is UPPERCASE", "!!!", "", false, true},
        {"Is UPPERCASE", "\xC9T\xC9", "", false, true},
        {"Is UPPERCASE", "\xE9T\xE9", "", false, true}, // accented small letters are not a to z
        {"Is UPPERCASE", "Free", "", false, false},
        {"Is UPPERCASE", "", "", false, false},
        {"Is UPPERCASE", "   ", "", false, false},
        {"All numeric", "4325154", "", false, true},
        {"All numeric", "43_25", "", false, true},
        {"All numeric", "", "", false, true},
        {"All numeric", "4325a", "", false, false},
        {"50% numeric", "432ab43", "", false, true},
        {"50% numeric", "ab1cd", "", false, false},
        {"50% numeric", "ab12c", "", false, true},
        {"50% numeric", "my_name", "", false, false},
        {"50% numeric", "", "", false, true},
        {"First char numeric", "1abc", "", false, true},
        {"First char numeric", "_1", "", false, false},
        {"First char numeric", "", "", false, false},
        {"Sounds like", "free", "free", false, false},
        {"contains", "free", "free", false, false}, // the words are fixed, case included
    };
    for (const ConditionCase& c : cases)
        EXPECT_EQ(ConditionHolds(c.condition, c.text, c.pattern, c.caseSensitive), c.holds)
            << c.condition << " '" << c.text << "' '" << c.pattern << "' case " << c.caseSensitive;
}

TEST(ConditionHoldsTest, WordsRoundTrip) {
    for (std::string_view word : kConditionWords)
        EXPECT_EQ(conditionWord(*conditionFromWord(word)), word);
    EXPECT_FALSE(conditionFromWord("Is Blank"));
}

TEST(ConditionHoldsTest, WordDelimitersAreExactlyThirtyFive) {
    int count = 0;
    for (int c = 0; c < 256; ++c)
        count += isWordDelimiter(static_cast<char>(c));
    EXPECT_EQ(count, 35);
    EXPECT_FALSE(isWordDelimiter('_'));
    EXPECT_TRUE(isWordDelimiter('@'));
}

TEST(SenderTestedTextTest, PartOfTheAddress) {
    struct Case {
        const char* what;
        MatchCondition condition;
        const char* address;
        const char* tested;
    };
    const Case cases[] = {
        {"Domain name", MatchCondition::Equals, "joe@spam.com", "spam.com"},
        {"Domain name", MatchCondition::AllNumeric, "joe@123.com", "123.com"},
        {"Domain name", MatchCondition::EndsWith, "nodomain", "nodomain"},
        {"Domain name", MatchCondition::Equals, "a@b@c", "b@c"},
        {"E-mail address", MatchCondition::Contains, "joe@spam.com", "joe@spam.com"},
        {"E-mail address", MatchCondition::IsBlank, "joe@spam.com", "joe@spam.com"},
        {"E-mail address", MatchCondition::IsUppercase, "JOE@spam.com", "JOE"},
        {"E-mail address", MatchCondition::AllNumeric, "4325154@x.com", "4325154"},
        {"E-mail address", MatchCondition::HalfNumeric, "@x.com", ""},
        {"E-mail address", MatchCondition::FirstCharNumeric, "9lives", "9lives"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(senderTestedText(c.what, c.condition, c.address), c.tested) << c.address;
}

} // namespace
} // namespace mv
