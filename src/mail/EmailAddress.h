#pragma once
// E-mail addresses: a display name and the mailbox itself, and the lenient parser the screening
// and the check run pass every sender and recipient through. Parsing never fails.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mv {

struct TEmailAddress {
    std::string Name;    // display name; at most 255 bytes; may be empty
    std::string Address; // local part, at sign, domain; at most 255 bytes; may be empty

    void Clear() { Name.clear(), Address.clear(); }
    bool operator==(const TEmailAddress&) const = default;
};

using TEmailAddressList = std::vector<TEmailAddress>;

// Trimmed text without the double quotes at its start and its end.
std::string StripQuotes(std::string_view text);
// "Name <mailbox>", "mailbox (Name)" or a bare mailbox.
void ParseAddress(std::string_view text, TEmailAddress& target);

struct SplitResult {
    std::string address, name;
};
SplitResult SplitAddress(std::string_view text);

} // namespace mv
