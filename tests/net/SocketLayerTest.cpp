// The socket layer's own rules (server texts, error texts, reply reading, progress, events) and
// the SMTP and whois clients built on it, against a scripted server.
#include "net/AsyncSocket.h"
#include "net/SMTPClient.h"
#include "net/TlsSession.h"
#include "net/WhoisClient.h"
#include "support/FakeTransport.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <unistd.h>

namespace mv {
namespace {

using test::FakeTransport;

TEST(ServerText, HostAndPortParts) {
    struct Case {
        const char* server;
        const char* host;
        std::uint16_t port;
    };
    for (const Case& c :
         {Case{"mail.example.com", "mail.example.com", 0},
          Case{"mail.example.com:110", "mail.example.com", 110},
          Case{"10.0.0.1:995", "10.0.0.1", 995}, Case{"host:pop", "host", 0},
          Case{"host:65536", "host", 0}, Case{"host:0", "host", 0}, Case{"host:-5", "host", 0},
          Case{"[::1]:1100", "::1", 1100}, Case{"[2001:db8::1]", "2001:db8::1", 0},
          Case{"2001:db8::1", "2001:db8::1", 0}}) {
        ServerAddress a = parseServer(c.server);
        EXPECT_EQ(a.host, c.host) << c.server;
        EXPECT_EQ(a.port, c.port) << c.server;
    }
}

TEST(ErrorTexts, StringTableSystemErrorsAndFallback) {
    EXPECT_EQ(errorText(57000), "Operation timed out");
    EXPECT_EQ(errorText(57008), "You have to connect to the server first");
    EXPECT_EQ(errorText(ECONNREFUSED), "Connection refused");
    EXPECT_EQ(errorText(57999), "Error #57999");
    EXPECT_EQ(errorText(9999), "Error #9999");
}

TEST(SecurityWords, StoredNamesRoundTrip) {
    for (TlsMode m : {TlsMode::Tls, TlsMode::StartTls, TlsMode::StartTlsIfOffered, TlsMode::None})
        EXPECT_EQ(parseTlsMode(tlsModeName(m)), m);
    EXPECT_EQ(parseTlsMode(""), std::nullopt); // the store applies the default
    EXPECT_EQ(tlsModeName(TlsMode::StartTlsIfOffered), "starttls-if-offered");
    EXPECT_EQ(normalizeFingerprint("ab:cd"), std::nullopt); // not a SHA-256 fingerprint
}

class Socket : public ::testing::Test {
protected:
    Socket() : socket(takeTransport()) {
        socket.setServer("192.0.2.1:7");
        socket.OnError = [this](TAsyncSocket&, std::string& msg) { errors.push_back(msg); };
    }
    std::unique_ptr<Transport> takeTransport() {
        auto fake = std::make_unique<FakeTransport>();
        t = fake.get();
        return fake;
    }
    void connect() {
        socket.Open();
        socket.ConnectToServer();
    }
    FakeTransport* t = nullptr;
    TAsyncSocket socket;
    std::vector<std::string> errors;
};

TEST_F(Socket, LinesLoseEveryTrailingLineEndAndLeaveTheRestBuffered) {
    t->server("250 a\r\r\n251 b\n2");
    t->server("52 c\r\n");
    connect();
    std::string line;
    EXPECT_EQ(socket.ReadLine(line), 250);
    EXPECT_EQ(line, "250 a");
    EXPECT_EQ(socket.ReadLine(line), 251);
    EXPECT_EQ(socket.ReadLine(line), 252);
    EXPECT_EQ(line, "252 c");
    EXPECT_TRUE(t->finished());
}

TEST_F(Socket, ReadReplyFollowsNumberedLinesToTheLastOne) {
    t->server("250-a\r\n220 other\r\n250-b\r\n250 c\r\n+OK next\r\n");
    connect();
    EXPECT_EQ(socket.ReadReply(), 250);
    EXPECT_EQ(socket.LastReply(), "250 c");
    std::string line;
    socket.ReadLine(line);
    EXPECT_EQ(line, "+OK next");
}

TEST_F(Socket, MultiLineReplyStopsAtItsTerminatorAndReportsProgress) {
    t->server("line\r\n..stuffed\r\n.");
    t->server("\r\nafter\r\n");
    connect();
    std::vector<std::pair<int, std::int64_t>> progress;
    socket.OnProgress = [&](TAsyncSocket&, int perc, std::int64_t n) {
        progress.emplace_back(perc, n);
    };
    EXPECT_EQ(socket.ReceiveToStream(40, 1000), "line\r\n..stuffed\r\n.\r\n");
    EXPECT_EQ(progress, (std::vector<std::pair<int, std::int64_t>>{{0, 0}, {45, 18}}));
    std::string line;
    socket.ReadLine(line);
    EXPECT_EQ(line, "after");
}

TEST_F(Socket, ProgressOfHugeMessagesDoesNotOverflow) {
    std::string chunk(64 << 10, 'x');
    for (int i = 0; i < 400; ++i)
        t->server(chunk); // 25 MiB: past 32-bit Transferred * 100
    t->server("\r\n.\r\n");
    connect();
    int last = 0;
    socket.OnProgress = [&](TAsyncSocket&, int perc, std::int64_t) { last = perc; };
    socket.ReceiveToStream(26 << 20, 64 << 20);
    EXPECT_GT(last, 90);
    EXPECT_LE(last, 100);
}

TEST_F(Socket, ErrorHandlerMayRewordSocketErrors) {
    socket.OnError = [](TAsyncSocket&, std::string& msg) { msg = "reworded " + msg; };
    try {
        socket.SendLine("x");
        FAIL();
    } catch (const ESocketError& e) {
        EXPECT_STREQ(e.what(), "reworded You have to connect to the server first");
    }
}

TEST_F(Socket, CancelWhileIdleClosesInOrder) {
    std::vector<std::string> events;
    socket.OnCancel = [&](TAsyncSocket&) { events.push_back("Cancel"); };
    socket.OnClosing = [&](TAsyncSocket&) { events.push_back("Closing"); };
    socket.OnClosed = [&](TAsyncSocket&) { events.push_back("Closed"); };
    connect();
    socket.Cancel();
    EXPECT_FALSE(socket.Connected());
    EXPECT_EQ(events, (std::vector<std::string>{"Cancel", "Closing", "Closed"}));
    EXPECT_THROW(socket.ConnectToServer(), ECanceledError); // until the next session resets
}

TEST_F(Socket, DialHooksFrameTheSession) {
    std::vector<std::string> calls;
    socket.setDialHooks({[&] { calls.push_back("dial"); }, [&] { calls.push_back("hang up"); }});
    socket.OnOpen = [&](TAsyncSocket&) { calls.push_back("open"); };
    connect();
    socket.Close();
    EXPECT_EQ(calls, (std::vector<std::string>{"dial", "open", "hang up"}));
}

class Smtp : public ::testing::Test {
protected:
    Smtp() : smtp(takeTransport()) { smtp.setServer("smtp.example.com"); }
    std::unique_ptr<Transport> takeTransport() {
        auto fake = std::make_unique<FakeTransport>();
        t = fake.get();
        return fake;
    }
    ~Smtp() override { EXPECT_TRUE(t->finished()) << t->remainingScript(); }
    FakeTransport* t = nullptr;
    TSMTPClient smtp;
};

std::string machineName() {
    char name[512] = {};
    ::gethostname(name, sizeof name - 1);
    return name;
}

TEST_F(Smtp, MultiLineGreetingThenBareHeloFallbackThenQuit) {
    t->server("220-smtp.example.com\r\n220-welcome\r\n220 ready\r\n");
    t->expectClient("HELO " + machineName() + "\r\n");
    t->server("501 Syntax error\r\n");
    t->expectClient("HELO\r\n");
    t->server("250 smtp.example.com\r\n");
    t->expectClient("QUIT\r\n");
    t->server("221 bye\r\n");
    smtp.Connect();
    EXPECT_EQ(t->lastPort, 25);
    smtp.Disconnect();
    EXPECT_FALSE(smtp.Connected());
}

TEST_F(Smtp, RefusedGreetingOrHeloIsAServerErrorAndEndsTheSession) {
    t->server("554 go away\r\n");
    try {
        smtp.Connect();
        FAIL();
    } catch (const EServerError& e) {
        EXPECT_STREQ(e.what(), "554 go away");
    }
    EXPECT_FALSE(smtp.Connected());
    smtp.setServer("");
    EXPECT_THROW(smtp.Connect(), ESocketError);
}

TEST(Whois, ServiceAndPort) {
    auto fake = std::make_unique<FakeTransport>();
    FakeTransport* t = fake.get();
    TWhoisClient whois(std::move(fake));
    EXPECT_EQ(whois.defaultPort(), 43);
    EXPECT_EQ(whois.serviceName(), "whois");
    whois.setServer("whois.example.net");
    whois.Open();
    whois.ConnectToServer();
    EXPECT_EQ(t->lastPort, 43);
}

} // namespace
} // namespace mv
