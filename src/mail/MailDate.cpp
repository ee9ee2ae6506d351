#include "mail/MailDate.h"

#include "base/Text.h"
#include "mail/EmailAddress.h"

#include <optional>

namespace mv {

namespace {

// Position of the first character satisfying `pred`, or s.size(). Empty when the scan stops on
// the last character: a text that ends right where the next field should begin is not a date.
template <typename Pred> std::optional<std::size_t> scan(const std::string& s, Pred pred) {
    std::size_t i = 0;
    while (i < s.size() && !pred(s[i])) ++i;
    if (!s.empty() && i == s.size() - 1) return std::nullopt;
    return i;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::optional<int> number(std::string_view text) {
    std::string t = trim(text);
    if (t.empty() || t.size() > 9) return std::nullopt;
    for (char c : t)
        if (!isDigit(c)) return std::nullopt;
    return std::stoi(t);
}

// The month named by the first word of s: "JAN" ... "DEC", longer names allowed.
int monthOfWord(const std::string& s) {
    std::string word = s.substr(0, s.find_first_of(" ,-0123456789"));
    for (int m = 0; m < 12; ++m)
        if (startsWithNoCase(word, MonthAbbreviations[m])) return m + 1;
    return 0;
}

std::optional<MailDate> parse(std::string_view text, const RegionalSettings& regional) {
    std::string s = upperAscii(StripQuotes(text));
    if (s.empty()) return std::nullopt;

    auto at = scan(s, isDigit);
    if (!at) return std::nullopt;
    s = trim(s.substr(*at));

    at = scan(s, [](char c) { return c == ' '; });
    if (!at) return std::nullopt;
    auto day = number(s.substr(0, *at));
    s = *at < s.size() ? trim(s.substr(*at + 1)) : std::string();

    int month = monthOfWord(s);
    if (!day || month == 0) return std::nullopt;

    at = scan(s, isDigit);
    if (!at) return std::nullopt;
    s = trim(s.substr(*at));

    at = scan(s, [](char c) { return c == ' ' || c == ','; });
    if (!at) return std::nullopt;
    std::string yearText = trim(s.substr(0, *at));
    if (!yearText.empty() && yearText.back() == ',') yearText.pop_back();
    auto year = number(yearText);
    if (!year) return std::nullopt;
    if (*year >= 51 && *year <= 99) *year += 1900;
    else if (*year >= 0 && *year <= 50) *year += 2000;
    s = *at < s.size() ? trim(s.substr(*at + 1)) : std::string();

    at = scan(s, [](char c) { return c == ' '; });
    if (!at) return std::nullopt;
    std::string timeText = trim(s.substr(0, *at));
    if (!timeText.empty() && timeText.back() == ',') timeText.pop_back();

    auto date = encodeDate(*year, month, *day);
    if (!date) return std::nullopt;
    MailDate result;
    result.value = *date + parseTime(timeText, regional).value_or(0);
    result.zone = *at < s.size() ? trim(s.substr(*at + 1)) : std::string();
    return result;
}

} // namespace

MailDate ParseMailDate(std::string_view text, const RegionalSettings& regional) {
    return parse(text, regional).value_or(MailDate{});
}

} // namespace mv
