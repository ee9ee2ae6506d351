// The POP3 client against a real Dovecot on loopback: listing, reuse, retrieve, delete, a mailbox
// changed behind the client's back, a wrong password, implicit TLS, STLS and certificate trust.
#include "net/RemotePOP.h"
#include "support/DovecotSuite.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <thread>

namespace mv {
namespace {

using test::DovecotServer;

std::string message(int n, const std::string& extraHeader = "") {
    return "From: sender" + std::to_string(n) + "@example.com\r\nSubject: message " +
           std::to_string(n) + "\r\n" + extraHeader + "\r\nBody of " + std::to_string(n) +
           "\r\n.leading dot\r\n";
}

// Makes OpenSSL's default trust store one certificate file while it lives.
class ScopedCertificateFile {
public:
    explicit ScopedCertificateFile(const std::filesystem::path& file) {
        if (const char* previous = std::getenv("SSL_CERT_FILE")) m_previous = previous;
        ::setenv("SSL_CERT_FILE", file.c_str(), 1);
    }
    ~ScopedCertificateFile() {
        if (m_previous)
            ::setenv("SSL_CERT_FILE", m_previous->c_str(), 1);
        else
            ::unsetenv("SSL_CERT_FILE");
    }

private:
    std::optional<std::string> m_previous;
};

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

    // Log lines naming the user since `start`, once the server has logged the last login.
    static int logins(std::size_t start, const DovecotServer& dovecot = *server) {
        std::string text;
        for (int wait = 0; wait < 200 && text.find("Login: user=<bob>") == std::string::npos;
             ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            text = dovecot.log().substr(start);
        }
        int n = 0;
        for (std::size_t at = text.find("user=<bob>"); at != std::string::npos;
             at = text.find("user=<bob>", at + 1))
            ++n;
        return n;
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

// Many commands in flight while replies stream back, plain and through TLS (where a write that
// has to wait must be repeated as it was): every message arrives, in order, with its own id.
TEST_F(Dovecot, LongPipelinedListingPlainAndThroughTls) {
    constexpr int kCount = 1500; // more reply bytes than the window: it is refilled while reading
    std::string padding = "X-Padding: " + std::string(900, 'p') + "\r\n";
    for (int n = 1; n <= kCount; ++n)
        server->deliver(message(n, padding));
    for (bool tls : {false, true}) {
        pop.setServer(tls ? server->tlsServer() : server->plainServer());
        pop.setSecurity(tls ? TlsMode::Tls : TlsMode::None);
        pop.setFingerprint(tls ? server->certificateFingerprint() : "");
        pop.UpdateInfo();
        ASSERT_EQ(pop.RemoteInfo().Count(), static_cast<std::size_t>(kCount)) << tls;
        std::set<std::string> ids;
        for (int n = 1; n <= kCount; ++n) {
            const TRemoteInfoItem& item = pop.RemoteInfo()[static_cast<std::size_t>(n - 1)];
            EXPECT_EQ(item.Headers.GetFieldValue("Subject"), "message " + std::to_string(n));
            ids.insert(item.UIDL);
        }
        EXPECT_EQ(ids.size(), static_cast<std::size_t>(kCount)) << tls;
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
    std::size_t logStart = server->log().size();
    try {
        pop.UpdateInfo();
        FAIL();
    } catch (const ESocketError& e) {
        EXPECT_NE(std::string(e.what()).find("not trusted"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(pop.Connected());
    // The server saw no password (it logs every attempt with the user's name): the plain login
    // that follows is the only one after the refusal.
    pop.setServer(server->plainServer());
    pop.setSecurity(TlsMode::None);
    pop.UpdateInfo();
    EXPECT_EQ(logins(logStart), 1) << server->log().substr(logStart);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, DovecotTls,
    ::testing::Values(TlsCase{"ImplicitTrustedByFingerprint", TlsMode::Tls, true, true, true},
                      TlsCase{"ImplicitUntrusted", TlsMode::Tls, true, false, false},
                      TlsCase{"StlsTrustedByFingerprint", TlsMode::StartTls, false, true, true},
                      TlsCase{"StlsUntrusted", TlsMode::StartTls, false, false, false},
                      TlsCase{"StlsIfOfferedUntrusted", TlsMode::StartTlsIfOffered, false, false,
                              false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Dovecot, CertificateTrustedThroughTheSystemStoreVariable) {
    ScopedCertificateFile trustAll(server->certificateFile());
    pop.setServer(server->tlsServer());
    pop.setSecurity(TlsMode::Tls);
    EXPECT_NO_THROW(pop.UpdateInfo());
    pop.setServer("localhost:" + std::to_string(server->pop3sPort())); // the name is checked too
    EXPECT_NO_THROW(pop.UpdateInfo());
}

// A certificate that is trusted but made out for another name is refused like an untrusted one,
// before the password goes out: both by address and by name, implicit TLS and STLS.
TEST_F(Dovecot, CertificateForAnotherNameIsRefusedBeforeLogin) {
    DovecotServer other("DNS:other.example");
    ScopedCertificateFile trustOther(other.certificateFile());
    struct Case {
        TlsMode mode;
        std::uint16_t port;
        const char* host;
    };
    for (const Case& c : {Case{TlsMode::Tls, other.pop3sPort(), "127.0.0.1"},
                          Case{TlsMode::StartTls, other.pop3Port(), "127.0.0.1"},
                          Case{TlsMode::Tls, other.pop3sPort(), "localhost"},
                          Case{TlsMode::StartTls, other.pop3Port(), "localhost"}}) {
        SCOPED_TRACE(std::string(tlsModeName(c.mode)) + " " + c.host);
        std::size_t logStart = other.log().size();
        pop.setServer(std::string(c.host) + ":" + std::to_string(c.port));
        pop.setSecurity(c.mode);
        try {
            pop.UpdateInfo();
            ADD_FAILURE() << "connected";
        } catch (const ESocketError& e) {
            // "mismatch": the chain was trusted, only the name failed
            std::string text = e.what();
            EXPECT_NE(text.find("not trusted"), std::string::npos) << text;
            EXPECT_NE(text.find("mismatch"), std::string::npos) << text;
        }
        EXPECT_FALSE(pop.Connected());
        // The plain login that follows is the only one the server saw since.
        pop.setServer(other.plainServer());
        pop.setSecurity(TlsMode::None);
        pop.UpdateInfo();
        EXPECT_EQ(logins(logStart, other), 1) << other.log().substr(logStart);
    }
}

} // namespace
} // namespace mv
