#include "screening/SubjectEditor.h"

#include "base/Text.h"

namespace mv {

namespace {
enum Column : std::size_t { kWhat = 1, kMatches = 2, kCase = 3, kDelete = 4, kHits = 5 };
}

bool SubjectEditor::textShown() const { return condition && *condition < kTextConditionChoices; }

void SubjectEditor::fillFromRow(const RuleRow& row) {
    condition = conditionChoiceOf(cellOf(row, kWhat), kSubjectConditionChoices);
    text = cellOf(row, kMatches);
    caseMatters = cellOf(row, kCase) == kYes;
    deleteMark = cellOf(row, kDelete) == kYes;
}

std::optional<EditorRefusal> SubjectEditor::confirm() {
    if (!condition) return noConditionRefusal();
    // Trimming comes first: a text of blanks or control characters alone would be stored empty,
    // and an empty "Starts with" or "Ends with" matches every subject.
    text = trim(text);
    if (textShown() && text.empty())
        return EditorRefusal{EditorField::Text, "The subject text cannot be blank"};
    return std::nullopt;
}

void SubjectEditor::writeBack(RuleRow& row) const {
    setCell(row, kWhat, conditionWord(condition.value_or(0)));
    setCell(row, kMatches, textShown() ? text : std::string());
    setCell(row, kCase, textShown() ? yesNo(caseMatters) : std::string_view());
    setCell(row, kDelete, yesNo(deleteMark));
    if (cellOf(row, kHits).empty()) setCell(row, kHits, "0");
}

} // namespace mv
