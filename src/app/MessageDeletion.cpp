#include "app/MessageDeletion.h"

namespace mv {

int MessageDeletion::deleteMarked() {
    TRemotePOP& pop = m_session.client();
    m_session.clearMarks();
    for (int i = 0; i < m_list.size(); ++i)
        if (isMarkedForDeletion(m_list.at(i).mark)) pop.MarkDelete(i);
    m_toDelete = m_list.markedCount();
    m_progress = 1;
    m_entries.clear();
    std::vector<int> deleted;
    try {
        m_session.networkStep([&] { deleted = pop.ProcessMarked(); });
    } catch (...) {
        // The server commits nothing unless it accepted QUIT: no deletion entry.
        m_session.clearMarks();
        m_entries.clear();
        throw;
    }
    m_session.clearMarks();
    std::vector<std::vector<std::string>> entries;
    for (int index : deleted)
        if (auto entry = m_entries.find(index); entry != m_entries.end())
            entries.push_back(entry->second);
    m_entries.clear();
    m_log.writeDeletions(entries);
    return static_cast<int>(deleted.size());
}

void MessageDeletion::RemotePOP1Deleting(int num) {
    if (!m_list.contains(num)) return;
    const MessageEntry& row = m_list.at(num);
    const TRemotePOP& pop = m_session.client();
    m_view.setProgressMessage("Deleting " + row.subject);
    m_view.setProgressBar(m_progress, m_toDelete);
    ++m_progress;
    m_view.setStatus("Deleting " + std::to_string(num + 1) + " " + row.subject);
    m_entries[num] = deletionEntry(
        {pop.server(), pop.userName(), row.subject, row.sender, row.size, row.date}, m_log.stamp());
}

} // namespace mv
