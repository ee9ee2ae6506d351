#pragma once
// A loopback TCP server that misbehaves on purpose: each accepted connection runs the test's
// session function on a thread of its own (long lines, no terminator, slow drip, abrupt close,
// silence). Lives for one test; the destructor stops the listener and joins the thread.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

namespace mv::test {

// The server's side of one connection.
class HostilePeer {
public:
    explicit HostilePeer(int fd) : m_fd(fd) {}
    void send(const std::string& bytes);
    // Sends one byte at a time with a pause between them.
    void drip(const std::string& bytes, int pauseMs);
    // One command line without CR LF; empty when the client went away.
    std::string readLine();
    // Says nothing until the client closes or the server stops.
    void silence(const std::atomic<bool>& stop);
    // Ends the connection with a reset instead of an orderly close.
    void reset();
    bool wasReset() const { return m_reset; }

private:
    int m_fd;
    bool m_reset = false;
};

class HostileServer {
public:
    using Session = std::function<void(HostilePeer& peer, const std::atomic<bool>& stop)>;
    explicit HostileServer(Session session);
    ~HostileServer();
    HostileServer(const HostileServer&) = delete;
    HostileServer& operator=(const HostileServer&) = delete;

    std::string address() const { return "127.0.0.1:" + std::to_string(m_port); }

private:
    void serve();

    Session m_session;
    int m_listener = -1;
    std::uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace mv::test
