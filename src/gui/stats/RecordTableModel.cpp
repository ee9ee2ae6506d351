#include "gui/stats/RecordTableModel.h"

#include "base/Text.h"
#include "gui/stats/StatsDates.h"

#include <algorithm>
#include <limits>

namespace mv::gui {

namespace {

// A value that does not read sorts before every value that does.
constexpr double kUnread = -std::numeric_limits<double>::infinity();

template <class Record> double sortKey(const Record& r, ColumnKind kind, int column) {
    switch (kind) {
    case ColumnKind::Date:
        return r.dateValue.value_or(kUnread);
    case ColumnKind::Time:
        return r.timeValue.value_or(kUnread);
    case ColumnKind::Number: {
        std::optional<long long> n = parseInteger(tableRow(r)[column]);
        return n ? static_cast<double>(*n) : kUnread;
    }
    case ColumnKind::Text:
        break;
    }
    return 0;
}

// Orders the rows by the key each has, equal keys in the order they stood. The keys are worked out
// once per row, not once per comparison: a big log's table sorts in a moment.
template <class Record, class KeyOf>
void sortByKey(std::vector<const Record*>& rows, bool up, KeyOf keyOf) {
    using Key = decltype(keyOf(*rows.front()));
    std::vector<std::pair<Key, const Record*>> keyed;
    keyed.reserve(rows.size());
    for (const Record* r : rows)
        keyed.emplace_back(keyOf(*r), r);
    std::stable_sort(keyed.begin(), keyed.end(), [up](const auto& a, const auto& b) {
        return up ? a.first < b.first : b.first < a.first;
    });
    std::transform(keyed.begin(), keyed.end(), rows.begin(),
                   [](const auto& k) { return k.second; });
}

} // namespace

template <class Record>
void RecordTableModel<Record>::setRecords(std::vector<const Record*> records) {
    beginResetModel();
    m_rows = std::move(records);
    endResetModel();
}

template <class Record> int RecordTableModel<Record>::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

template <class Record> int RecordTableModel<Record>::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(Layout::columns.size());
}

template <class Record>
QVariant RecordTableModel<Record>::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const auto& spec = Layout::columns[static_cast<std::size_t>(index.column())];
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(spec.kind == ColumnKind::Number
                                       ? Qt::AlignRight | Qt::AlignVCenter
                                       : Qt::AlignLeft | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    return logText(tableRow(
        *m_rows[static_cast<std::size_t>(index.row())])[static_cast<std::size_t>(index.column())]);
}

template <class Record>
QVariant RecordTableModel<Record>::headerData(int section, Qt::Orientation orientation,
                                              int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return logText(Layout::headings[static_cast<std::size_t>(section)]);
}

template <class Record> void RecordTableModel<Record>::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount()) return;
    const ColumnKind kind = Layout::columns[static_cast<std::size_t>(column)].kind;
    const bool up = order == Qt::AscendingOrder;
    beginResetModel();
    if (kind == ColumnKind::Text)
        sortByKey(m_rows, up, [column](const Record& r) {
            return tableRow(r)[static_cast<std::size_t>(column)];
        });
    else
        sortByKey(m_rows, up, [kind, column](const Record& r) { return sortKey(r, kind, column); });
    endResetModel();
}

template class RecordTableModel<CheckRecord>;
template class RecordTableModel<DeletionRecord>;

} // namespace mv::gui
