#pragma once
// The subject rule editor ("Subject line options") as a model: the fields the dialog shows, filled
// for a new rule or from a subject-table row, checked on OK and written back into the row. The
// dialog (or the command line) owns one for as long as it is open.
#include "screening/EditorChoices.h"

namespace mv {

struct SubjectEditor {
    static constexpr TableId kTable = TableId::Subject;

    std::optional<int> condition = 0; // index into the condition choices; none for an unknown word
    std::string text;
    bool caseMatters = false;
    bool deleteMark = true; // "check mark"; false is "question mark"

    // The text field and the case box are shown only for the text conditions.
    bool textShown() const;

    void fillFromRow(const RuleRow& row);
    // OK: trims the text, or says why the editor must stay open.
    std::optional<EditorRefusal> confirm();
    // Writes columns 1 to 5; the picture of column 0 follows "Del?" (see RuleRows).
    void writeBack(RuleRow& row) const;
};

} // namespace mv
