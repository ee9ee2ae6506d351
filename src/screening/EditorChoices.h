#pragma once
// What the four rule editors share: the condition choices with their shown labels and stored
// words, a rule row as the editors see it (the cell texts of one table row, by column), and the
// refusal an editor gives when its OK cannot be accepted. Plain values; no state of their own.
//
// Every editor model works the same way: a default-constructed one is the editor opened for
// "&Insert", `fillFromRow` opens it for "&Edit", `confirm` is its OK (it tidies the texts or
// refuses), and `writeBack` writes an accepted rule into a row's cells (RuleRows puts them into a
// table).
#include "screening/RuleSet.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

// The cells of one rule row, by column. Reading past the end gives an empty text; writing past
// the end grows the row, so an editor can work on a row of any width.
using RuleRow = std::vector<std::string>;
std::string_view cellOf(const RuleRow& row, int column);
void setCell(RuleRow& row, int column, std::string_view text);

// The ten condition choices; the index of the label chosen gives the word stored in the table.
inline constexpr int kConditionChoiceCount = 10;
// How many of the choices each editor offers (always the first ones).
inline constexpr int kSubjectConditionChoices = 7;
inline constexpr int kSenderConditionChoices = 10;
inline constexpr int kHeaderConditionChoices = 5;
inline constexpr int kExceptionConditionChoices = 5;
// Indexes below this are the text conditions, the ones that compare with a "Matches" text.
inline constexpr int kTextConditionChoices = 5;
inline constexpr int kEndsWithChoice = 4;

std::string_view choiceLabel(int index); // "Equals (exact match)", ...
std::string_view choiceWord(int index);  // "Equals", ...
// The index of a stored word among the first `offered` choices; nothing for any other word.
std::optional<int> conditionChoiceOf(std::string_view word, int offered);
// True for the five text conditions: a rule with one of them needs a "Matches" text, since an
// empty one would make "Starts with" and "Ends with" match every message.
bool conditionTakesPattern(std::string_view word);

inline std::string_view yesNo(bool value) {
    return value ? kYes : kNo;
}

// The field an editor's refusal sends the focus back to.
enum class EditorField { Condition, Text, HeaderText, ToText, Mailbox, Address, Domain };

// Why OK was refused: the message to show in an error box, and where the focus goes. The editor
// stays open.
struct EditorRefusal {
    EditorField field;
    std::string message;
    bool operator==(const EditorRefusal&) const = default;
};

// The refusal given when no condition is selected: writing the row would leave its "What" cell
// empty, and an empty "What" ends the rule walk, silently disabling every rule below it.
EditorRefusal noConditionRefusal();

// Suggestions offered by the editable text fields of the subject, sender and header editors.
const std::vector<std::string_view>& subjectSuggestions();
const std::vector<std::string_view>& senderSuggestions();
const std::vector<std::string_view>& headerSuggestions();

} // namespace mv
