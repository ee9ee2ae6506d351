#include "net/SocketTransport.h"

#include "net/HostLookup.h"
#include "net/NetErrors.h"

#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace mv {

namespace {

IoResult failed(std::string message) {
    return {IoStatus::Failed, 0, std::move(message)};
}

IoResult fromOutcome(WaitOutcome outcome) {
    return {outcome == WaitOutcome::Canceled ? IoStatus::Canceled : IoStatus::TimedOut, 0, {}};
}

bool wouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

} // namespace

IoResult SocketTransport::connect(const std::string& host, std::uint16_t port, WaitContext wait) {
    close();
    HostLookupResult lookup = lookUpHost(host, port, wait);
    if (lookup.status != IoStatus::Ok) return {lookup.status, 0, lookup.message};
    IoResult last;
    for (const SocketAddress& address : lookup.addresses) {
        last = connectTo(address, wait);
        if (last.status != IoStatus::Failed) return last;
    }
    return last;
}

IoResult SocketTransport::connectTo(const SocketAddress& address, WaitContext wait) {
    const auto* sa = reinterpret_cast<const sockaddr*>(&address.address);
    m_fd = ::socket(sa->sa_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_fd < 0) return failed(errorText(errno));
    int on = 1; // commands are small and each waits for its reply: do not hold them back
    ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    if (::connect(m_fd, sa, address.length) != 0 && errno != EINPROGRESS) {
        IoResult r = failed(errorText(errno));
        close();
        return r;
    }
    WaitOutcome outcome = waitForSocket(m_fd, POLLOUT, wait.hooks, wait.counter);
    if (outcome != WaitOutcome::Ready) {
        close();
        return fromOutcome(outcome);
    }
    int error = 0;
    socklen_t length = sizeof error;
    ::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &length);
    if (error != 0) {
        close();
        return failed(errorText(error));
    }
    m_peer = numericAddress(sa, address.length);
    return {};
}

TlsAttempt SocketTransport::plainRead(char* buffer, std::size_t capacity) {
    ssize_t n = ::recv(m_fd, buffer, capacity, 0);
    if (n > 0) return {TlsStep::Done, static_cast<std::size_t>(n)};
    if (n == 0) return {TlsStep::Closed, 0};
    return {wouldBlock(errno) ? TlsStep::WantRead : TlsStep::Failed, 0};
}

TlsAttempt SocketTransport::plainWrite(std::string_view data) {
    ssize_t n = ::send(m_fd, data.data(), data.size(), MSG_NOSIGNAL);
    if (n >= 0) return {TlsStep::Done, static_cast<std::size_t>(n)};
    return {wouldBlock(errno) ? TlsStep::WantWrite : TlsStep::Failed, 0};
}

IoResult SocketTransport::retry(const std::function<TlsAttempt()>& attempt, WaitContext wait) {
    for (;;) {
        if (m_fd < 0) return failed(errorText(kErrNotConnected));
        errno = 0;
        TlsAttempt a = attempt();
        switch (a.step) {
        case TlsStep::Done:
            return {IoStatus::Ok, a.count, {}};
        case TlsStep::Closed:
            return {IoStatus::Closed, 0, {}};
        case TlsStep::Failed:
            return failed(m_tls ? m_tls->failure() : errorText(errno != 0 ? errno : EIO));
        case TlsStep::WantRead:
        case TlsStep::WantWrite:
            break;
        }
        short events = a.step == TlsStep::WantRead ? POLLIN : POLLOUT;
        WaitOutcome outcome = waitForSocket(m_fd, events, wait.hooks, wait.counter);
        if (outcome != WaitOutcome::Ready) return fromOutcome(outcome);
    }
}

IoResult SocketTransport::send(std::string_view data, WaitContext wait) {
    while (!data.empty()) {
        IoResult r = retry([&] { return m_tls ? m_tls->write(data) : plainWrite(data); }, wait);
        if (r.status == IoStatus::Closed) return failed(errorText(EPIPE));
        if (r.status != IoStatus::Ok) return r;
        data.remove_prefix(r.count);
        wait.counter.restart();
    }
    return {};
}

IoResult SocketTransport::receive(char* buffer, std::size_t capacity, WaitContext wait) {
    return retry(
        [&] { return m_tls ? m_tls->read(buffer, capacity) : plainRead(buffer, capacity); }, wait);
}

IoResult SocketTransport::startTls(const TlsSettings& settings, WaitContext wait) {
    if (m_fd < 0) return failed(errorText(kErrNotConnected));
    m_tls = std::make_unique<TlsSession>(m_fd, settings);
    IoResult r = retry([&] { return m_tls->handshake(); }, wait);
    if (r.status == IoStatus::Closed) return failed(errorText(kErrPeerClosed));
    if (r.status != IoStatus::Ok) return r;
    std::string distrust = m_tls->verifyServer();
    if (!distrust.empty()) return failed(distrust);
    return {};
}

void SocketTransport::close() {
    m_tls.reset();
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

} // namespace mv
