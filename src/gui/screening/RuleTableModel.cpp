#include "gui/screening/RuleTableModel.h"

#include "gui/widgets/Pictures.h"
#include "screening/RuleRows.h"

#include <QBrush>
#include <QFont>

namespace mv::gui {

RuleTableModel::RuleTableModel(RuleSet& rules, TableId id, QObject* parent)
    : QAbstractTableModel(parent), m_rules(rules), m_id(id) {
    refresh();
}

int RuleTableModel::modelColumn(int tableColumn) const {
    for (std::size_t c = 0; c < m_columns.size(); ++c)
        if (m_columns[c] == tableColumn) return static_cast<int>(c);
    return -1;
}

int RuleTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return std::max(0, m_rules.table(m_id).rowCount() - 1);
}

int RuleTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

bool RuleTableModel::isPictureColumn(int tableColumn) const {
    return tableColumn == (m_id == TableId::Exceptions ? col::kExceptPicture : col::kPicture);
}

QVariant RuleTableModel::matchesFont(int row) const {
    const RuleTable& t = m_rules.table(m_id);
    const bool bold = m_id == TableId::Exceptions || t.cell(col::kDelete, row) == kYes;
    if (!bold) return {};
    QFont font;
    font.setBold(true);
    return font;
}

QVariant RuleTableModel::matchesColour(int row) const {
    if (m_id == TableId::Exceptions || m_rules.table(m_id).cell(col::kDelete, row) == kYes)
        return {};
    return QBrush(Qt::blue);
}

QVariant RuleTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const RuleTable& t = m_rules.table(m_id);
    const int c = tableColumn(index.column());
    const int r = tableRow(index.row());
    const bool matches = c == matchesColumn(m_id);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return QString::fromStdString(t.cell(c, r));
    case Qt::DecorationRole:
        return isPictureColumn(c) ? QVariant(markIcon(t.picture(c, r))) : QVariant();
    case Qt::FontRole:
        return matches ? matchesFont(r) : QVariant();
    case Qt::ForegroundRole:
        return matches ? matchesColour(r) : QVariant();
    case Qt::TextAlignmentRole:
        if (c == hitsColumn(m_id)) return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant RuleTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (section < 0 || section >= columnCount()) return {};
    return QString::fromStdString(m_rules.table(m_id).cell(tableColumn(section), 0));
}

Qt::ItemFlags RuleTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && isInlineEditable(m_id, tableColumn(index.column())))
        f |= Qt::ItemIsEditable;
    return f;
}

bool RuleTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    const int c = tableColumn(index.column());
    if (!applyInlineEdit(table(), m_id, c, tableRow(index.row()), value.toString().toStdString()))
        return false;
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    return true;
}

bool RuleTableModel::isSortable(int modelColumn) const {
    return modelColumn >= 0 && modelColumn < columnCount() &&
           isSortableColumn(m_id, tableColumn(modelColumn));
}

void RuleTableModel::sort(int column, Qt::SortOrder /*order*/) {
    if (!isSortable(column)) return;
    emit layoutAboutToBeChanged();
    sortRuleRows(table(), m_id, tableColumn(column));
    emit layoutChanged();
}

void RuleTableModel::refresh() {
    beginResetModel();
    m_columns.clear();
    const RuleTable& t = m_rules.table(m_id);
    for (int c = 0; c < t.colCount(); ++c)
        if (!t.isHidden(c)) m_columns.push_back(c);
    endResetModel();
}

} // namespace mv::gui
