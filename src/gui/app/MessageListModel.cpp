#include "gui/app/MessageListModel.h"

#include "gui/widgets/Pictures.h"

namespace mv::gui {

MessageListModel::MessageListModel(const std::vector<MessageEntry>& rows, QObject* parent)
    : QAbstractTableModel(parent), m_rows(rows), m_shown(static_cast<int>(rows.size())) {
    // Made once: a picture per row per paint would be read from the resources every time.
    for (int i = 0; i < static_cast<int>(m_marks.size()); ++i)
        m_marks[static_cast<std::size_t>(i)] = markIcon(i);
}

int MessageListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_shown;
}

int MessageListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant MessageListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(m_rows.size())) return {};
    const MessageEntry& row = m_rows[static_cast<std::size_t>(index.row())];
    if (role == Qt::DecorationRole && index.column() == Subject) {
        if (row.mark < 0 || row.mark >= static_cast<int>(m_marks.size())) return {};
        return m_marks[static_cast<std::size_t>(row.mark)];
    }
    if (role == Qt::TextAlignmentRole && index.column() == Size)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    switch (index.column()) {
    case Subject:
        return QString::fromStdString(row.subject);
    case Sender:
        return QString::fromStdString(row.sender);
    case Size:
        return QString::fromStdString(row.size);
    case Date:
        return QString::fromStdString(row.date);
    default:
        return {};
    }
}

QVariant MessageListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const headings[] = {"Subject", "Sender", "Size", "Date"};
    if (section < 0 || section >= ColumnCount) return {};
    return QString::fromLatin1(headings[section]);
}

void MessageListModel::rowsAppended(int first, int last) {
    // The rows are in the controller already: the two notices go back to back.
    if (first != m_shown || last < first) return listReset();
    beginInsertRows({}, first, last);
    m_shown = last + 1;
    endInsertRows();
}

void MessageListModel::rowChanged(int index) {
    if (index < 0 || index >= m_shown) return;
    emit dataChanged(this->index(index, 0), this->index(index, ColumnCount - 1));
}

void MessageListModel::listReset() {
    beginResetModel();
    m_shown = static_cast<int>(m_rows.size());
    endResetModel();
}

} // namespace mv::gui
