#include "screening/SubjectEditor.h"

#include "base/Text.h"

namespace mv {

bool SubjectEditor::textShown() const {
    return condition && *condition < kTextConditionChoices;
}

void SubjectEditor::fillFromRow(const RuleRow& row) {
    condition = conditionChoiceOf(cellOf(row, col::kWhat), kSubjectConditionChoices);
    text = cellOf(row, col::kMatches);
    caseMatters = cellOf(row, col::kCase) == kYes;
    deleteMark = cellOf(row, col::kDelete) == kYes;
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
    setCell(row, col::kWhat, choiceWord(condition.value_or(0)));
    setCell(row, col::kMatches, textShown() ? text : std::string());
    setCell(row, col::kCase, textShown() ? yesNo(caseMatters) : std::string_view());
    setCell(row, col::kDelete, yesNo(deleteMark));
    if (cellOf(row, col::kHits).empty()) setCell(row, col::kHits, "0");
}

} // namespace mv
