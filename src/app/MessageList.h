#pragma once
// The message list of the mailbox last listed: one row per waiting message, row i being the
// server's message i + 1. It alone changes the rows, and tells the View about every change in the
// terms a list model needs (rows appended, a row re-marked, the list emptied). Owned by the
// controller.
#include "app/View.h"
#include "screening/MessageEntry.h"

#include <functional>
#include <span>
#include <string>
#include <vector>

namespace mv {

class MessageList {
public:
    explicit MessageList(View& view) : m_view(view) {}

    const std::vector<MessageEntry>& rows() const { return m_rows; }
    bool empty() const { return m_rows.empty(); }
    int size() const { return static_cast<int>(m_rows.size()); }
    bool contains(int index) const { return index >= 0 && index < size(); }
    // Throws std::out_of_range for an index outside the list.
    const MessageEntry& at(int index) const { return m_rows.at(static_cast<std::size_t>(index)); }
    int markedCount() const;

    // Empties the list; the View hears of it every time (a new check starts from an empty list).
    void clear();
    void append(MessageEntry row);
    // The user's mark for row `index` (MessageEntry::markedByHand).
    void setMark(int index, MarkState mark);
    // Lets `screen` change the marks (of row `only`, or of every row when negative) and tells the
    // View about each row whose mark changed.
    void remark(const std::function<void(std::span<MessageEntry>)>& screen, int only = -1);

private:
    View& m_view;
    std::vector<MessageEntry> m_rows;
};

// "Message Total: %d Number Marked: %d".
std::string totalCountText(const std::vector<MessageEntry>& rows);

} // namespace mv
