#pragma once
// "Test a message" of the spam settings: which rules of one table a typed subject or sender
// address would meet, in the reason lines "Why was this e-mail marked?" gives. Runs on a copy of
// the rule set holding only that table, so no hit counter moves, no other table or option takes
// part and no name server is asked.
#include "screening/RuleSet.h"

#include <string>
#include <string_view>
#include <vector>

namespace mv {

// `text` is the subject for the subject table, the sender's address for the sender table.
std::vector<std::string> testRulesOn(const RuleSet& rules, TableId table, std::string_view text);

} // namespace mv
