#pragma once
// The main window's message list over the controller's rows: subject (with the mark picture),
// sender, size and date. The rows live in the controller; the model only tells the view what
// changed, so a check that delivers thousands of headers inserts rows instead of rebuilding.
#include "screening/MessageEntry.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <array>
#include <vector>

namespace mv::gui {

class MessageListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Subject, Sender, Size, Date, ColumnCount };

    explicit MessageListModel(const std::vector<MessageEntry>& rows, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The controller appended rows `first` to `last` at the end (the header pass).
    void rowsAppended(int first, int last);
    // Row `index` changed (its mark).
    void rowChanged(int index);
    // The list was emptied.
    void listReset();

private:
    const std::vector<MessageEntry>& m_rows;
    int m_shown = 0; // rows the view knows of
    std::array<QIcon, 15> m_marks;
};

} // namespace mv::gui
