#include "screening/ScreeningRules.h"

#include "base/Text.h"

namespace mv {

namespace {
constexpr std::string_view kMailboxSeparator = " - MailBox #";

bool isYes(std::string_view cell) {
    return cell == kYes;
}

bool subjectAccepts(MatchCondition condition) {
    return isTextCondition(condition) || condition == MatchCondition::IsBlank ||
           condition == MatchCondition::IsUppercase;
}

std::string notAnInteger(std::string_view text) {
    return "'" + std::string(text) + "' is not a valid integer value";
}
} // namespace

PatternTest::PatternTest(MatchCondition condition, std::string pattern, bool caseSensitive)
    : condition(condition), pattern(std::move(pattern)), caseSensitive(caseSensitive) {
    folded = caseSensitive ? this->pattern : upperAscii(this->pattern);
}

bool PatternTest::holds(std::string_view text, std::string_view foldedText) const {
    if (!isTextCondition(condition)) return ConditionHolds(condition, text, pattern, caseSensitive);
    return textConditionHolds(condition, caseSensitive ? text : foldedText, folded);
}

ScreeningRules::ScreeningRules(const RuleSet& rules) {
    readExceptions(rules.exceptions());
    readSubject(rules.subject());
    readSender(rules.sender());
    readHeader(rules.header());
}

void ScreeningRules::report(std::string_view table, int row, std::string_view what) {
    problems.push_back(std::string(table) + " rule " + std::to_string(row) + ": " +
                       std::string(what));
}

bool ScreeningRules::refuseEmptyPattern(std::string_view table, int row, MatchCondition condition,
                                        std::string_view pattern) {
    if (!isTextCondition(condition) || !pattern.empty()) return false;
    report(table, row, "nothing to match; the rule is ignored");
    return true;
}

// The subject, sender and header tables end at their first row without a "What" cell.
void ScreeningRules::readSubject(const RuleTable& table) {
    for (int row = 1; row < table.rowCount() && !table.cell(col::kWhat, row).empty(); ++row) {
        std::optional<MatchCondition> condition = conditionFromWord(table.cell(col::kWhat, row));
        if (!condition || !subjectAccepts(*condition)) continue;
        const std::string& pattern = table.cell(col::kMatches, row);
        if (refuseEmptyPattern("Subject", row, *condition, pattern)) continue;
        subject.push_back({row,
                           PatternTest(*condition, pattern, isYes(table.cell(col::kCase, row))),
                           isYes(table.cell(col::kDelete, row))});
    }
}

void ScreeningRules::readSender(const RuleTable& table) {
    for (int row = 1; row < table.rowCount() && !table.cell(col::kWhat, row).empty(); ++row) {
        std::optional<MatchCondition> condition =
            conditionFromWord(table.cell(col::kSenderCondition, row));
        if (!condition) continue;
        const std::string& pattern = table.cell(col::kSenderMatches, row);
        if (refuseEmptyPattern("Sender", row, *condition, pattern)) continue;
        sender.push_back({row, table.cell(col::kWhat, row), PatternTest(*condition, pattern, false),
                          isYes(table.cell(col::kDelete, row))});
    }
}

void ScreeningRules::readHeader(const RuleTable& table) {
    for (int row = 1; row < table.rowCount() && !table.cell(col::kWhat, row).empty(); ++row)
        readHeaderRow(table, row);
}

void ScreeningRules::readHeaderRow(const RuleTable& table, int row) {
    const std::string& what = table.cell(col::kWhat, row);
    const std::string& matches = table.cell(col::kMatches, row);
    HeaderRule rule{row,
                    HeaderRule::Kind::Lines,
                    {},
                    {},
                    0,
                    isYes(table.cell(col::kCase, row)),
                    isYes(table.cell(col::kDelete, row))};
    if (what == "To does not contain") {
        std::size_t cut = matches.find(kMailboxSeparator);
        std::string number =
            cut == std::string::npos ? "" : matches.substr(cut + kMailboxSeparator.size());
        std::optional<long long> mailbox = parseInteger(number);
        if (!mailbox) return report("Header", row, notAnInteger(number));
        rule.kind = HeaderRule::Kind::ToDoesNotContain;
        rule.address = matches.substr(0, cut);
        rule.mailbox = static_cast<int>(*mailbox);
        // "does not contain" an empty text would hold for every message with a To field
        if (rule.address.empty())
            return report("Header", row, "nothing to match; the rule is ignored");
    } else if (what == "Sender") {
        rule.kind = matches == "does not match Reply-to" ? HeaderRule::Kind::SenderNotReplyTo
                                                         : HeaderRule::Kind::SenderEqualsTo;
    } else {
        std::optional<MatchCondition> condition = conditionFromWord(what);
        if (!condition || !isTextCondition(*condition)) return;
        if (refuseEmptyPattern("Header", row, *condition, matches)) return;
        rule.test = PatternTest(*condition, matches, rule.caseSensitive);
    }
    header.push_back(std::move(rule));
}

void ScreeningRules::readExceptions(const RuleTable& table) {
    for (int row = 1; row < table.rowCount(); ++row) {
        const std::string& what = table.cell(col::kExceptWhat, row);
        if (what.empty()) continue; // an exception list may have gaps
        const std::string& pattern = table.cell(col::kExceptMatches, row);
        ExceptionRule rule{row, ExceptionRule::Kind::Field, what, {}, kPictureFirstException};
        if (what == "Domain name" || what == "E-mail address") {
            bool domain = what == "Domain name";
            rule.kind = domain ? ExceptionRule::Kind::Domain : ExceptionRule::Kind::Address;
            // an empty address or domain would accept every message
            if (pattern.empty()) {
                report("Exception", row, "nothing to match; the rule is ignored");
                continue;
            }
            rule.test = PatternTest(domain ? MatchCondition::EndsWith : MatchCondition::StartsWith,
                                    pattern, false);
        } else {
            if (what == "Subject") rule.kind = ExceptionRule::Kind::Subject;
            if (what == "Any Header") rule.kind = ExceptionRule::Kind::AnyHeader;
            std::optional<MatchCondition> condition =
                conditionFromWord(table.cell(col::kExceptCondition, row));
            if (!condition || !isTextCondition(*condition)) continue;
            if (refuseEmptyPattern("Exception", row, *condition, pattern)) continue;
            rule.test = PatternTest(*condition, pattern, isYes(table.cell(col::kExceptCase, row)));
        }
        if (std::optional<int> picture = RuleSet::exceptionPicture(table, row)) {
            rule.picture = *picture;
        } else {
            const std::string& cell = table.cell(col::kExceptPictureIndex, row);
            report("Exception", row,
                   parseInteger(cell) ? "picture " + cell + " is not one of 3 to 14; 3 is shown"
                                      : notAnInteger(cell) + "; picture 3 is shown");
        }
        exceptions.push_back(std::move(rule));
    }
}

} // namespace mv
