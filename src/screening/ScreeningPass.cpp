#include "screening/ScreeningPass.h"

#include "base/FlagScope.h"
#include "base/Text.h"
#include "mail/EmailAddress.h"

#include <algorithm>
#include <stdexcept>

namespace mv {

namespace {
// An empty text is contained in nothing, so an absent field never passes for a match.
bool containsNoCase(std::string_view text, std::string_view needle) {
    return !needle.empty() && findNoCase(text, needle) != std::string_view::npos;
}

std::optional<std::string_view> shownPattern(const PatternTest& test) {
    if (!test.showsPattern()) return std::nullopt;
    return test.pattern;
}

// The row's size in octets; none when the server gave no size that could be read.
std::optional<long long> knownSize(std::string_view sizeText) {
    std::optional<long long> size = parseInteger(sizeText);
    if (!size || *size < 0) return std::nullopt;
    return size;
}

constexpr std::string_view kSizeUnknown =
    "Size unknown: the server gave no size that could be read, so the size limits were not "
    "applied";
} // namespace

// The texts of one message that the rules test, each folded once however many rules read it.
class ScreeningPass::MessageTexts {
public:
    explicit MessageTexts(const MessageEntry& entry)
        : entry(entry), subjectFolded(upperAscii(entry.subject)),
          senderFolded(upperAscii(entry.sender)) {}

    const MessageEntry& entry;
    const std::string subjectFolded;
    const std::string senderFolded;

    const std::vector<std::string>& foldedLines() {
        if (!m_foldedLines) {
            m_foldedLines.emplace();
            m_foldedLines->reserve(entry.headers.count());
            for (const std::string& line : entry.headers.lines())
                m_foldedLines->push_back(upperAscii(line));
        }
        return *m_foldedLines;
    }

    const std::string& field(std::string_view name) {
        for (const auto& [key, value] : m_fields)
            if (key == name) return value;
        return m_fields.emplace_back(std::string(name), entry.headers.GetFieldValue(name)).second;
    }

    const std::string& fromAddress() {
        if (!m_fromAddress) m_fromAddress = SplitAddress(field("From:")).address;
        return *m_fromAddress;
    }

private:
    std::optional<std::vector<std::string>> m_foldedLines;
    std::vector<std::pair<std::string, std::string>> m_fields;
    std::optional<std::string> m_fromAddress;
};

ScreeningPass::ScreeningPass(RuleSet& rules, UnknownDomainCheck& domains,
                             std::function<int()> serverToIndex)
    : m_rules(rules), m_domains(domains), m_serverToIndex(std::move(serverToIndex)) {}

void ScreeningPass::MarkForDeletion(std::span<MessageEntry> rows, int index) {
    if (index >= static_cast<int>(rows.size())) throw std::out_of_range("no such message row");
    const ScreeningRules& rules = currentRules();
    addProblems(rules);
    m_mailbox = m_serverToIndex ? m_serverToIndex() : 0;
    if (index >= 0) return screen(rules, rows[static_cast<std::size_t>(index)]);
    for (MessageEntry& row : rows)
        screen(rules, row);
}

void ScreeningPass::rescreen(std::span<MessageEntry> rows) {
    FlagScope uncounted(m_uncounted);
    MarkForDeletion(rows, -1);
}

int ScreeningPass::autoMark(std::span<MessageEntry> rows) {
    for (MessageEntry& row : rows)
        row.mark = kMarkNone;
    MarkForDeletion(rows, -1);
    return static_cast<int>(std::count_if(rows.begin(), rows.end(), [](const MessageEntry& row) {
        return isMarkedForDeletion(row.mark);
    }));
}

std::vector<std::string> ScreeningPass::whyMarked(MessageEntry& row) {
    m_reasons = {"Message from " + row.sender, "Subject of   " + row.subject, ""};
    const std::size_t headingLines = m_reasons.size();
    const MarkState before = row.mark;
    row.mark = kMarkNone;
    try {
        FlagScope explain(m_explain);
        MarkForDeletion(std::span(&row, 1), 0);
    } catch (...) {
        row.mark = before;
        throw;
    }
    const MarkState after = row.mark;
    row.mark = before;
    if (m_reasons.size() == headingLines)
        m_reasons.emplace_back(
            "Message was neither on the exception list nor on the list of matching criteria");
    const SpamOptions& o = m_rules.options();
    if ((o.smallerOn || o.largerOn) && !knownSize(row.size))
        m_reasons.emplace_back(kSizeUnknown);
    if (before == kMarkDelete && after != kMarkDelete)
        m_reasons.emplace_back("** You marked this message **");
    if (before == kMarkNone && after != kMarkNone)
        m_reasons.emplace_back("** You un-marked this message **");
    return std::exchange(m_reasons, {});
}

std::vector<std::string> ScreeningPass::takeProblems() {
    return std::exchange(m_problems, {});
}

void ScreeningPass::addProblems(const ScreeningRules& rules) {
    for (const std::string& problem : rules.problems)
        if (std::find(m_problems.begin(), m_problems.end(), problem) == m_problems.end())
            m_problems.push_back(problem);
}

const ScreeningRules& ScreeningPass::currentRules() {
    std::array<std::uint64_t, 4> revisions{};
    for (TableId id : kAllTables)
        revisions[static_cast<std::size_t>(id)] = m_rules.table(id).revision();
    if (!m_compiled || revisions != m_compiledRevisions) {
        m_compiled.emplace(m_rules);
        m_compiledRevisions = revisions;
    }
    return *m_compiled;
}

void ScreeningPass::screen(const ScreeningRules& rules, MessageEntry& row) {
    MessageTexts message(row);
    if (std::optional<int> picture = qIsInException(rules, message)) {
        row.mark = *picture; // an exception beats every other rule
        return;
    }
    MarkState mark = row.mark;
    // A delete beats a question; a question never lowers a delete.
    auto apply = [&](Verdict verdict) {
        if (verdict.matched)
            mark = verdict.deletes ? kMarkDelete : (mark == kMarkDelete ? mark : kMarkQuestion);
    };
    // A row that has reached delete is finished, unless every reason is wanted.
    auto goOn = [&] { return m_explain || mark != kMarkDelete; };

    Verdict size = tooBigSmall(row.size);
    if (size.matched) mark = size.deletes ? kMarkDelete : kMarkQuestion;
    if (goOn()) apply(qMarkThisSubject(rules, message));
    if (goOn()) apply(qmarkThisSender(rules, message));
    if (goOn()) apply(qMarkThisHeader(rules, message));
    if (m_rules.options().checkDomains && goOn()) apply(CheckDomain(message));
    if (m_rules.options().compareWithKnownList && goOn()) {
        if (auto found = isInKnownList(row.sender)) {
            if (mark != kMarkDelete) mark = kMarkKnownSpammer;
            whyAdd(true, found->first,
                   "\"" + found->second +
                       "\" is on the KNOWN SPAMMER BLACKLIST (you may edit if this is in error)",
                   std::nullopt, false);
        }
    }
    row.mark = mark;
}

std::optional<int> ScreeningPass::qIsInException(const ScreeningRules& rules,
                                                 MessageTexts& message) {
    for (const ExceptionRule& rule : rules.exceptions) {
        if (!exceptionHolds(rule, message)) continue;
        BumpUpGrid(TableId::Exceptions, rule.row);
        return rule.picture;
    }
    return std::nullopt;
}

bool ScreeningPass::exceptionHolds(const ExceptionRule& rule, MessageTexts& message) {
    const PatternTest& test = rule.test;
    const std::string_view condition = conditionWord(test.condition);
    switch (rule.kind) {
    case ExceptionRule::Kind::Domain:
    case ExceptionRule::Kind::Address:
        if (!test.holds(message.entry.sender, message.senderFolded)) return false;
        whyExcept(rule.what, "Equals", test.pattern, false);
        return true;
    case ExceptionRule::Kind::Subject:
        if (!test.holds(message.entry.subject, message.subjectFolded)) return false;
        whyExcept("Subject", condition, test.pattern, test.caseSensitive);
        return true;
    case ExceptionRule::Kind::AnyHeader: {
        const std::vector<std::string>& lines = message.entry.headers.lines();
        const std::vector<std::string>& folded = message.foldedLines();
        bool matched = false;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (!test.holds(lines[i], folded[i])) continue;
            matched = true;
            whyExcept("Any Header " + lines[i], condition, test.pattern, test.caseSensitive);
            if (!m_explain) break;
        }
        return matched;
    }
    case ExceptionRule::Kind::Field: {
        const std::string& value = message.field(rule.what);
        if (!test.holds(value, upperAscii(value))) return false;
        whyExcept(rule.what + " " + value, condition, test.pattern, test.caseSensitive);
        return true;
    }
    }
    return false;
}

ScreeningPass::Verdict ScreeningPass::tooBigSmall(std::string_view sizeText) {
    std::optional<long long> size = knownSize(sizeText);
    if (!size) return {};
    const SpamOptions& o = m_rules.options();
    if (o.smallerOn && *size < o.smallerLimit) {
        whyAdd(o.smallerDeletes, "Size", "smaller than", std::to_string(o.smallerLimit), false);
        return {true, o.smallerDeletes};
    }
    if (o.largerOn && *size > o.largerLimit) {
        whyAdd(o.largerDeletes, "Size", "larger than", std::to_string(o.largerLimit), false);
        return {true, o.largerDeletes};
    }
    return {};
}

// Question rules never end the walk; without the explain flag, a matching delete rule does.
ScreeningPass::Verdict ScreeningPass::qMarkThisSubject(const ScreeningRules& rules,
                                                       MessageTexts& message) {
    Verdict verdict;
    for (const SubjectRule& rule : rules.subject) {
        if (!rule.test.holds(message.entry.subject, message.subjectFolded)) continue;
        BumpUpGrid(TableId::Subject, rule.row);
        verdict.add(rule.deletes);
        whyAdd(rule.deletes, "Subject", conditionWord(rule.test.condition), shownPattern(rule.test),
               rule.test.caseSensitive);
        if (endsWalk(rule.deletes)) break;
    }
    return verdict;
}

ScreeningPass::Verdict ScreeningPass::qmarkThisSender(const ScreeningRules& rules,
                                                      MessageTexts& message) {
    Verdict verdict;
    for (const SenderRule& rule : rules.sender) {
        MatchCondition condition = rule.test.condition;
        if (!rule.test.holds(senderTestedText(rule.what, condition, message.entry.sender),
                             senderTestedText(rule.what, condition, message.senderFolded)))
            continue;
        BumpUpGrid(TableId::Sender, rule.row);
        verdict.add(rule.deletes);
        whyAdd(rule.deletes, rule.what, conditionWord(condition), shownPattern(rule.test), false);
        if (endsWalk(rule.deletes)) break;
    }
    return verdict;
}

ScreeningPass::Verdict ScreeningPass::qMarkThisHeader(const ScreeningRules& rules,
                                                      MessageTexts& message) {
    Verdict verdict;
    for (const HeaderRule& rule : rules.header) {
        bool matched = rule.kind == HeaderRule::Kind::Lines ? headerLinesHold(rule, message)
                                                            : headerRuleHolds(rule, message);
        if (!matched) continue;
        verdict.add(rule.deletes);
        if (endsWalk(rule.deletes)) break;
    }
    return verdict;
}

// Every header line takes part, the last one included; each matching line counts as a hit.
bool ScreeningPass::headerLinesHold(const HeaderRule& rule, MessageTexts& message) {
    const std::vector<std::string>& lines = message.entry.headers.lines();
    const std::vector<std::string>& folded = message.foldedLines();
    bool matched = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!rule.test.holds(lines[i], folded[i])) continue;
        matched = true;
        BumpUpGrid(TableId::Header, rule.row);
        whyAdd(rule.deletes, "Header", conditionWord(rule.test.condition), rule.test.pattern,
               rule.caseSensitive);
        if (endsWalk(rule.deletes)) break;
    }
    return matched;
}

bool ScreeningPass::headerRuleHolds(const HeaderRule& rule, MessageTexts& message) {
    std::string what = "Header";
    std::string condition(kSenderRow);
    std::string pattern;
    switch (rule.kind) {
    case HeaderRule::Kind::ToDoesNotContain: {
        const std::string& to = message.field("To:");
        if (rule.mailbox != m_mailbox || to.empty() || containsNoCase(to, rule.address))
            return false;
        what = "Header \"" + to + "\"";
        condition = kToDoesNotContain;
        pattern = rule.address;
        break;
    }
    case HeaderRule::Kind::SenderNotReplyTo: {
        const std::string& replyTo = message.field("Reply-to:");
        const std::string& from = message.fromAddress();
        if (replyTo.empty() || containsNoCase(replyTo, from) || containsNoCase(from, replyTo))
            return false;
        pattern = replyTo + " " + std::string(kNotReplyTo) + " " + from;
        break;
    }
    case HeaderRule::Kind::SenderEqualsTo: {
        std::string to = SplitAddress(message.field("To:")).address;
        const std::string& from = message.fromAddress();
        if (to.empty() || !(containsNoCase(to, from) || containsNoCase(from, to))) return false;
        pattern = to + " " + std::string(kEqualsTo) + " " + from;
        break;
    }
    case HeaderRule::Kind::Lines:
        return false;
    }
    BumpUpGrid(TableId::Header, rule.row);
    whyAdd(rule.deletes, what, condition, pattern, rule.caseSensitive);
    return true;
}

ScreeningPass::Verdict ScreeningPass::CheckDomain(MessageTexts& message) {
    const bool deletes = m_rules.options().unknownDomainDeletes;
    std::optional<std::string> domain = m_domains.CheckDomain(message.entry.headers);
    if (!domain) return {false, deletes};
    whyAdd(deletes, "Reply to or From (" + *domain + ") ", "is an", "Unknown domain", false);
    return {true, deletes};
}

std::optional<std::pair<std::string, std::string>>
ScreeningPass::isInKnownList(std::string_view sender) {
    const KnownList& known = m_rules.known();
    if (known.contains(sender)) return std::pair{std::string("E-mail"), std::string(sender)};
    std::size_t at = sender.find('@');
    if (at == std::string_view::npos) return std::nullopt;
    std::string_view domain = sender.substr(at + 1);
    if (known.contains(domain)) return std::pair{std::string("Domain"), std::string(domain)};
    return std::nullopt;
}

void ScreeningPass::BumpUpGrid(TableId id, int row) {
    if (m_explain || m_uncounted) return;
    RuleTable& table = m_rules.table(id);
    const std::size_t i = static_cast<std::size_t>(id);
    const bool current = m_compiledRevisions[i] == table.revision();
    const int hits = hitsColumn(id);
    table.setCell(hits, row, std::to_string(parseIntegerOr(table.cell(hits, row), 0) + 1));
    // No rule tests its own hit count, so the rules read before this write stay valid.
    if (current) m_compiledRevisions[i] = table.revision();
}

void ScreeningPass::whyAdd(bool deleteFlag, std::string_view what, std::string_view condition,
                           std::optional<std::string_view> pattern, bool caseSensitive) {
    if (!m_explain) return;
    std::string line = m_exception ? "Exception : " : (deleteFlag ? "Delete   : " : "Question : ");
    line.append(" ").append(what).append(" ").append(condition);
    if (pattern) {
        line.append(" \"").append(*pattern).append("\" ");
        if (caseSensitive) line += " (Case Sensitive)";
    }
    m_reasons.push_back(std::move(line));
}

void ScreeningPass::whyExcept(std::string_view what, std::string_view condition,
                              std::string_view pattern, bool caseSensitive) {
    FlagScope exception(m_exception);
    whyAdd(false, what, condition, pattern, caseSensitive);
}

} // namespace mv
