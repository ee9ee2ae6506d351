#include "screening/RuleImports.h"

#include "base/Text.h"
#include "screening/RuleRows.h"

namespace mv {

namespace {
// Lines that trim to nothing are skipped: their rule would have an empty "Matches" text.
template <class AddRule> int importLines(const std::vector<std::string>& lines, AddRule addRule) {
    int added = 0;
    for (const std::string& line : dropRepeatedLines(lines)) {
        const std::string text = trim(line);
        if (text.empty()) continue;
        addRule(text);
        ++added;
    }
    return added;
}
} // namespace

std::vector<std::string> dropRepeatedLines(const std::vector<std::string>& lines) {
    std::vector<std::string> kept;
    for (const std::string& line : lines)
        if (kept.empty() || kept.back() != line) kept.push_back(line);
    return kept;
}

int importKeywords(RuleTable& subject, const std::vector<std::string>& lines) {
    return importLines(lines, [&](const std::string& text) {
        const int row = rowForAppend(subject, TableId::Subject);
        putRuleRow(subject, TableId::Subject, row,
                   {"", "Contains (whole word)", text, std::string(kNo), std::string(kYes), "0"});
    });
}

void appendAddressException(RuleTable& exceptions, std::string_view address) {
    const int row = rowForAppend(exceptions, TableId::Exceptions);
    putRuleRow(exceptions, TableId::Exceptions, row,
               {"E-mail address", "Equals", std::string(address), std::string(kNo), "0", "",
                std::to_string(kPictureFirstException)});
}

int importAddresses(RuleTable& exceptions, const std::vector<std::string>& lines) {
    return importLines(lines,
                       [&](const std::string& text) { appendAddressException(exceptions, text); });
}

} // namespace mv
