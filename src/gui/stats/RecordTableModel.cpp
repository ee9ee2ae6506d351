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
    if (kind == ColumnKind::Text) {
        auto text = [column](const Record* r) {
            return tableRow(*r)[static_cast<std::size_t>(column)];
        };
        std::stable_sort(m_rows.begin(), m_rows.end(), [&](const Record* a, const Record* b) {
            return up ? text(a) < text(b) : text(b) < text(a);
        });
    } else {
        // Keys worked out once per row, not once per comparison.
        std::vector<std::pair<double, const Record*>> keyed;
        keyed.reserve(m_rows.size());
        for (const Record* r : m_rows)
            keyed.emplace_back(sortKey(*r, kind, column), r);
        std::stable_sort(keyed.begin(), keyed.end(), [up](const auto& a, const auto& b) {
            return up ? a.first < b.first : b.first < a.first;
        });
        std::transform(keyed.begin(), keyed.end(), m_rows.begin(),
                       [](const auto& k) { return k.second; });
    }
    endResetModel();
}

template class RecordTableModel<CheckRecord>;
template class RecordTableModel<DeletionRecord>;

} // namespace mv::gui
