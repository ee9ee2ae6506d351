#include "screening/QuickAdd.h"

#include "base/Text.h"
#include "screening/RuleImports.h"
#include "screening/RuleRows.h"

namespace mv {

namespace {
bool isBlankSender(std::string_view sender) {
    return trim(sender).empty();
}

// A new first rule: it fills the table's empty rule row, else goes in above row 1.
void addFirstRule(RuleTable& table, TableId id, const RuleRow& cells) {
    putRuleRow(table, id, rowForInsert(table, id, 1), cells);
}
} // namespace

SpamListChoice spamListChoice(std::span<const MessageEntry> messages) {
    SpamListChoice choice;
    for (const MessageEntry& m : messages) {
        if (!m.selected) continue;
        if (choice.rows.size() == kSpamListRows) break;
        choice.rows.push_back({m.subject, m.sender});
    }
    return choice;
}

int addToSpamList(RuleSet& rules, const SpamListChoice& choice) {
    int added = 0;
    const std::string yes(kYes);
    for (const SpamListChoice::Row& row : choice.rows) {
        if (row.subject.empty()) continue;
        if (choice.subjects) {
            addFirstRule(rules.subject(), TableId::Subject,
                         {"", "Equals", row.subject, yes, yes, "1"});
            ++added;
        }
        if (choice.senders && !isBlankSender(row.sender)) {
            addFirstRule(rules.sender(), TableId::Sender,
                         {"", "E-mail address", "Equals", row.sender, yes, "1"});
            ++added;
        }
    }
    return added;
}

int addSendersToExceptions(RuleSet& rules, std::span<const MessageEntry> messages) {
    int added = 0;
    for (const MessageEntry& m : messages) {
        if (!m.selected || isBlankSender(m.sender)) continue;
        appendAddressException(rules.exceptions(), m.sender);
        ++added;
    }
    return added;
}

} // namespace mv
