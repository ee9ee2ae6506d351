#pragma once
// What the spam settings do to the rows of a rule table: where a new rule goes, editing, deleting,
// moving and sorting rows, removing neighbouring duplicates, the count labels and the cells that
// may be typed into directly. Free functions over a table the rule set owns; they keep no state.
#include "screening/EditorChoices.h"
#include "screening/RuleSet.h"

#include <optional>
#include <string>

namespace mv {

// The cells of one table row, and writing them back with the row's picture recomputed the way
// loading computes it (column 0 from "Del?", the exception picture from its hidden column).
RuleRow rowCells(const RuleTable& table, int row);
void putRuleRow(RuleTable& table, TableId id, int row, const RuleRow& cells);

// The table holds nothing but its one empty rule row (an empty "What"), which a new rule then fills.
bool holdsOnlyEmptyRule(const RuleTable& table, TableId id);
// Insert: the empty rule row, or a new row at the selected row's place, so the new rule lands
// directly above the selected one. Returns the row to write into.
int rowForInsert(RuleTable& table, TableId id, int selectedRow);
// Imports and the exceptions quick-add: the empty rule row, or a new row at the end.
int rowForAppend(RuleTable& table, TableId id);

inline constexpr std::string_view kNothingToEdit = "Error: nothing selected to edit";
// Edit of a row with an empty "What" is refused with kNothingToEdit.
bool canEditRow(const RuleTable& table, TableId id, int row);

// Delete: the only rule row is emptied and kept; any other selected row is removed.
void deleteRuleRow(RuleTable& table, int row);
// Up from row 2 down, down from any rule row but the last; returns the row now selected.
int moveRuleRowUp(RuleTable& table, int row);
int moveRuleRowDown(RuleTable& table, int row);

// Heading clicks: "Matches" and "Hits" of every table and the exceptions' "What". "Hits" sorts as
// numbers, the others as text ignoring case; rows with an empty "What" stay at the bottom, since
// an empty row ends the rule walk and would otherwise switch off every rule sorted below it.
bool isSortableColumn(TableId id, int col);
void sortRuleRows(RuleTable& table, TableId id, int col);

// On OK: removes every rule row equal in all shown columns to the row directly above it.
void DeleteDupsFromGrid(RuleTable& table);

// The count label: RowCount - 1, so a table with only its empty rule row shows 1.
std::string countText(const RuleTable& table);

// Inline editing: only "Matches" (not in the header table) and "Hits" cells take typed text.
bool isInlineEditable(TableId id, int col);
// A "Hits" text is digits only and a number of 0 or more; an empty text is refused.
bool acceptsHitsText(std::string_view text);
// Stores a typed cell text, or refuses it (returns false, the cell unchanged): a non-editable cell,
// a bad "Hits" value, or a blank "Matches" on a row whose condition compares with a pattern.
bool applyInlineEdit(RuleTable& table, TableId id, int col, int row, std::string_view text);

// The editors over table rows. `fillEditor` refuses (false) a row with nothing to edit.
template <class Editor> bool fillEditor(const RuleTable& table, int row, Editor& editor) {
    if (!canEditRow(table, Editor::kTable, row)) return false;
    editor.fillFromRow(rowCells(table, row));
    return true;
}
template <class Editor> void writeEditor(RuleTable& table, int row, const Editor& editor) {
    RuleRow cells = rowCells(table, row);
    editor.writeBack(cells);
    putRuleRow(table, Editor::kTable, row, cells);
}
// Insert confirmed: returns the row that received the rule.
template <class Editor> int insertRule(RuleTable& table, int selectedRow, const Editor& editor) {
    const int row = rowForInsert(table, Editor::kTable, selectedRow);
    writeEditor(table, row, editor);
    return row;
}

} // namespace mv
