#include "DelayProxy.h"

#include <chrono>
#include <csignal>
#include <deque>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace mv::bench {

namespace {

using Clock = std::chrono::steady_clock;

struct Chunk {
    Clock::time_point due;
    std::string bytes;
};

int loopbackSocket() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return fd;
}

sockaddr_in loopback(std::uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

void writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

// Forwards one connection until either side closes.
void relay(int client, int server, std::chrono::milliseconds delay) {
    int fds[2] = {client, server};
    std::deque<Chunk> queues[2]; // queues[i]: read from fds[i], due for the other side
    bool open = true;
    while (open || !queues[0].empty() || !queues[1].empty()) {
        auto now = Clock::now();
        int timeout = 1000;
        for (auto& q : queues)
            if (!q.empty())
                timeout = std::min<int>(
                    timeout, static_cast<int>(std::max<long>(
                                 0, std::chrono::duration_cast<std::chrono::milliseconds>(
                                        q.front().due - now)
                                        .count())));
        pollfd p[2] = {{client, static_cast<short>(open ? POLLIN : 0), 0},
                       {server, static_cast<short>(open ? POLLIN : 0), 0}};
        ::poll(p, 2, timeout);
        for (int i = 0; i < 2 && open; ++i) {
            if (!(p[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            char buffer[65536];
            ssize_t n = ::recv(fds[i], buffer, sizeof buffer, 0);
            if (n <= 0)
                open = false;
            else
                queues[i].push_back({Clock::now() + delay, std::string(buffer, n)});
        }
        now = Clock::now();
        for (int i = 0; i < 2; ++i)
            while (!queues[i].empty() && queues[i].front().due <= now) {
                writeAll(fds[1 - i], queues[i].front().bytes);
                queues[i].pop_front();
            }
    }
}

} // namespace

DelayProxy::DelayProxy(std::uint16_t targetPort, int oneWayMs) {
    int listener = loopbackSocket();
    sockaddr_in a = loopback(0);
    socklen_t length = sizeof a;
    if (::bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::listen(listener, 8) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&a), &length) != 0)
        throw std::runtime_error("proxy cannot listen");
    m_port = ntohs(a.sin_port);
    m_pid = ::fork();
    if (m_pid != 0) {
        ::close(listener);
        return;
    }
    for (;;) { // child: one connection at a time, as the client makes them
        int client = ::accept(listener, nullptr, nullptr);
        if (client < 0) continue;
        int server = loopbackSocket();
        sockaddr_in target = loopback(targetPort);
        if (::connect(server, reinterpret_cast<sockaddr*>(&target), sizeof target) == 0)
            relay(client, server, std::chrono::milliseconds(oneWayMs));
        ::close(server);
        ::close(client);
    }
}

DelayProxy::~DelayProxy() {
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGTERM);
    int status = 0;
    ::waitpid(m_pid, &status, 0);
}

} // namespace mv::bench
