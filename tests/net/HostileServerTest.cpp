// The client against a loopback server that misbehaves: every failure must end in a clear error
// within the time-out, with the session closed and nothing deleted.
#include "support/HostileServer.h"
#include "net/RemotePOP.h"
#include "support/DovecotServer.h"

#include <chrono>
#include <gtest/gtest.h>

namespace mv {
namespace {

using test::HostilePeer;
using test::HostileServer;
using Clock = std::chrono::steady_clock;

// A POP3 dialogue that answers every command with "+OK" (and one message) except `failing`,
// which gets "-ERR <failing> refused".
void popDialogue(HostilePeer& peer, const std::string& failing) {
    auto answer = [&](const std::string& step, const std::string& ok) {
        peer.send(step == failing ? "-ERR " + step + " refused\r\n" : ok);
        return step != failing;
    };
    if (!answer("greeting", "+OK ready\r\n")) return;
    for (std::string line = peer.readLine(); !line.empty(); line = peer.readLine()) {
        std::string verb = line.substr(0, line.find(' '));
        if (verb == "CAPA")
            peer.send("+OK\r\nUSER\r\n.\r\n");
        else if (verb == "STAT" && !answer(verb, "+OK 1 20\r\n"))
            return;
        else if (verb == "LIST" && !answer(verb, "+OK 1 20\r\n"))
            return;
        else if (verb == "TOP" && !answer(verb, "+OK\r\nSubject: s\r\n\r\n.\r\n"))
            return;
        else if (verb == "DELE" && !answer(verb, "+OK\r\n"))
            return;
        else if (verb == "QUIT") {
            answer(verb, "+OK\r\n");
            return;
        } else if (verb != "STAT" && verb != "LIST" && verb != "TOP" && verb != "DELE" &&
                   !answer(verb, "+OK\r\n"))
            return;
    }
}

class Hostile : public ::testing::Test {
protected:
    void use(const HostileServer& server) {
        pop.setServer(server.address());
        pop.setUserName("bob");
        pop.setPassword("secret");
        pop.setSecurity(TlsMode::None);
        pop.setTimeOut(2);
        pop.OnError = [this](TAsyncSocket&, std::string& msg) { errors.push_back(msg); };
    }
    // Runs `operation`, expecting `E` with `text` within the time-out.
    template <class E>
    void expectFailure(const std::function<void()>& operation, const std::string& text) {
        auto start = Clock::now();
        try {
            operation();
            ADD_FAILURE() << "no error, expected " << text;
        } catch (const E& e) {
            EXPECT_EQ(std::string(e.what()), text);
        }
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(4));
        EXPECT_FALSE(pop.Connected());
    }

    TRemotePOP pop;
    std::vector<std::string> errors;
};

TEST_F(Hostile, ErrAtEachStepIsAServerErrorAndEndsTheSession) {
    for (std::string step : {"greeting", "USER", "PASS", "STAT", "LIST", "TOP"}) {
        HostileServer server([&](HostilePeer& peer, auto&) { popDialogue(peer, step); });
        use(server);
        expectFailure<EServerError>([&] { pop.UpdateInfo(); }, "-ERR " + step + " refused");
        EXPECT_TRUE(errors.empty()) << "OnError is for socket failures only";
    }
}

TEST_F(Hostile, RefusedDeleteIsReportedAndNothingCommitted) {
    HostileServer server([&](HostilePeer& peer, auto&) { popDialogue(peer, "DELE"); });
    use(server);
    pop.UpdateInfo();
    pop.MarkDelete(0);
    expectFailure<EServerError>([&] { pop.ProcessMarked(); }, "-ERR DELE refused");
    EXPECT_TRUE(pop.DeletedIndexes().empty());
}

TEST_F(Hostile, BrokenRepliesFailCleanly) {
    struct Case {
        const char* name;
        std::function<void(HostilePeer&, const std::atomic<bool>&)> session;
        std::string error;
    };
    const Case cases[] = {
        {"long line", [](HostilePeer& p, auto&) { p.send(std::string(5000, 'x') + "\r\n"); },
         "Reply line too long"},
        {"no terminator",
         [](HostilePeer& p, auto&) {
             p.send("+OK ready\r\n");
             p.readLine();
             p.send("+OK\r\nUSER\r\n"); // CAPA listing cut off: the server closes
         },
         "Connection closed by the server"},
        {"abrupt close",
         [](HostilePeer& p, auto&) {
             p.send("+OK ready\r\n");
             p.readLine();
             p.reset();
         },
         "Connection reset by peer"},
        {"greeting then nothing", [](HostilePeer& p, auto& stop) { p.silence(stop); },
         "Operation timed out"},
    };
    for (const Case& c : cases) {
        HostileServer server(c.session);
        use(server);
        if (c.error == "Operation timed out")
            expectFailure<ETimedOutError>([&] { pop.UpdateInfo(); }, c.error);
        else
            expectFailure<ESocketError>([&] { pop.UpdateInfo(); }, c.error);
        ASSERT_FALSE(errors.empty()) << c.name;
        EXPECT_EQ(errors.back(), c.error) << c.name;
    }
}

TEST_F(Hostile, SlowDripIsNotATimeOut) {
    // The time-out measures silence: a reply arriving a byte at a time keeps it alive.
    HostileServer server([](HostilePeer& p, auto&) {
        p.drip("+OK slow\r\n", 150);
        popDialogue(p, "none-after-greeting");
    });
    use(server);
    pop.setTimeOut(1);
    EXPECT_NO_THROW(pop.UpdateInfo());
    EXPECT_EQ(pop.RemoteInfo().Count(), 1u);
}

TEST_F(Hostile, CancelDuringAWaitOnASilentServer) {
    HostileServer server([](HostilePeer& p, auto& stop) { p.silence(stop); });
    use(server);
    pop.setTimeOut(30);
    auto start = Clock::now();
    pop.setPump([&] {
        if (Clock::now() - start > std::chrono::milliseconds(300)) pop.Cancel();
    });
    expectFailure<ECanceledError>([&] { pop.UpdateInfo(); }, "Operation has been canceled");
    EXPECT_EQ(errors, (std::vector<std::string>{"Operation has been canceled"}));
}

// A server that streams every reply before it reads a command, through buffers of a few
// kilobytes: the pipelined listing only gets through when the client reads while it writes, as
// a client that first writes all its commands and a server that first writes all its replies
// would wait for each other forever. Plain and through TLS.
TEST_F(Hostile, PipelinedListingReadsWhileItWrites) {
    constexpr int kMessages = 40000; // commands far beyond what the narrow pipe holds
    std::string replies;
    std::string commands;
    for (int n = 1; n <= kMessages; ++n) {
        std::string number = std::to_string(n);
        replies += "+OK " + number + " 20\r\n+OK\r\nSubject: " + number + "\r\n\r\n.\r\n";
        commands += "LIST " + number + "\r\nTOP " + number + " 1\r\n";
    }
    commands += "QUIT\r\n";
    for (bool tls : {false, true}) {
        SCOPED_TRACE(tls ? "tls" : "plain");
        std::string received;
        {
            HostileServer server(
                [&](HostilePeer& peer, auto&) {
                    peer.send("+OK ready\r\n");
                    for (const char* reply :
                         {"+OK\r\nUSER\r\nPIPELINING\r\n.\r\n", "+OK\r\n", "+OK\r\n"}) {
                        peer.readLine(); // CAPA, USER, PASS
                        peer.send(reply);
                    }
                    peer.readLine(); // STAT
                    peer.send("+OK " + std::to_string(kMessages) + " 800000\r\n");
                    peer.send(replies);
                    received = peer.readThrough("QUIT\r\n");
                    peer.send("+OK\r\n");
                },
                {.tls = tls, .narrowPipe = true});
            use(server);
            pop.setSecurity(tls ? TlsMode::Tls : TlsMode::None);
            pop.setFingerprint(tls ? server.fingerprint() : "");
            pop.setUsePipelining(true);
            pop.setTimeOut(5);
            EXPECT_NO_THROW(pop.UpdateInfo());
        } // the server's thread is joined: `received` is complete
        ASSERT_EQ(pop.RemoteInfo().Count(), static_cast<std::size_t>(kMessages));
        EXPECT_EQ(pop.RemoteInfo()[kMessages - 1].Headers.GetFieldValue("Subject"),
                  std::to_string(kMessages));
        EXPECT_TRUE(received == commands) << received.size() << " of " << commands.size();
    }
}

TEST_F(Hostile, RefusedConnectionNamesTheSystemError) {
    pop.setServer("127.0.0.1:" + std::to_string(test::freeLoopbackPort()));
    pop.setUserName("bob");
    pop.setPassword("secret");
    expectFailure<ESocketError>([&] { pop.UpdateInfo(); }, "Connection refused");
}

} // namespace
} // namespace mv
