#pragma once
// The four rule tables read once into a form the screening pass can test quickly: condition words
// resolved, patterns case-folded ahead, rows that can never match left out, and the problems of
// broken rows collected for the user. Built at the start of every pass and dropped at its end, so
// edits to the tables always take effect.
#include "screening/Conditions.h"
#include "screening/RuleSet.h"

#include <string>
#include <string_view>
#include <vector>

namespace mv {

// A condition with its pattern, folded ahead when case does not matter.
struct PatternTest {
    MatchCondition condition = MatchCondition::Contains;
    std::string pattern; // as the cell holds it
    std::string folded;  // the pattern upper-cased when case is ignored, else the pattern
    bool caseSensitive = false;

    PatternTest() = default;
    PatternTest(MatchCondition condition, std::string pattern, bool caseSensitive);
    // `foldedText` is `text` upper-cased; the caller folds each text once for all rules.
    bool holds(std::string_view text, std::string_view foldedText) const;
    // The five text conditions compare with the pattern; the others have none to show.
    bool showsPattern() const { return isTextCondition(condition); }
};

struct SubjectRule {
    int row;
    PatternTest test;
    bool deletes;
};

struct SenderRule {
    int row;
    std::string what; // "E-mail address" or "Domain name"
    PatternTest test;
    bool deletes;
};

struct HeaderRule {
    enum class Kind { Lines, ToDoesNotContain, SenderNotReplyTo, SenderEqualsTo };
    int row;
    Kind kind;
    PatternTest test;    // Lines only
    std::string address; // ToDoesNotContain: the text the To field must contain
    int mailbox = 0;     // ToDoesNotContain: the mailbox the row is for
    bool caseSensitive;
    bool deletes;
};

struct ExceptionRule {
    enum class Kind { Domain, Address, Subject, AnyHeader, Field };
    int row;
    Kind kind;
    std::string what; // the field name for Field rows
    PatternTest test; // Domain and Address rows: the pattern folded, condition unused
    int picture;
};

class ScreeningRules {
public:
    explicit ScreeningRules(const RuleSet& rules);

    std::vector<SubjectRule> subject;
    std::vector<SenderRule> sender;
    std::vector<HeaderRule> header;
    std::vector<ExceptionRule> exceptions;
    // One text per broken row: a number cell that is not a number, a pattern that is missing.
    std::vector<std::string> problems;

private:
    void readSubject(const RuleTable& table);
    void readSender(const RuleTable& table);
    void readHeader(const RuleTable& table);
    void readExceptions(const RuleTable& table);
    void readHeaderRow(const RuleTable& table, int row);
    // A text condition with an empty pattern would match by accident; such a row is left out.
    bool refuseEmptyPattern(std::string_view table, int row, MatchCondition condition,
                            std::string_view pattern);
    void report(std::string_view table, int row, std::string_view what);
};

} // namespace mv
