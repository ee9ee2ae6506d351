#pragma once
// The "Email traffic" and "Spam Deleted" tables over the records the filter accepts. Sorting by a
// heading orders numbers as numbers and dates and times by their values, the rest as text. The
// model only points at the records, so a log of a million entries shows without copying them.
#include "stats/ActivityStatistics.h"

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <vector>

namespace mv::gui {

enum class ColumnKind { Text, Date, Time, Number };

struct ColumnSpec {
    ColumnKind kind;
    int width; // pixels
};

template <class Record> struct TableLayout;
template <> struct TableLayout<CheckRecord> {
    static constexpr std::array<ColumnSpec, 5> columns{{{ColumnKind::Date, 77},
                                                        {ColumnKind::Time, 78},
                                                        {ColumnKind::Text, 211},
                                                        {ColumnKind::Text, 176},
                                                        {ColumnKind::Number, 58}}};
    static constexpr const auto& headings = kTrafficColumns;
};
template <> struct TableLayout<DeletionRecord> {
    static constexpr std::array<ColumnSpec, 7> columns{{{ColumnKind::Date, 65},
                                                        {ColumnKind::Time, 59},
                                                        {ColumnKind::Text, 91},
                                                        {ColumnKind::Text, 73},
                                                        {ColumnKind::Number, 50},
                                                        {ColumnKind::Text, 138},
                                                        {ColumnKind::Text, 131}}};
    static constexpr const auto& headings = kDeletedColumns;
};

template <class Record> class RecordTableModel : public QAbstractTableModel {
public:
    using Layout = TableLayout<Record>;

    void setRecords(std::vector<const Record*> records);
    const std::vector<const Record*>& records() const { return m_rows; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    std::vector<const Record*> m_rows;
};

using TrafficTableModel = RecordTableModel<CheckRecord>;
using DeletedTableModel = RecordTableModel<DeletionRecord>;

} // namespace mv::gui
