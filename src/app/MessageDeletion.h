#pragma once
// The server side of "Delete marked messages": the marked rows become delete marks on the client,
// the client deletes them, each message's log entry is stamped as it goes, and the entries are
// written only once the server committed the deletions with QUIT. The questions before and the
// listing after are the controller's. Owned by the controller.
#include "app/ActivityLog.h"
#include "app/MailboxSession.h"
#include "app/MessageList.h"
#include "app/View.h"

#include <map>
#include <string>
#include <vector>

namespace mv {

class MessageDeletion {
public:
    MessageDeletion(const MessageList& list, MailboxSession& session, ActivityLog& log, View& view)
        : m_list(list), m_session(session), m_log(log), m_view(view) {}

    // Deletes the rows marked for deletion in the listed mailbox, whose account the client must
    // hold, and returns how many the server deleted. Raises what the client raises; nothing was
    // deleted then, and nothing is logged.
    int deleteMarked();
    // The client's OnDeleting for row `num`: progress, status and the row's stamped entry.
    void RemotePOP1Deleting(int num);

private:
    const MessageList& m_list;
    MailboxSession& m_session;
    ActivityLog& m_log;
    View& m_view;
    int m_toDelete = 0;
    int m_progress = 1;
    std::map<int, std::vector<std::string>> m_entries; // by row index
};

} // namespace mv
