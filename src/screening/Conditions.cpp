#include "screening/Conditions.h"

#include "base/Text.h"

#include <algorithm>
#include <cstring>

namespace mv {

std::optional<MatchCondition> conditionFromWord(std::string_view word) {
    for (std::size_t i = 0; i < kConditionWords.size(); ++i)
        if (kConditionWords[i] == word) return static_cast<MatchCondition>(i);
    return std::nullopt;
}

std::string_view conditionWord(MatchCondition condition) {
    return kConditionWords[static_cast<std::size_t>(condition)];
}

bool isTextCondition(MatchCondition condition) {
    return condition <= MatchCondition::EndsWith;
}

bool isBlankChar(char c) {
    return c == ' ' || c == '\r' || c == '\n' || c == '\b';
}

bool isBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(), isBlankChar);
}

bool isDigitChar(char c) {
    return c >= '0' && c <= '9';
}

bool isNumericChar(char c) {
    return isDigitChar(c) || c == '_';
}

std::size_t numericCount(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), isNumericChar));
}

namespace {
constexpr std::array<bool, 256> delimiterTable() {
    std::array<bool, 256> table{};
    for (char c : std::string_view("\t'\r\n ,./?;:`\"<>[]{}-=\\+|()%@&^$#!~*"))
        table[static_cast<unsigned char>(c)] = true;
    return table;
}
constexpr std::array<bool, 256> kDelimiters = delimiterTable();
} // namespace

bool isWordDelimiter(char c) {
    return kDelimiters[static_cast<unsigned char>(c)];
}

namespace {
// Position of needle in text, or npos. glibc's memmem skips ahead by pairs of characters, several
// times faster than a scan for the first character on header lines full of "X-".
std::size_t findBytes(std::string_view text, std::string_view needle, std::size_t from = 0) {
    if (from > text.size()) return std::string_view::npos;
    const void* hit =
        ::memmem(text.data() + from, text.size() - from, needle.data(), needle.size());
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data())
               : std::string_view::npos;
}

bool isWholeWordAt(std::string_view text, std::size_t pos, std::size_t length) {
    bool startsWord = pos == 0 || isWordDelimiter(text[pos - 1]);
    bool endsWord = pos + length == text.size() || isWordDelimiter(text[pos + length]);
    return startsWord && endsWord;
}

// Both texts already folded as the case mode asks.
// A word without delimiters that is not blank holds a character that is not blank, so a text it
// stands in is not blank either: only the word needs the blank test.
bool wholeWordFolded(std::string_view text, std::string_view word) {
    if (isBlank(word) || std::any_of(word.begin(), word.end(), isWordDelimiter)) return false;
    for (std::size_t pos = findBytes(text, word); pos != std::string_view::npos;
         pos = findBytes(text, word, pos + 1))
        if (isWholeWordAt(text, pos, word.size())) return true;
    return false;
}

bool isUppercase(std::string_view text) {
    return !isBlank(text) &&
           std::none_of(text.begin(), text.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}
} // namespace

bool WholeWordCheck(std::string_view text, std::string_view word, bool caseSensitive) {
    if (caseSensitive) return wholeWordFolded(text, word);
    return wholeWordFolded(upperAscii(text), upperAscii(word));
}

bool textConditionHolds(MatchCondition condition, std::string_view text, std::string_view pattern) {
    switch (condition) {
    case MatchCondition::Contains:
        return !pattern.empty() && findBytes(text, pattern) != std::string_view::npos;
    case MatchCondition::ContainsWholeWord:
        return wholeWordFolded(text, pattern);
    case MatchCondition::Equals:
        return text == pattern;
    case MatchCondition::StartsWith:
        return text.starts_with(pattern);
    case MatchCondition::EndsWith:
        return text.ends_with(pattern);
    default:
        return false;
    }
}

bool ConditionHolds(MatchCondition condition, std::string_view text, std::string_view pattern,
                    bool caseSensitive) {
    switch (condition) {
    case MatchCondition::IsBlank:
        return isBlank(text);
    case MatchCondition::IsUppercase:
        return isUppercase(text);
    case MatchCondition::AllNumeric:
        return numericCount(text) == text.size();
    case MatchCondition::HalfNumeric:
        return numericCount(text) >= text.size() / 2;
    case MatchCondition::FirstCharNumeric:
        return !text.empty() && isDigitChar(text.front());
    default:
        if (caseSensitive) return textConditionHolds(condition, text, pattern);
        return textConditionHolds(condition, upperAscii(text), upperAscii(pattern));
    }
}

bool ConditionHolds(std::string_view condition, std::string_view text, std::string_view pattern,
                    bool caseSensitive) {
    std::optional<MatchCondition> known = conditionFromWord(condition);
    return known && ConditionHolds(*known, text, pattern, caseSensitive);
}

std::string_view domainOf(std::string_view address) {
    std::size_t at = address.find('@');
    return at == std::string_view::npos ? address : address.substr(at + 1);
}

std::string_view localPartOf(std::string_view address) {
    std::size_t at = address.find('@');
    return at == std::string_view::npos ? address : address.substr(0, at);
}

std::string_view senderTestedText(std::string_view what, MatchCondition condition,
                                  std::string_view address) {
    if (what == "Domain name") return domainOf(address);
    bool characterClassTest = condition > MatchCondition::IsBlank;
    return characterClassTest ? localPartOf(address) : address;
}

} // namespace mv
