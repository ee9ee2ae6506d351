#include "support/HostileServer.h"

#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace mv::test {

void HostilePeer::send(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::send(m_fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

void HostilePeer::drip(const std::string& bytes, int pauseMs) {
    for (char c : bytes) {
        send(std::string(1, c));
        std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
    }
}

std::string HostilePeer::readLine() {
    std::string line;
    char c = 0;
    while (::recv(m_fd, &c, 1, 0) == 1) {
        if (c == '\n') break;
        if (c != '\r') line += c;
    }
    return line;
}

void HostilePeer::silence(const std::atomic<bool>& stop) {
    char sink[256];
    while (!stop) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, 20) > 0 && ::recv(m_fd, sink, sizeof sink, 0) <= 0) return;
    }
}

void HostilePeer::reset() {
    linger l{1, 0}; // close with RST
    ::setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    m_reset = true;
}

HostileServer::HostileServer(Session session) : m_session(std::move(session)) {
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    if (::bind(m_listener, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::listen(m_listener, 4) != 0 ||
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&a), &length) != 0)
        throw std::runtime_error("hostile server cannot listen");
    m_port = ntohs(a.sin_port);
    m_thread = std::thread([this] { serve(); });
}

HostileServer::~HostileServer() {
    m_stop = true;
    m_thread.join();
    ::close(m_listener);
}

void HostileServer::serve() {
    while (!m_stop) {
        pollfd p{m_listener, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0) continue;
        int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        HostilePeer peer(fd);
        m_session(peer, m_stop);
        if (!peer.wasReset()) ::shutdown(fd, SHUT_WR);
        ::close(fd);
    }
}

} // namespace mv::test
