#include "app/MessageList.h"

#include <algorithm>

namespace mv {

namespace {
int countMarked(const std::vector<MessageEntry>& rows) {
    return static_cast<int>(std::count_if(
        rows.begin(), rows.end(), [](const auto& row) { return isMarkedForDeletion(row.mark); }));
}
} // namespace

int MessageList::markedCount() const {
    return countMarked(m_rows);
}

void MessageList::clear() {
    m_rows.clear();
    m_view.listReset();
}

void MessageList::append(MessageEntry row) {
    m_rows.push_back(std::move(row));
    m_view.rowsInserted(size() - 1, size() - 1);
}

void MessageList::setMark(int index, MarkState mark) {
    MessageEntry& row = m_rows.at(static_cast<std::size_t>(index));
    row.markedByHand = true;
    if (row.mark == mark) return;
    row.mark = mark;
    m_view.rowChanged(index);
}

void MessageList::remark(const std::function<void(std::span<MessageEntry>)>& screen, int only) {
    int first = only < 0 ? 0 : only;
    int last = only < 0 ? size() - 1 : only;
    std::vector<MarkState> before;
    for (int i = first; i <= last; ++i)
        before.push_back(at(i).mark);
    screen(m_rows);
    for (int i = first; i <= last; ++i)
        if (at(i).mark != before[static_cast<std::size_t>(i - first)]) m_view.rowChanged(i);
}

std::string totalCountText(const std::vector<MessageEntry>& rows) {
    return "Message Total: " + std::to_string(rows.size()) +
           " Number Marked: " + std::to_string(countMarked(rows));
}

} // namespace mv
