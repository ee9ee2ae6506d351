// POP3 sessions as transcripts against a scripted server: the exact commands, their order, the
// events, and what every failure leaves behind.
#include "net/RemotePOP.h"
#include "support/FakeTransport.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

namespace mv {
namespace {

using test::FakeTransport;

class PopTranscript : public ::testing::Test {
protected:
    PopTranscript() : pop(takeTransport()) {
        pop.setServer("pop.example.com");
        pop.setUserName("bob");
        pop.setPassword("secret");
        pop.setSecurity(TlsMode::None); // most scripts play a server without STLS
        pop.OnOpen = [this](TAsyncSocket&) { events.push_back("Open"); };
        pop.OnClosing = [this](TAsyncSocket&) { events.push_back("Closing"); };
        pop.OnClosed = [this](TAsyncSocket&) { events.push_back("Closed"); };
        pop.OnCancel = [this](TAsyncSocket&) { events.push_back("Cancel"); };
        pop.OnError = [this](TAsyncSocket&, std::string& msg) { events.push_back("Error " + msg); };
        pop.OnUpdatingInfo = [this](TRemotePOP&) { events.push_back("UpdatingInfo"); };
        pop.OnNextInfoUpdated = [this](TRemotePOP&, int n) {
            events.push_back("Next " + std::to_string(n));
        };
        pop.OnInfoUpdated = [this](TRemotePOP&) { events.push_back("InfoUpdated"); };
        pop.OnTransferringData = [this](TRemotePOP&) { events.push_back("Transferring"); };
        pop.OnDataTransfered = [this](TRemotePOP&) { events.push_back("Transfered"); };
        pop.OnRetrieving = [this](TCustomPOP&, int n) {
            events.push_back("Retrieving " + std::to_string(n));
        };
        pop.OnRetrieved = [this](TCustomPOP&, int n) {
            events.push_back("Retrieved " + std::to_string(n));
        };
        pop.OnDeleting = [this](TCustomPOP&, int n) {
            events.push_back("Deleting " + std::to_string(n));
        };
    }
    ~PopTranscript() override {
        EXPECT_TRUE(t->finished()) << "unplayed script:\n" << t->remainingScript();
    }

    std::unique_ptr<Transport> takeTransport() {
        auto fake = std::make_unique<FakeTransport>();
        t = fake.get();
        return fake;
    }

    void login(const std::string& stat, const std::string& caps = "USER\r\nUIDL\r\n") {
        t->server("+OK Dovecot ready.\r\n");
        t->expectClient("CAPA\r\n");
        t->server("+OK\r\n" + caps + ".\r\n");
        t->expectClient("USER bob\r\n");
        t->server("+OK\r\n");
        t->expectClient("PASS secret\r\n");
        t->server("+OK Logged in.\r\n");
        t->expectClient("STAT\r\n");
        t->server(stat);
    }
    void quit() {
        t->expectClient("QUIT\r\n");
        t->server("+OK Logging out.\r\n");
    }
    // LIST and TOP of message n without a unique id listing.
    void header(int n, const std::string& size, const std::string& headers) {
        t->expectClient("LIST " + std::to_string(n) + "\r\n");
        t->server("+OK " + std::to_string(n) + " " + size + "\r\n");
        t->expectClient("TOP " + std::to_string(n) + " 1\r\n");
        t->server("+OK\r\n" + headers + "\r\nbody\r\n.\r\n");
    }
    void listTwoWithUids() {
        login("+OK 2 300\r\n");
        t->expectClient("UIDL\r\n");
        t->server("+OK\r\n1 uid-a\r\n2 uid-b\r\n.\r\n");
        header(1, "100", "Subject: first\r\n");
        header(2, "200", "Subject: second\r\n");
        quit();
        pop.UpdateInfo();
        events.clear();
    }

    FakeTransport* t = nullptr;
    TRemotePOP pop;
    std::vector<std::string> events;
};

TEST_F(PopTranscript, EmptyMailboxListsNothingAndProcessMarkedStaysOffline) {
    login("+OK 0 0\r\n");
    quit();
    pop.UpdateInfo();
    EXPECT_EQ(pop.RemoteInfo().Count(), 0u);
    EXPECT_EQ(pop.MessageCount(), 0);
    EXPECT_EQ(events, (std::vector<std::string>{"Open", "UpdatingInfo", "Closing", "Closed",
                                                "InfoUpdated"}));
    EXPECT_EQ(t->lastPort, 110);
    EXPECT_TRUE(pop.ProcessMarked().empty());
    EXPECT_EQ(t->connections(), 1);
}

TEST_F(PopTranscript, ListingKeepsFoldedLinesSizesAndUniqueIds) {
    login("+OK 3 5000\r\n");
    t->expectClient("UIDL\r\n");
    t->server("+OK\r\n1 uid-a\r\n3 uid-c\r\n.\r\n");
    header(1, "1234 octets", "Subject: folded\r\n  continued\r\nFrom: a@b.example\r\n");
    t->expectClient("LIST 2\r\n");
    t->server("+OK 777\r\n"); // no message number
    t->expectClient("TOP 2 1\r\n");
    t->server("+OK\r\nSubject: two\r\n.\r\n"); // no body, no blank line
    header(3, "lots", "Subject: three\r\n");
    quit();
    pop.UpdateInfo();
    const TRemoteInfo& info = pop.RemoteInfo();
    ASSERT_EQ(info.Count(), 3u);
    EXPECT_EQ(info[0].Size, 1234);
    EXPECT_EQ(info[0].Headers.lines(),
              (std::vector<std::string>{"Subject: folded", "  continued", "From: a@b.example"}));
    EXPECT_EQ(info[0].UIDL, "uid-a");
    EXPECT_EQ(info[1].Size, 777);
    EXPECT_EQ(info[1].Headers.lines(), (std::vector<std::string>{"Subject: two"}));
    EXPECT_EQ(info[1].UIDL, "");
    EXPECT_EQ(info[2].Size, -1); // unreadable: unknown, never 0
    EXPECT_EQ(info[2].UIDL, "uid-c");
    EXPECT_EQ(events, (std::vector<std::string>{"Open", "UpdatingInfo", "Next 0", "Next 1",
                                                "Next 2", "Closing", "Closed", "InfoUpdated"}));
}

// A LIST reply whose size cannot be read gives an unknown size, never 0 or a number read from
// part of it; a reply of only the message number gives no size either.
TEST_F(PopTranscript, UnreadableListSizesAreUnknown) {
    const char* const replies[] = {"+OK 1 -5", "+OK 2 1e20", "+OK 3 18446744073709551615",
                                   "+OK 4 abc", "+OK 5"};
    login("+OK 5 100\r\n", "USER\r\n");
    for (int n = 1; n <= 5; ++n) {
        std::string number = std::to_string(n);
        t->expectClient("LIST " + number + "\r\n");
        t->server(std::string(replies[n - 1]) + "\r\n");
        t->expectClient("TOP " + number + " 1\r\n");
        t->server("+OK\r\nSubject: s\r\n.\r\n");
    }
    quit();
    pop.UpdateInfo();
    ASSERT_EQ(pop.RemoteInfo().Count(), 5u);
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(pop.RemoteInfo()[i].Size, -1) << replies[i];
}

TEST_F(PopTranscript, HeaderReplyOfOnlyTheTerminatorIsRecognisedAtOnce) {
    login("+OK 1 10\r\n", "USER\r\n");
    t->expectClient("LIST 1\r\n");
    t->server("+OK 1 10\r\n");
    t->expectClient("TOP 1 1\r\n");
    t->server("+OK\r\n.\r\n");
    quit();
    pop.UpdateInfo();
    ASSERT_EQ(pop.RemoteInfo().Count(), 1u);
    EXPECT_TRUE(pop.RemoteInfo()[0].Headers.empty());
}

TEST_F(PopTranscript, PipelinedListingSendsTheCommandsInOneBatch) {
    login("+OK 3 30\r\n", "USER\r\nPIPELINING\r\n");
    t->expectClient("LIST 1\r\nTOP 1 1\r\nLIST 2\r\nTOP 2 1\r\nLIST 3\r\nTOP 3 1\r\n");
    std::string replies;
    for (int n = 1; n <= 3; ++n)
        replies += "+OK " + std::to_string(n) + " 10\r\n+OK\r\nSubject: m" + std::to_string(n) +
                   "\r\n\r\nx\r\n.\r\n";
    t->server(replies);
    quit();
    pop.UpdateInfo();
    ASSERT_EQ(pop.RemoteInfo().Count(), 3u);
    EXPECT_EQ(pop.RemoteInfo()[2].Headers.GetFieldValue("Subject"), "m3");
    EXPECT_EQ(events[2], "Next 0");
    EXPECT_EQ(events[4], "Next 2");
}

TEST_F(PopTranscript, KeepConnectedReusesTheSessionOnlyForTheSameAccount) {
    pop.setKeepConnected(true);
    login("+OK 0 0\r\n");
    pop.UpdateInfo();
    pop.UpdateInfo(); // same session: no greeting, no login
    EXPECT_TRUE(pop.Connected());
    EXPECT_EQ(t->connections(), 1);

    pop.setUserName("alice"); // another account: the old session ends first
    t->server("+OK ready\r\n");
    t->expectClient("CAPA\r\n");
    t->server("-ERR\r\n");
    t->expectClient("USER alice\r\n");
    t->server("+OK\r\n");
    t->expectClient("PASS secret\r\n");
    t->server("+OK\r\n");
    t->expectClient("STAT\r\n");
    t->server("+OK 0 0\r\n");
    pop.UpdateInfo();
    EXPECT_EQ(t->connections(), 2);
}

TEST_F(PopTranscript, RefusedLoginStepsCloseTheSession) {
    struct Case {
        std::string passReply, statReply, message;
    };
    const Case cases[] = {
        {"-ERR [AUTH] Authentication failed.\r\n", "", "-ERR [AUTH] Authentication failed."},
        {"+OK\r\n", "+OK lots\r\n",
         "The server's reply to STAT gives no message count and mailbox size: +OK lots"},
        {"+OK\r\n", "+OK 2147483648 0\r\n",
         "The server reports 2147483648 messages, more than can be listed (at most 2147483647)"},
        {"+OK\r\n", "-ERR locked\r\n", "-ERR locked"},
    };
    for (const Case& c : cases) {
        t->server("+OK ready\r\n");
        t->expectClient("CAPA\r\n");
        t->server("+OK\r\nUSER\r\n.\r\n");
        t->expectClient("USER bob\r\n");
        t->server("+OK\r\n");
        t->expectClient("PASS secret\r\n");
        t->server(c.passReply);
        if (!c.statReply.empty()) {
            t->expectClient("STAT\r\n");
            t->server(c.statReply);
        }
        try {
            pop.UpdateInfo();
            ADD_FAILURE() << c.message;
        } catch (const EServerError& e) {
            EXPECT_EQ(e.what(), c.message);
        }
        EXPECT_FALSE(pop.Connected()) << c.passReply << c.statReply;
    }
    events.clear();
    login("+OK 0 0\r\n"); // the next attempt starts a fresh session
    quit();
    pop.UpdateInfo();
    EXPECT_EQ(t->connections(), 5);
}

TEST_F(PopTranscript, LineBreakInCredentialsIsRefusedBeforeAnythingIsSent) {
    for (const char* bad : {"secret\r\nDELE 1", "a\nb", "a\rb"}) {
        pop.setPassword(bad);
        events.clear();
        EXPECT_THROW(pop.UpdateInfo(), ESocketError);
        EXPECT_EQ(events,
                  (std::vector<std::string>{"Error User name or password contains a line break"}));
    }
    pop.setPassword("secret");
    pop.setUserName("bob\r\nDELE 1");
    EXPECT_THROW(pop.UpdateInfo(), ESocketError);
    EXPECT_EQ(t->connections(), 0);
}

// A damaged stored fingerprint would otherwise just never match; it is named as the fault
// before the server is even reached, whatever the security mode.
TEST_F(PopTranscript, MalformedFingerprintIsRefusedBeforeConnecting) {
    const std::string digits(64, 'a');
    for (const std::string& bad : {std::string("12:34"), "zz" + digits.substr(2),
                                   digits + "ab", "sha256:" + digits}) {
        for (TlsMode mode : {TlsMode::Tls, TlsMode::StartTls}) {
            SCOPED_TRACE(bad + " " + tlsModeName(mode));
            pop.setFingerprint(bad);
            pop.setSecurity(mode);
            try {
                pop.UpdateInfo();
                ADD_FAILURE() << "accepted";
            } catch (const ESocketError& e) {
                EXPECT_EQ(std::string(e.what()), errorText(kErrBadFingerprint));
            }
            EXPECT_FALSE(pop.Connected());
        }
    }
    EXPECT_EQ(t->connections(), 0);
    EXPECT_EQ(t->clientLog(), "");
}

TEST_F(PopTranscript, RequiredPropertiesAreCheckedFirst) {
    pop.setUserName("");
    try {
        pop.UpdateInfo();
        FAIL();
    } catch (const ESocketError& e) {
        EXPECT_STREQ(e.what(), "UserName property is required");
    }
    pop.setUserName("bob");
    pop.setPassword("");
    EXPECT_THROW(pop.UpdateInfo(), ESocketError);
    pop.setPassword("x");
    pop.setServer("");
    events.clear();
    EXPECT_THROW(pop.UpdateInfo(), ESocketError);
    EXPECT_EQ(events, (std::vector<std::string>{"Open", "Error Server property is required"}));
}

TEST_F(PopTranscript, ProcessMarkedChecksEachMessageRetrievesDeletesAndCommits) {
    listTwoWithUids();
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("mv-pop-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    pop.setMessageDirectory(dir);
    pop.MarkRetrieve(1);
    pop.MarkDelete(0);
    login("+OK 2 300\r\n");
    t->expectClient("UIDL 1\r\n");
    t->server("+OK 1 uid-a\r\n");
    t->expectClient("DELE 1\r\n");
    t->server("+OK Marked to be deleted.\r\n");
    t->expectClient("UIDL 2\r\n");
    t->server("+OK 2 uid-b\r\n");
    t->expectClient("LIST 2\r\n");
    t->server("+OK 2 200\r\n");
    t->expectClient("RETR 2\r\n");
    t->server("+OK\r\nSubject: second\r\n\r\n..stuffed\r\n.\r\n");
    quit();
    EXPECT_EQ(pop.ProcessMarked(), (std::vector<int>{0}));
    EXPECT_EQ(pop.DeletedIndexes(), (std::vector<int>{0}));
    EXPECT_EQ(events,
              (std::vector<std::string>{"Open", "Transferring", "Deleting 0", "Retrieving 1",
                                        "Retrieved 1", "Transfered", "Closing", "Closed"}));
    std::ifstream saved(dir / "msg_1.eml", std::ios::binary);
    std::string contents((std::istreambuf_iterator<char>(saved)), {});
    EXPECT_EQ(contents, "Subject: second\r\n\r\n..stuffed\r\n.\r\n");
    EXPECT_TRUE(pop.RemoteInfo()[0].MarkedDelete()); // the caller clears the marks
    fs::remove_all(dir);
}

// The refusal says what the run leaves undone: with any deletion marked, the whole run's deletions
// (the session ends without QUIT); for a download alone, the download.
TEST_F(PopTranscript, ChangedMailboxDeletesNothing) {
    const std::string changed =
        "Message 1 (\"first\") is no longer the one listed; the mailbox changed on the server, ";
    const struct {
        TRemoteInfoItem::Mark first, second;
        std::string outcome;
    } cases[] = {
        {TRemoteInfoItem::kDelete, TRemoteInfoItem::kDelete, "so nothing was deleted"},
        {TRemoteInfoItem::kRetrieve, TRemoteInfoItem::kDelete, "so nothing was deleted"},
        {TRemoteInfoItem::kRetrieve, TRemoteInfoItem::kRetrieve, "so it was not downloaded"},
    };
    for (const auto& c : cases) {
        listTwoWithUids();
        pop.RemoteInfo()[0].Marks = c.first;
        pop.RemoteInfo()[1].Marks = c.second;
        login("+OK 1 200\r\n");
        t->expectClient("UIDL 1\r\n");
        t->server("+OK 1 uid-b\r\n"); // message 1 was removed by another program meanwhile
        try {
            pop.ProcessMarked();
            ADD_FAILURE() << c.outcome;
        } catch (const EMailboxChanged& e) {
            EXPECT_EQ(e.what(), changed + c.outcome);
        }
        EXPECT_FALSE(pop.Connected());
        EXPECT_TRUE(pop.DeletedIndexes().empty());
        std::string session = t->clientLog().substr(t->clientLog().rfind("STAT"));
        EXPECT_EQ(session.find("DELE"), std::string::npos) << c.outcome;
        EXPECT_EQ(session.find("RETR"), std::string::npos) << c.outcome;
        EXPECT_EQ(session.find("QUIT\r\n"), std::string::npos) << c.outcome;
    }
}

TEST_F(PopTranscript, WithoutUniqueIdsSizeAndHeadersIdentifyTheMessage) {
    login("+OK 1 100\r\n", "USER\r\n");
    header(1, "100", "Subject: first\r\n");
    quit();
    pop.UpdateInfo();
    pop.MarkDelete(0);
    login("+OK 1 100\r\n", "USER\r\n");
    header(1, "100", "Subject: other\r\n");
    EXPECT_THROW(pop.ProcessMarked(), EMailboxChanged);
    EXPECT_EQ(t->clientLog().find("DELE"), std::string::npos);
}

TEST_F(PopTranscript, RefusedDeleteOrQuitCommitsNothing) {
    listTwoWithUids();
    pop.MarkDelete(0);
    pop.MarkDelete(1);
    login("+OK 2 300\r\n");
    t->expectClient("UIDL 1\r\n");
    t->server("+OK 1 uid-a\r\n");
    t->expectClient("DELE 1\r\n");
    t->server("-ERR Deletion refused\r\n");
    try {
        pop.ProcessMarked();
        FAIL();
    } catch (const EServerError& e) {
        EXPECT_STREQ(e.what(), "-ERR Deletion refused");
    }
    EXPECT_FALSE(pop.Connected()); // closed without QUIT: message 1 stays on the server
    EXPECT_TRUE(pop.DeletedIndexes().empty());

    login("+OK 2 300\r\n");
    for (int n = 1; n <= 2; ++n) {
        std::string s = std::to_string(n);
        t->expectClient("UIDL " + s + "\r\n");
        t->server("+OK " + s + (n == 1 ? " uid-a\r\n" : " uid-b\r\n"));
        t->expectClient("DELE " + s + "\r\n");
        t->server("+OK\r\n");
    }
    t->expectClient("QUIT\r\n");
    t->server("-ERR Some deleted messages were not removed\r\n");
    EXPECT_THROW(pop.ProcessMarked(), EServerError);
    EXPECT_TRUE(pop.DeletedIndexes().empty());
    EXPECT_FALSE(pop.Connected());
}

TEST_F(PopTranscript, StlsWhenOfferedOrRequired) {
    pop.setSecurity(TlsMode::StartTlsIfOffered);
    t->server("+OK ready\r\n");
    t->expectClient("CAPA\r\n");
    t->server("+OK\r\nSTLS\r\nUSER\r\n.\r\n");
    t->expectClient("STLS\r\n");
    t->server("+OK Begin TLS negotiation now.\r\n");
    t->expectTls();
    t->expectClient("CAPA\r\n");
    t->server("+OK\r\nUSER\r\n.\r\n");
    t->expectClient("USER bob\r\n");
    t->server("+OK\r\n");
    t->expectClient("PASS secret\r\n");
    t->server("+OK\r\n");
    t->expectClient("STAT\r\n");
    t->server("+OK 0 0\r\n");
    quit();
    pop.UpdateInfo();
    EXPECT_TRUE(t->tlsActive);

    // Required unless chosen otherwise, and not offered: the password stays home, and the error
    // names the ways out.
    EXPECT_EQ(TRemotePOP().security(), TlsMode::StartTls);
    pop.setSecurity(TlsMode::StartTls);
    t->server("+OK ready\r\n");
    t->expectClient("CAPA\r\n");
    t->server("+OK\r\nUSER\r\n.\r\n");
    t->expectClient("STLS\r\n");
    t->server("-ERR Unknown command\r\n");
    try {
        pop.UpdateInfo();
        FAIL();
    } catch (const ESocketError& e) {
        EXPECT_EQ(std::string(e.what()), errorText(kErrNoStls));
    }
    EXPECT_NE(errorText(kErrNoStls).find("tls"), std::string::npos);
    EXPECT_NE(errorText(kErrNoStls).find("none to send the password in clear"), std::string::npos);
    EXPECT_EQ(t->clientLog().rfind("PASS"), t->clientLog().find("PASS"));
    EXPECT_FALSE(pop.Connected());
}

TEST_F(PopTranscript, RepliesInjectedBeforeTheHandshakeAreRefused) {
    pop.setSecurity(TlsMode::StartTls);
    t->server("+OK ready\r\n");
    t->expectClient("CAPA\r\n");
    t->server("+OK\r\nSTLS\r\n.\r\n");
    t->expectClient("STLS\r\n");
    t->server("+OK Begin TLS\r\n+OK injected\r\n");
    EXPECT_THROW(pop.UpdateInfo(), ESocketError);
    EXPECT_FALSE(t->tlsActive);
}

TEST_F(PopTranscript, ImplicitTlsUsesPort995) {
    pop.setSecurity(TlsMode::Tls);
    t->expectTls();
    login("+OK 0 0\r\n");
    quit();
    pop.UpdateInfo();
    EXPECT_EQ(t->lastPort, 995);
}

TEST_F(PopTranscript, HostileRepliesEndTheSessionWithAClearError) {
    struct Case {
        std::string reply;
        bool closes;
        std::string message;
    };
    const Case cases[] = {
        {std::string(1100, 'x'), false, "Reply line too long"},
        {"+OK\r\nSubject: cut", true, "Connection closed by the server"},
        {"+OK\r\n" + std::string(1100 * 1024, 'y'), false, "Reply too large"},
    };
    for (const Case& c : cases) {
        login("+OK 1 10\r\n", "USER\r\n");
        t->expectClient("LIST 1\r\n");
        t->server("+OK 1 10\r\n");
        t->expectClient("TOP 1 1\r\n");
        t->server(c.reply);
        if (c.closes) t->serverCloses();
        events.clear();
        try {
            pop.UpdateInfo();
            FAIL() << c.message;
        } catch (const ESocketError& e) {
            EXPECT_EQ(e.what(), c.message);
        }
        EXPECT_FALSE(pop.Connected());
        EXPECT_EQ(events.back(), "Error " + c.message);
        // drop what the script still holds for the next case
        while (!t->finished()) {
            char sink[65536];
            TTimeCounter counter(1);
            WaitHooks hooks;
            t->receive(sink, sizeof sink, {hooks, counter});
        }
    }
}

TEST_F(PopTranscript, SilentServerTimesOut) {
    pop.setTimeOut(0);
    t->silence();
    auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(pop.UpdateInfo(), ETimedOutError);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(events,
              (std::vector<std::string>{"Open", "Error Operation timed out", "Closing", "Closed"}));
}

TEST_F(PopTranscript, CancelDuringTheListingKeepsTheItemsReadSoFar) {
    login("+OK 2 20\r\n", "USER\r\n");
    header(1, "10", "Subject: one\r\n");
    t->expectClient("LIST 2\r\n");
    t->silence();
    int pumps = 0;
    pop.setPump([&] {
        if (++pumps == 3) pop.Cancel();
    });
    events.clear();
    EXPECT_THROW(pop.UpdateInfo(), ECanceledError);
    EXPECT_EQ(pop.RemoteInfo().Count(), 1u);
    EXPECT_EQ(events,
              (std::vector<std::string>{"Open", "UpdatingInfo", "Next 0", "Cancel", "Closing",
                                        "Closed", "Error Operation has been canceled"}));
}

TEST_F(PopTranscript, SecondOperationFromAHandlerIsRefused) {
    login("+OK 1 10\r\n", "USER\r\n");
    header(1, "10", "Subject: one\r\n");
    quit();
    std::string refusal;
    pop.OnNextInfoUpdated = [&](TRemotePOP& p, int) {
        try {
            p.ProcessMarked();
        } catch (const ESocketError& e) {
            refusal = e.what();
        }
    };
    pop.UpdateInfo();
    EXPECT_EQ(refusal, "Another operation is still running on this connection");
}

// Three pipelined replies that arrive in one piece: read from the buffer without any wait.
std::string threeReplies() {
    std::string replies;
    for (int n = 1; n <= 3; ++n)
        replies += "+OK " + std::to_string(n) + " 10\r\n+OK\r\nSubject: m" + std::to_string(n) +
                   "\r\n\r\nx\r\n.\r\n";
    return replies;
}

TEST_F(PopTranscript, ReadsFromTheBufferStillRunThePumpAndSeeACancel) {
    using namespace std::chrono_literals;
    login("+OK 3 30\r\n", "USER\r\nPIPELINING\r\n");
    t->expectClient("LIST 1\r\nTOP 1 1\r\nLIST 2\r\nTOP 2 1\r\nLIST 3\r\nTOP 3 1\r\n");
    t->server(threeReplies());
    quit();
    int pumps = 0;
    pop.setPump([&] { ++pumps; });
    pop.OnNextInfoUpdated = [&](TRemotePOP&, int) {
        std::this_thread::sleep_for(kPumpInterval + 2ms); // screening that takes a while
    };
    pop.UpdateInfo();
    EXPECT_GE(pumps, 3); // once per message read after such a pause

    login("+OK 3 30\r\n", "USER\r\nPIPELINING\r\n");
    t->expectClient("LIST 1\r\nTOP 1 1\r\nLIST 2\r\nTOP 2 1\r\nLIST 3\r\nTOP 3 1\r\n");
    t->server(threeReplies());
    pop.OnNextInfoUpdated = [&](TRemotePOP& p, int) { p.Cancel(); };
    EXPECT_THROW(pop.UpdateInfo(), ECanceledError);
    EXPECT_EQ(pop.RemoteInfo().Count(), 1u);
}

} // namespace
} // namespace mv
