#pragma once
// TAsyncSocket: one client TCP session (optionally TLS) whose every operation is synchronous for
// its caller but never freezes it: waits are poll() slices with the silence time-out, the cancel
// flag and the pump (see Wait.h). Reads are buffered; a read returns one line or one multi-line
// reply and leaves whatever follows in the buffer for the next read. Errors are reported through
// OnError and raised as the exceptions of NetErrors.h. Owned by its user; runs any number of
// sessions one after another.
#include "net/NetErrors.h"
#include "net/Transport.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace mv {

// What a socket asks of an attached dial-up connection: dial before a session, hang up after.
struct DialHooks {
    std::function<void()> dial;
    std::function<void()> hangUp;
};

// The host and port parts of a Server text: "host", "host:port", "[v6]:port" or a bare IPv6
// address. A port that is not a number from 1 to 65535 counts as none (0).
struct ServerAddress {
    std::string host;
    std::uint16_t port = 0;
};
ServerAddress parseServer(std::string_view server);

class TAsyncSocket {
public:
    // `transport` defaults to a real socket; tests pass a scripted one.
    explicit TAsyncSocket(std::unique_ptr<Transport> transport = nullptr);
    virtual ~TAsyncSocket();
    TAsyncSocket(const TAsyncSocket&) = delete;
    TAsyncSocket& operator=(const TAsyncSocket&) = delete;

    const std::string& server() const { return m_server; }
    void setServer(std::string server) { m_server = std::move(server); }
    std::uint16_t defaultPort() const { return m_defaultPort; }
    void setDefaultPort(std::uint16_t port) { m_defaultPort = port; }
    const std::string& serviceName() const { return m_serviceName; }
    // Seconds of silence before an operation fails; 0 or less fails on the first one-second tick.
    int timeOut() const { return m_timeOut; }
    void setTimeOut(int seconds) { m_timeOut = seconds; }
    TlsMode security() const { return m_security; }
    void setSecurity(TlsMode mode) { m_security = mode; }
    // SHA-256 of a server certificate trusted although no authority vouches for it (hex).
    const std::string& fingerprint() const { return m_fingerprint; }
    void setFingerprint(std::string fingerprint) { m_fingerprint = std::move(fingerprint); }
    // Run between wait slices; the desktop program processes its events here, the command line
    // checks for Ctrl+C and calls Cancel.
    void setPump(std::function<void()> pump) { m_hooks.pump = std::move(pump); }
    void setDialHooks(DialHooks hooks) { m_dial = std::move(hooks); }

    bool Connected() const { return m_transport->isOpen(); }
    const std::string& LastReply() const { return m_lastReply; }
    const std::string& LocalHostName() const { return m_localHostName; }
    const std::string& RemoteIP() const { return m_remoteIp; }
    std::uint16_t RemotePort() const { return m_remotePort; }

    std::function<void(TAsyncSocket&)> OnOpen;
    std::function<void(TAsyncSocket&)> OnClosing;
    std::function<void(TAsyncSocket&)> OnClosed;
    std::function<void(TAsyncSocket&)> OnCancel;
    // Perc is -1 when the size is unknown; Transferred counts the reply's bytes so far.
    std::function<void(TAsyncSocket&, int perc, std::int64_t transferred)> OnProgress;
    // The handler may change the text of a socket error (not of a time-out or cancel).
    std::function<void(TAsyncSocket&, std::string& msg)> OnError;

    // Dials if needed, checks Server and finds the port; ConnectToServer then connects.
    virtual void Open();
    void ConnectToServer();
    void SendLine(std::string_view text);
    // One line without its line end; the result is ReplyCode(line).
    int ReadLine(std::string& line);
    // A reply of numbered lines ("250-a", "250 b"); LastReply holds the last line.
    int ReadReply();
    // A multi-line reply up to and including its CR LF "." CR LF, bytes as sent. `expectedSize`
    // (-1 unknown) drives OnProgress; a reply over `maxSize` bytes fails and ends the session.
    std::string ReceiveToStream(std::int64_t expectedSize, std::size_t maxSize);
    // Negotiates TLS on the open connection (implicit TLS or after STLS/STARTTLS).
    void StartTls();
    virtual int ReplyCode(std::string_view line) const;
    virtual void Close();
    virtual void Cancel();
    virtual void ResetState();

    [[noreturn]] void RaiseSocketError(int code);
    // `endSession` closes the connection first: the byte stream is no longer in step.
    [[noreturn]] void RaiseSocketError(std::string msg, bool endSession);
    [[noreturn]] void RaiseTimedOut();
    [[noreturn]] void RaiseCanceled();

protected:
    void setServiceName(std::string name) { m_serviceName = std::move(name); }
    // The service and fallback port of implicit TLS ("pop3s", 995).
    void setTlsService(std::string name, std::uint16_t port);
    // Sends bytes that already hold their line ends (a pipelined batch of commands).
    void sendRaw(std::string_view bytes);
    const std::string& hostPart() const { return m_host; }
    void setLastReply(std::string line) { m_lastReply = std::move(line); }

    // Marks one public operation as running; a second one started from an event handler or the
    // pump meanwhile is refused instead of interleaving its commands with the first one's.
    class Operation {
    public:
        explicit Operation(TAsyncSocket& socket);
        ~Operation() { m_socket.m_busy = false; }
        Operation(const Operation&) = delete;
        Operation& operator=(const Operation&) = delete;

    private:
        TAsyncSocket& m_socket;
    };

private:
    WaitContext waitContext(TTimeCounter& counter) { return {m_hooks, counter}; }
    // Before a read that may find its reply already received: runs the pump when it is due and
    // raises a cancel that came meanwhile, so neither waits for a read that has to wait.
    void keepLive();
    // Receives more bytes into the input buffer or raises.
    void fillInput(TTimeCounter& counter);
    [[noreturn]] void raiseIo(const IoResult& result);
    std::uint16_t lookUpPort();

    std::unique_ptr<Transport> m_transport;
    std::string m_server;
    std::uint16_t m_defaultPort = 0;
    std::string m_serviceName;
    std::string m_tlsServiceName;
    std::uint16_t m_tlsDefaultPort = 0;
    int m_timeOut = 60;
    TlsMode m_security = TlsMode::None;
    std::string m_fingerprint;
    DialHooks m_dial;

    std::atomic<bool> m_canceled{false};
    WaitHooks m_hooks;
    bool m_busy = false;

    std::string m_host;
    std::string m_localHostName;
    std::string m_remoteIp;
    std::uint16_t m_remotePort = 0;
    std::string m_lastReply;

    std::string m_input; // received bytes not yet returned, from m_inputStart
    std::size_t m_inputStart = 0;
};

} // namespace mv
