#pragma once
// The two imports of the spam settings: pasted lines turned into subject keyword rules or into
// address exceptions, appended to the table the rule set owns. Free functions; no state.
#include "screening/RuleSet.h"

#include <string>
#include <vector>

namespace mv {

inline constexpr std::string_view kImportKeywordsTitle = "Import spam keywords";
inline constexpr std::string_view kImportAddressesTitle = "Import e-mail addresses";

// The import dialog's OK: a line equal to the line before it (case included) is dropped.
std::vector<std::string> dropRepeatedLines(const std::vector<std::string>& lines);

// Each line that is not blank becomes a "Contains (whole word)" delete rule on its trimmed text,
// repeats dropped as the dialog does. Returns how many rules were added.
int importKeywords(RuleTable& subject, const std::vector<std::string>& lines);
// Each line that is not blank becomes an "E-mail address" exception with picture 3.
int importAddresses(RuleTable& exceptions, const std::vector<std::string>& lines);

// The rule an exception-import line or an accepted sender gets, appended to the table.
void appendAddressException(RuleTable& exceptions, std::string_view address);

} // namespace mv
