#pragma once
// The screening pass: marks message rows from the rule set in a fixed order (exceptions, size,
// subject, sender, header, unknown domain, known spammers), raises the hit counters of the rules
// that matched and, in explain mode, writes the reason lines that answer "Why was this e-mail
// marked?". Lives as long as the program's rule set; holds no state of the message list.
#include "screening/MessageEntry.h"
#include "screening/RuleSet.h"
#include "screening/ScreeningRules.h"
#include "screening/UnknownDomainCheck.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

inline constexpr std::string_view kNothingMatched =
    "None of the messages matched any of the spam criteria.";
inline constexpr std::string_view kWhyTitle = "Reasons that e-mail is marked or not marked";

class ScreeningPass {
public:
    // `serverToIndex` gives the number (1 to 12) of the mailbox being checked, 0 if none; rows
    // of "To does not contain" rules apply only to messages of their own mailbox.
    ScreeningPass(RuleSet& rules, UnknownDomainCheck& domains, std::function<int()> serverToIndex);

    // Screens row `index`, or every row first to last when it is negative. A row's mark changes
    // only where a rule matches; callers wanting a fresh verdict reset it to kMarkNone first.
    void MarkForDeletion(std::span<MessageEntry> rows, int index);
    // Screens every row once more without raising the hit counters: each row was counted when
    // it was screened as it arrived, and one message must raise a rule's counter once.
    void rescreen(std::span<MessageEntry> rows);
    // "Auto-mark messages": resets every mark, screens every row, and returns how many rows are
    // marked for deletion (none: the caller shows kNothingMatched).
    int autoMark(std::span<MessageEntry> rows);
    // "Why was this e-mail marked?" for one row: the heading lines, the reason of every rule that
    // matches, and the notes on a mark the user changed by hand. Changes no mark and no counter.
    std::vector<std::string> whyMarked(MessageEntry& row);

    // Broken rule rows met by the passes since the last call, each once, for the user.
    std::vector<std::string> takeProblems();

private:
    class MessageTexts;
    // What one step of the pass found for one message: whether a rule matched, and whether one of
    // those deletes.
    struct Verdict {
        bool matched = false;
        bool deletes = false;
        void add(bool ruleDeletes) {
            matched = true;
            deletes = deletes || ruleDeletes;
        }
    };

    // The rules as the tables stand now, read again only when a table changed.
    const ScreeningRules& currentRules();
    void screen(const ScreeningRules& rules, MessageEntry& row);
    std::optional<int> qIsInException(const ScreeningRules& rules, MessageTexts& message);
    bool exceptionHolds(const ExceptionRule& rule, MessageTexts& message);
    Verdict tooBigSmall(std::string_view sizeText);
    Verdict qMarkThisSubject(const ScreeningRules& rules, MessageTexts& message);
    Verdict qmarkThisSender(const ScreeningRules& rules, MessageTexts& message);
    Verdict qMarkThisHeader(const ScreeningRules& rules, MessageTexts& message);
    bool headerRuleHolds(const HeaderRule& rule, MessageTexts& message);
    bool headerLinesHold(const HeaderRule& rule, MessageTexts& message);
    Verdict CheckDomain(MessageTexts& message);
    // The list entry and its kind ("E-mail" or "Domain") that the sender is found as.
    std::optional<std::pair<std::string, std::string>> isInKnownList(std::string_view sender);
    // A matching delete rule ends its table's walk, unless every reason is wanted.
    bool endsWalk(bool ruleDeletes) const { return !m_explain && ruleDeletes; }
    void BumpUpGrid(TableId table, int row);
    void whyAdd(bool deleteFlag, std::string_view what, std::string_view condition,
                std::optional<std::string_view> pattern, bool caseSensitive);
    void whyExcept(std::string_view what, std::string_view condition, std::string_view pattern,
                   bool caseSensitive);
    void addProblems(const ScreeningRules& rules);

    RuleSet& m_rules;
    UnknownDomainCheck& m_domains;
    std::function<int()> m_serverToIndex;
    int m_mailbox = 0;        // serverToIndex, read once per pass
    bool m_explain = false;   // set only while whyMarked runs the pass
    bool m_uncounted = false; // set only while rescreen runs the pass
    bool m_exception = false; // set only while an exception's reason line is added
    std::vector<std::string> m_reasons;
    std::vector<std::string> m_problems;
    std::optional<ScreeningRules> m_compiled;
    std::array<std::uint64_t, 4> m_compiledRevisions{}; // of the tables m_compiled was read from
};

} // namespace mv
