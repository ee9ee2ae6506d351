#pragma once
// A scripted POP3/SMTP server behind the Transport interface, so protocol tests read as a session
// transcript: server("+OK ready\r\n"); expectClient("USER bob\r\n"); The script is played in
// order; a client that sends something else, reads when the server expects a command, or starts
// TLS unasked fails the test with both sides shown. silence() makes the server say nothing, so
// the client's real wait (time-out, cancel, pump) runs. Owned by the client under test; the test
// keeps a reference.
#include "net/Transport.h"

#include <deque>
#include <string>

namespace mv::test {

class FakeTransport : public Transport {
public:
    FakeTransport();
    ~FakeTransport() override;

    void server(std::string bytes);
    void expectClient(std::string bytes);
    void expectTls();
    void serverCloses();
    void silence();

    // Every scripted step was played.
    bool finished() const { return m_steps.empty(); }
    std::string remainingScript() const;
    int connections() const { return m_connections; }
    // Everything the client sent, in order.
    const std::string& clientLog() const { return m_clientLog; }
    std::string lastHost;
    std::uint16_t lastPort = 0;
    bool tlsActive = false;

    IoResult connect(const std::string& host, std::uint16_t port, WaitContext wait) override;
    IoResult send(std::string_view data, WaitContext wait) override;
    IoResult receive(char* buffer, std::size_t capacity, WaitContext wait) override;
    IoResult startTls(const TlsSettings& settings, WaitContext wait) override;
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    std::string peerAddress() const override { return "192.0.2.1"; }

private:
    enum class Kind { Server, Client, Tls, Close, Silence };
    struct Step {
        Kind kind;
        std::string bytes;
    };
    IoResult scriptError(const std::string& what);

    std::deque<Step> m_steps;
    bool m_open = false;
    int m_connections = 0;
    std::string m_clientLog;
    int m_silentPipe[2] = {-1, -1};
};

} // namespace mv::test
