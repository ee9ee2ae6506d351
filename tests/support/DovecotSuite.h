#pragma once
// A test suite that shares one real Dovecot among its tests: started before the first test, stopped
// after the last. Each test skips when Dovecot is not installed (fails under CI) and leaves the
// mailbox empty for the next one.
#include "net/RemotePOP.h"
#include "support/DovecotServer.h"
#include "support/ServerRequired.h"

#include <gtest/gtest.h>

namespace mv::test {

// Deletes every message of a fixture Dovecot's mailbox.
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

class DovecotSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (DovecotServer::unavailableReason().empty()) server = new DovecotServer();
    }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }
    // A derived SetUp calls this first and returns when the test was skipped.
    void SetUp() override {
        if (server == nullptr) MV_SKIP_WITHOUT_SERVER(DovecotServer::unavailableReason());
    }
    void TearDown() override {
        if (server != nullptr) emptyMailbox(server->plainServer());
    }

    static inline DovecotServer* server = nullptr;
};

} // namespace mv::test
