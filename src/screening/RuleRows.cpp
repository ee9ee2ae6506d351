#include "screening/RuleRows.h"

#include "base/Text.h"
#include "screening/Conditions.h"

#include <algorithm>

namespace mv {

namespace {
int hitsColumn(TableId id) {
    return id == TableId::Exceptions ? col::kExceptHits : col::kHits;
}
int whatColumn(TableId id) {
    return id == TableId::Exceptions ? col::kExceptWhat : col::kWhat;
}
int matchesColumn(TableId id) {
    switch (id) {
    case TableId::Sender:
        return col::kSenderMatches;
    case TableId::Exceptions:
        return col::kExceptMatches;
    default:
        return col::kMatches;
    }
}

bool isRuleRow(const RuleTable& table, int row) {
    return row >= 1 && row < table.rowCount();
}

bool sameShownCells(const RuleTable& table, int a, int b) {
    for (int c = 0; c < table.colCount(); ++c)
        if (!table.isHidden(c) && table.cell(c, a) != table.cell(c, b)) return false;
    return true;
}

// Whether a "Matches" text is needed: every kind of exception compares with it; subject and sender
// rows only with one of the text conditions.
bool rowTakesPattern(const RuleTable& table, TableId id, int row) {
    if (id == TableId::Exceptions) return !table.cell(col::kExceptWhat, row).empty();
    const int conditionCol = id == TableId::Sender ? col::kSenderCondition : col::kWhat;
    return conditionTakesPattern(table.cell(conditionCol, row));
}
} // namespace

RuleRow rowCells(const RuleTable& table, int row) {
    RuleRow cells;
    for (int c = 0; c < table.colCount(); ++c)
        cells.push_back(table.cell(c, row));
    return cells;
}

void putRuleRow(RuleTable& table, TableId id, int row, const RuleRow& cells) {
    const int width = std::min(static_cast<int>(cells.size()), table.colCount());
    for (int c = 0; c < width; ++c)
        table.setCell(c, row, cells[static_cast<std::size_t>(c)]);
    if (id == TableId::Exceptions)
        table.setPicture(col::kExceptPicture, row,
                         RuleSet::exceptionPicture(table, row).value_or(kPictureFirstException));
    else
        RuleSet::CheckGridAdv(table, row, table.cell(col::kDelete, row) == kYes);
}

bool holdsOnlyEmptyRule(const RuleTable& table, TableId id) {
    return table.rowCount() == 2 && table.cell(whatColumn(id), 1).empty();
}

int rowForInsert(RuleTable& table, TableId id, int selectedRow) {
    if (holdsOnlyEmptyRule(table, id)) return 1;
    const int at = std::clamp(selectedRow, 1, std::max(1, table.rowCount()));
    table.insertRow(at);
    return at;
}

int rowForAppend(RuleTable& table, TableId id) {
    if (holdsOnlyEmptyRule(table, id)) return 1;
    table.insertRow(table.rowCount());
    return table.rowCount() - 1;
}

bool canEditRow(const RuleTable& table, TableId id, int row) {
    return isRuleRow(table, row) && !table.cell(whatColumn(id), row).empty();
}

void deleteRuleRow(RuleTable& table, int row) {
    if (!isRuleRow(table, row)) return;
    if (table.rowCount() >= 3) {
        table.removeRow(row);
        return;
    }
    for (int c = 0; c < table.colCount(); ++c) {
        table.setCell(c, row, {});
        table.setPicture(c, row, RuleTable::kNoPicture);
    }
}

int moveRuleRowUp(RuleTable& table, int row) {
    if (row < 2 || row >= table.rowCount()) return row;
    table.moveRow(row, row - 1);
    return row - 1;
}

int moveRuleRowDown(RuleTable& table, int row) {
    if (!isRuleRow(table, row) || row == table.rowCount() - 1) return row;
    table.moveRow(row, row + 1);
    return row + 1;
}

bool isSortableColumn(TableId id, int col) {
    return col == matchesColumn(id) || col == hitsColumn(id) ||
           (id == TableId::Exceptions && col == col::kExceptWhat);
}

void sortRuleRows(RuleTable& table, TableId id, int col) {
    if (!isSortableColumn(id, col) || table.rowCount() < 2) return;
    const int what = whatColumn(id);
    const bool numeric = col == hitsColumn(id);
    table.sortRows(1, [&](int a, int b) {
        const bool emptyA = table.cell(what, a).empty(), emptyB = table.cell(what, b).empty();
        if (emptyA || emptyB) return !emptyA && emptyB;
        const std::string& x = table.cell(col, a);
        const std::string& y = table.cell(col, b);
        if (numeric) return parseIntegerOr(x, 0) < parseIntegerOr(y, 0);
        return KnownList::compare(x, y) < 0;
    });
}

void DeleteDupsFromGrid(RuleTable& table) {
    for (int row = table.rowCount() - 1; row >= 2; --row)
        if (sameShownCells(table, row, row - 1)) table.removeRow(row);
}

std::string countText(const RuleTable& table) {
    return std::to_string(table.rowCount() - 1);
}

bool isInlineEditable(TableId id, int col) {
    return col == hitsColumn(id) || (id != TableId::Header && col == matchesColumn(id));
}

bool acceptsHitsText(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), isDigitChar) &&
           parseInteger(text).has_value();
}

bool applyInlineEdit(RuleTable& table, TableId id, int col, int row, std::string_view text) {
    if (!isRuleRow(table, row) || !isInlineEditable(id, col)) return false;
    if (col == hitsColumn(id) && !acceptsHitsText(text)) return false;
    if (col == matchesColumn(id) && trim(text).empty() && rowTakesPattern(table, id, row))
        return false;
    table.setCell(col, row, std::string(text));
    return true;
}

} // namespace mv
