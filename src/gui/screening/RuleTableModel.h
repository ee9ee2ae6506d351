#pragma once
// One rule table of the rule set as a Qt table model: the rule rows below the heading row, the
// shown columns only, the state pictures, the bold or blue "Matches" cells and the right-aligned
// hit counts. Typed cell texts and heading sorts go through the rule-row logic, which decides what
// is accepted; the model only presents. Lives as long as the settings window that shows it.
#include "screening/RuleSet.h"

#include <QAbstractTableModel>
#include <vector>

namespace mv::gui {

class RuleTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    RuleTableModel(RuleSet& rules, TableId id, QObject* parent = nullptr);

    TableId tableId() const { return m_id; }
    RuleTable& table() { return m_rules.table(m_id); }

    // Model rows are rule rows: model row r is table row r + 1.
    static int tableRow(int modelRow) { return modelRow + 1; }
    static int modelRow(int tableRow) { return tableRow - 1; }
    // The model column that shows a table column; -1 when it is hidden.
    int modelColumn(int tableColumn) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A refused text (a bad hit count, a blank pattern) leaves the cell as it was.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    // Only the columns the table allows; the order is always the one the rule logic gives.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    bool isSortable(int modelColumn) const;

    // Call after the table was changed from outside the model (insert, delete, move, reload).
    void refresh();

private:
    int tableColumn(int modelColumn) const { return m_columns.at(modelColumn); }
    bool isPictureColumn(int tableColumn) const;
    QVariant matchesFont(int tableRow) const;
    QVariant matchesColour(int tableRow) const;

    RuleSet& m_rules;
    TableId m_id;
    std::vector<int> m_columns; // the shown table columns, in order
};

} // namespace mv::gui
