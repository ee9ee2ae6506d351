#include "screening/RuleTester.h"

#include "screening/ScreeningPass.h"

#include <algorithm>

namespace mv {
namespace {

// "Message from ...", "Subject of ..." and a blank line open every answer of whyMarked.
constexpr std::ptrdiff_t kWhyHeadingLines = 3;

// A resolver that is never asked: the copy has the unknown-domain check off.
class NoResolver final : public DomainResolver {
public:
    DomainLookup resolve(const std::string&) override { return DomainAnswer::Exists; }
};

// The rule set with every other table reduced to its heading row and every option that looks
// beyond the table switched off.
RuleSet onlyTable(const RuleSet& rules, TableId table) {
    RuleSet copy = rules;
    for (TableId id : kAllTables)
        if (id != table) copy.table(id).setRowCount(1);
    SpamOptions& o = copy.options();
    o.checkDomains = o.smallerOn = o.largerOn = o.compareWithKnownList = false;
    copy.known().clear();
    return copy;
}

} // namespace

std::vector<std::string> testRulesOn(const RuleSet& rules, TableId table, std::string_view text) {
    RuleSet copy = onlyTable(rules, table);
    NoResolver resolver;
    UnknownDomainCheck domains(resolver, copy.options());
    ScreeningPass pass(copy, domains, [] { return 0; });
    MessageEntry message;
    (table == TableId::Sender ? message.sender : message.subject) = std::string(text);
    // Marked as the pass would mark it, so the lines carry no note of a mark changed by hand.
    pass.MarkForDeletion(std::span(&message, 1), 0);
    std::vector<std::string> lines = pass.whyMarked(message);
    // The heading lines only repeat the typed text beside the box.
    lines.erase(lines.begin(),
                lines.begin() + std::min<std::ptrdiff_t>(kWhyHeadingLines, std::ssize(lines)));
    return lines;
}

} // namespace mv
