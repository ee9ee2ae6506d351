#pragma once
// The message list's two quick-add commands as far as the rules go: the selected messages turned
// into subject and sender delete rules ("Add selected message(s) to spam list") or into sender
// exceptions ("Add selected sender(s) to exceptions list"). The caller shows the empty-selection
// message, saves the settings and re-screens the list afterwards. Free functions; no state.
#include "screening/MessageEntry.h"
#include "screening/RuleSet.h"

#include <span>
#include <string>
#include <vector>

namespace mv {

// The "Mark e-mail for deletion" dialog holds this many messages; later selected ones take no part.
inline constexpr std::size_t kSpamListRows = 249;

// What the "Mark e-mail for deletion" dialog shows and asks.
struct SpamListChoice {
    struct Row {
        std::string subject, sender;
        bool operator==(const Row&) const = default;
    };
    std::vector<Row> rows; // the selected messages in list order, at most kSpamListRows
    bool subjects = true;  // "Always &delete mail with these particular subject headings"
    bool senders = true;   // "&Always delete mail from these particular senders"
};

// The dialog's content for the selected rows of the message list.
SpamListChoice spamListChoice(std::span<const MessageEntry> messages);

// The dialog's OK: for every row with a subject, in order, a new first subject rule "Equals" the
// subject (case matters) and a new first sender rule "Equals" the address, both delete rules that
// start at 1 hit; so the last message's rules end up on top. A blank sender gets no sender rule:
// "Equals" nothing would match every message without a sender. Returns the rules added.
int addToSpamList(RuleSet& rules, const SpamListChoice& choice);

// An "E-mail address" exception with picture 3 for the sender of every selected row, in list
// order, after the existing exceptions; blank senders are skipped. Returns the exceptions added.
int addSendersToExceptions(RuleSet& rules, std::span<const MessageEntry> messages);

} // namespace mv
