#include "mail/EmailAddress.h"

#include "base/Text.h"

#include <algorithm>

namespace mv {

std::string StripQuotes(std::string_view text) {
    std::string s = trim(text);
    std::size_t b = 0;
    while (b < s.size() && s[b] == '"') ++b;
    std::size_t e = s.size();
    while (e > b && s[e - 1] == '"') --e;
    return s.substr(b, e - b);
}

namespace {

// The trimmed mailbox without as many quotes at its start as at its end. A quoted local part
// ("System Administrator"@example.com) keeps its quotes, since without one of them it is no
// address; a wholly quoted mailbox loses both.
std::string stripMailboxQuotes(std::string_view text) {
    std::string s = trim(text);
    std::size_t leading = 0;
    while (leading < s.size() && s[leading] == '"') ++leading;
    std::size_t trailing = 0;
    while (trailing < s.size() - leading && s[s.size() - 1 - trailing] == '"') ++trailing;
    std::size_t pairs = std::min(leading, trailing);
    return s.substr(pairs, s.size() - 2 * pairs);
}

} // namespace

void ParseAddress(std::string_view text, TEmailAddress& target) {
    std::size_t open = text.find('<');
    if (open != std::string_view::npos) {
        std::size_t close = text.find('>');
        if (close == std::string_view::npos || close < open) {
            target.Address.clear();
            target.Name = cutShort(StripQuotes(text));
            return;
        }
        target.Address = cutShort(stripMailboxQuotes(text.substr(open + 1, close - open - 1)));
        std::string rest = std::string(text.substr(0, open)) + std::string(text.substr(close + 1));
        target.Name = cutShort(StripQuotes(rest));
        return;
    }
    std::size_t paren = text.find('(');
    if (paren != std::string_view::npos) {
        target.Address = cutShort(stripMailboxQuotes(text.substr(0, paren)));
        // the last character is taken to be the closing bracket
        std::size_t nameLength = text.size() - paren - 1;
        target.Name = cutShort(StripQuotes(text.substr(paren + 1, nameLength ? nameLength - 1 : 0)));
        return;
    }
    target.Address = cutShort(text);
    target.Name.clear();
}

SplitResult SplitAddress(std::string_view text) {
    TEmailAddress a;
    ParseAddress(text, a);
    return {a.Address, a.Name};
}

} // namespace mv
