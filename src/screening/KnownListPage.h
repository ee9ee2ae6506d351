#pragma once
// The known-spammer page of the spam settings: `known.lst` shown as plain lines, edited as text,
// and rebuilt into the sorted known-spammer list on save. Lives as long as the settings dialog
// (or one command-line call); the list it rebuilds belongs to its caller.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

// Holds an "@" and nothing but numeric characters (digits and '_') before the first one, an empty
// part included: such entries are throw-away addresses that would only bloat the list.
bool isNumericAddress(std::string_view text);

// The entries the edited lines give, in the order of the lines: a line equal to the line before it
// (case ignored) is a repeat, a numeric address is dropped, and so is a blank line, since an empty
// entry would put every message without a sender on the blacklist.
std::vector<std::string> knownEntriesFromLines(const std::vector<std::string>& lines);

} // namespace mv
