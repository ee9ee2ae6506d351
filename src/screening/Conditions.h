#pragma once
// The condition tests of the rule rows: what each of the ten condition words means, how case is
// folded, what counts as blank, numeric or a word boundary, and which text of a sender a sender
// rule tests. Pure functions.
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace mv {

enum class MatchCondition {
    Contains,
    ContainsWholeWord,
    Equals,
    StartsWith,
    EndsWith,
    IsBlank,
    IsUppercase,
    AllNumeric,
    HalfNumeric,
    FirstCharNumeric,
};

// The words the rule cells hold, in the order of MatchCondition.
inline constexpr std::array<std::string_view, 10> kConditionWords = {
    "Contains", "Contains (whole word)", "Equals",      "Starts with", "Ends with",
    "Is blank", "Is UPPERCASE",          "All numeric", "50% numeric", "First char numeric",
};

std::optional<MatchCondition> conditionFromWord(std::string_view word);
std::string_view conditionWord(MatchCondition condition);
// The five conditions that compare with a pattern text.
bool isTextCondition(MatchCondition condition);

// Space, CR, LF and backspace; a TAB is not blank.
bool isBlankChar(char c);
// Empty, or blank characters only.
bool isBlank(std::string_view text);
bool isDigitChar(char c);
// Digits and the underscore, for the two counting tests.
bool isNumericChar(char c);
std::size_t numericCount(std::string_view text);
// The 35 characters that end a word for "Contains (whole word)".
bool isWordDelimiter(char c);

// "Contains (whole word)": the word stands in the text with a delimiter or the text's edge on both
// sides. A word holding a delimiter itself never matches.
bool WholeWordCheck(std::string_view text, std::string_view word, bool caseSensitive);

// One condition word on one text; an unknown word gives false.
bool ConditionHolds(std::string_view condition, std::string_view text, std::string_view pattern,
                    bool caseSensitive);
bool ConditionHolds(MatchCondition condition, std::string_view text, std::string_view pattern,
                    bool caseSensitive);
// A text condition on texts the caller has already folded as the case mode asks; lets the
// screening pass fold each header line and each pattern once instead of once per comparison.
bool textConditionHolds(MatchCondition condition, std::string_view text, std::string_view pattern);

// What a sender rule tests of the address: the domain for "Domain name" rows; the local part for
// "E-mail address" rows with one of the four character-class tests; the whole address otherwise.
// A part that the address lacks (no "@") is the whole address.
std::string_view senderTestedText(std::string_view what, MatchCondition condition,
                                  std::string_view address);
std::string_view domainOf(std::string_view address);
std::string_view localPartOf(std::string_view address);

} // namespace mv
