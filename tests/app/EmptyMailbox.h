#pragma once
// Deletes every message of the fixture Dovecot's mailbox, so each test starts from an empty one.
#include "net/RemotePOP.h"
#include "support/DovecotServer.h"

namespace mv::test {

inline void emptyMailbox(const std::string& server) {
    TRemotePOP cleaner;
    cleaner.setServer(server);
    cleaner.setUserName(DovecotServer::kUser);
    cleaner.setPassword(DovecotServer::kPassword);
    cleaner.setSecurity(TlsMode::None);
    cleaner.UpdateInfo();
    for (std::size_t i = 0; i < cleaner.RemoteInfo().Count(); ++i)
        cleaner.MarkDelete(static_cast<int>(i));
    cleaner.ProcessMarked();
}

} // namespace mv::test
