#pragma once
// A loopback TCP server that misbehaves on purpose: each accepted connection runs the test's
// session function on a thread of its own (long lines, no terminator, slow drip, abrupt close,
// silence, replies streamed without reading). Lives for one test; the destructor stops the
// listener and joins the thread.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

struct ssl_st;
struct ssl_ctx_st;

namespace mv::test {

// The server's side of one connection, plain or through TLS.
class HostilePeer {
public:
    explicit HostilePeer(int fd, ssl_st* tls = nullptr) : m_fd(fd), m_tls(tls) {}
    // Blocks until every byte is out (or the client is gone).
    void send(const std::string& bytes);
    // Sends one byte at a time with a pause between them.
    void drip(const std::string& bytes, int pauseMs);
    // One command line without CR LF; empty when the client went away.
    std::string readLine();
    // Everything the client sends up to and including `end`, or until it goes away.
    std::string readThrough(const std::string& end);
    // Says nothing until the client closes or the server stops.
    void silence(const std::atomic<bool>& stop);
    // Ends the connection with a reset instead of an orderly close.
    void reset();
    bool wasReset() const { return m_reset; }

private:
    // As recv/send, through TLS when the connection has it.
    long readSome(char* buffer, std::size_t capacity);
    long writeSome(const char* data, std::size_t length);

    int m_fd;
    ssl_st* m_tls;
    bool m_reset = false;
};

struct HostileOptions {
    // TLS from the first byte, with a self-signed certificate made for the server (trusted by
    // its fingerprint).
    bool tls = false;
    // Socket buffers and segments as small as the system allows, so a client that writes
    // without reading stalls after a few kilobytes instead of megabytes.
    bool narrowPipe = false;
};

class HostileServer {
public:
    using Session = std::function<void(HostilePeer& peer, const std::atomic<bool>& stop)>;
    explicit HostileServer(Session session, HostileOptions options = {});
    ~HostileServer();
    HostileServer(const HostileServer&) = delete;
    HostileServer& operator=(const HostileServer&) = delete;

    std::string address() const { return "127.0.0.1:" + std::to_string(m_port); }
    // SHA-256 of the TLS certificate, as the client's fingerprint setting takes it.
    const std::string& fingerprint() const { return m_fingerprint; }

private:
    void listen(const HostileOptions& options);
    void makeCertificate();
    void serve();
    void serveConnection(int fd);

    Session m_session;
    int m_listener = -1;
    std::uint16_t m_port = 0;
    ssl_ctx_st* m_tls = nullptr;
    std::string m_fingerprint;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace mv::test
