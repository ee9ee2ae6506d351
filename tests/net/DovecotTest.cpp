// The POP3 client against a real Dovecot on loopback: listing, reuse, retrieve, delete, a mailbox
// changed behind the client's back, a wrong password, implicit TLS, STLS and certificate trust.
#include "net/RemotePOP.h"
#include "support/DovecotSuite.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace mv {
namespace {

using test::DovecotServer;

std::string message(int n, const std::string& extraHeader = "") {
    return "From: sender" + std::to_string(n) + "@example.com\r\nSubject: message " +
           std::to_string(n) + "\r\n" + extraHeader + "\r\nBody of " + std::to_string(n) +
           "\r\n.leading dot\r\n";
}

class Dovecot : public test::DovecotSuite {
protected:
    void SetUp() override {
        DovecotSuite::SetUp();
        if (IsSkipped()) return;
        pop.setServer(server->plainServer());
        pop.setUserName(DovecotServer::kUser);
        pop.setPassword(DovecotServer::kPassword);
        pop.setSecurity(TlsMode::None);
        pop.setTimeOut(10);
    }

    TRemotePOP pop;
};

TEST_F(Dovecot, EmptyMailbox) {
    pop.UpdateInfo();
    EXPECT_EQ(pop.MessageCount(), 0);
    EXPECT_EQ(pop.RemoteInfo().Count(), 0u);
    EXPECT_FALSE(pop.Connected());
}

TEST_F(Dovecot, ListingWithFoldedHeadersSizesAndIdsSequentialOrPipelined) {
    std::string folded = "X-Folded: first part\r\n\tsecond part\r\n";
    server->deliver(message(1, folded));
    server->deliver(message(2));
    for (bool pipelining : {false, true}) {
        pop.setUsePipelining(pipelining);
        std::vector<int> reported;
        pop.OnNextInfoUpdated = [&](TRemotePOP& p, int n) {
            reported.push_back(n);
            EXPECT_EQ(p.RemoteInfo().Count(), static_cast<std::size_t>(n + 1));
        };
        pop.UpdateInfo();
        EXPECT_TRUE(pop.hasCapability("PIPELINING"));
        ASSERT_EQ(pop.RemoteInfo().Count(), 2u);
        EXPECT_EQ(reported, (std::vector<int>{0, 1}));
        const TRemoteInfoItem& first = pop.RemoteInfo()[0];
        EXPECT_EQ(first.Size, static_cast<std::int64_t>(message(1, folded).size()));
        EXPECT_EQ(first.Headers.GetFieldValue("Subject"), "message 1");
        EXPECT_EQ(first.Headers.indexOf("\tsecond part"), 3);
        EXPECT_FALSE(first.UIDL.empty());
        EXPECT_NE(first.UIDL, pop.RemoteInfo()[1].UIDL);
    }
}

TEST_F(Dovecot, KeepConnectedReusesTheSession) {
    server->deliver(message(1));
    pop.setKeepConnected(true);
    int opens = 0;
    pop.OnOpen = [&](TAsyncSocket&) { ++opens; };
    pop.UpdateInfo();
    server->deliver(message(2)); // not seen by the open session
    pop.UpdateInfo();
    EXPECT_EQ(opens, 1);
    EXPECT_EQ(pop.RemoteInfo().Count(), 1u);
    pop.Disconnect();
    pop.UpdateInfo();
    EXPECT_EQ(opens, 2);
    EXPECT_EQ(pop.RemoteInfo().Count(), 2u);
}

TEST_F(Dovecot, RetrieveSavesTheBytesAsSentToMsgIndex) {
    server->deliver(message(1));
    server->deliver(message(2));
    pop.UpdateInfo();
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("mv-retrieve-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    pop.setMessageDirectory(dir);
    pop.MarkRetrieve(1);
    EXPECT_TRUE(pop.ProcessMarked().empty());
    std::ifstream in(dir / "msg_1.eml", std::ios::binary);
    std::string saved((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(saved, "From: sender2@example.com\r\nSubject: message 2\r\n\r\nBody of 2\r\n"
                     "..leading dot\r\n.\r\n");
    EXPECT_EQ(server->messagesOnDisk(), 2u);
    fs::remove_all(dir);
}

TEST_F(Dovecot, DeleteAndQuitRemovesTheMarkedMessages) {
    for (int n = 1; n <= 3; ++n)
        server->deliver(message(n));
    pop.UpdateInfo();
    pop.MarkDelete(0);
    pop.MarkDelete(2);
    EXPECT_EQ(pop.ProcessMarked(), (std::vector<int>{0, 2}));
    EXPECT_EQ(server->messagesOnDisk(), 1u);
    pop.UpdateInfo();
    ASSERT_EQ(pop.RemoteInfo().Count(), 1u);
    EXPECT_EQ(pop.RemoteInfo()[0].Headers.GetFieldValue("Subject"), "message 2");
}

TEST_F(Dovecot, DeletionRefusedAfterTheMailboxChangedUnderIt) {
    auto first = server->deliver(message(1));
    server->deliver(message(2));
    pop.UpdateInfo();
    server->removeOnDisk(first); // message 2 is now number 1 on the server
    pop.MarkDelete(1);
    EXPECT_THROW(pop.ProcessMarked(), EMailboxChanged);
    EXPECT_EQ(server->messagesOnDisk(), 1u);
    EXPECT_TRUE(pop.DeletedIndexes().empty());
}

TEST_F(Dovecot, WrongPasswordEndsTheSession) {
    pop.setPassword("wrong");
    try {
        pop.UpdateInfo();
        FAIL();
    } catch (const EServerError& e) {
        EXPECT_STREQ(e.what(), "-ERR [AUTH] Authentication failed.");
    }
    EXPECT_FALSE(pop.Connected());
}

struct TlsCase {
    const char* name;
    TlsMode mode;
    bool implicitPort;
    bool trustFingerprint;
    bool trusted;
};

class DovecotTls : public Dovecot, public ::testing::WithParamInterface<TlsCase> {};

TEST_P(DovecotTls, TrustDecidesWhetherThePasswordIsSent) {
    const TlsCase& c = GetParam();
    server->deliver(message(1));
    pop.setServer(c.implicitPort ? server->tlsServer() : server->plainServer());
    pop.setSecurity(c.mode);
    if (c.trustFingerprint) pop.setFingerprint(server->certificateFingerprint());
    if (c.trusted) {
        pop.UpdateInfo();
        EXPECT_EQ(pop.RemoteInfo().Count(), 1u);
        return;
    }
    try {
        pop.UpdateInfo();
        FAIL();
    } catch (const ESocketError& e) {
        EXPECT_NE(std::string(e.what()).find("not trusted"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(pop.Connected());
}

INSTANTIATE_TEST_SUITE_P(
    Modes, DovecotTls,
    ::testing::Values(TlsCase{"ImplicitTrustedByFingerprint", TlsMode::Tls, true, true, true},
                      TlsCase{"ImplicitUntrusted", TlsMode::Tls, true, false, false},
                      TlsCase{"StlsTrustedByFingerprint", TlsMode::StartTls, false, true, true},
                      TlsCase{"StlsIfOfferedUntrusted", TlsMode::StartTlsIfOffered, false, false,
                              false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Dovecot, CertificateTrustedThroughTheSystemStoreVariable) {
    const char* previous = std::getenv("SSL_CERT_FILE");
    std::string saved = previous != nullptr ? previous : "";
    ::setenv("SSL_CERT_FILE", server->certificateFile().c_str(), 1);
    pop.setServer(server->tlsServer());
    pop.setSecurity(TlsMode::Tls);
    EXPECT_NO_THROW(pop.UpdateInfo());
    pop.setServer("localhost:" + std::to_string(server->pop3sPort())); // the name is checked too
    EXPECT_NO_THROW(pop.UpdateInfo());
    if (previous != nullptr)
        ::setenv("SSL_CERT_FILE", saved.c_str(), 1);
    else
        ::unsetenv("SSL_CERT_FILE");
}

} // namespace
} // namespace mv
