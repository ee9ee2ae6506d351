#include "net/SocketTransport.h"

#include "net/HostLookup.h"
#include "net/NetErrors.h"

#include <algorithm>
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

bool wantsToWait(TlsStep step) {
    return step == TlsStep::WantRead || step == TlsStep::WantWrite;
}

// One TLS record at most per write.
constexpr std::size_t kTlsWriteChunk = 16384;

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

TlsAttempt SocketTransport::writeSome(std::string_view data) {
    if (!m_tls) return plainWrite(data);
    std::size_t length =
        m_tlsWriteLength != 0 ? m_tlsWriteLength : std::min(data.size(), kTlsWriteChunk);
    TlsAttempt a = m_tls->write(data.substr(0, length));
    m_tlsWriteLength = wantsToWait(a.step) ? length : 0;
    return a;
}

TlsAttempt SocketTransport::readSome(char* buffer, std::size_t capacity) {
    return m_tls ? m_tls->read(buffer, capacity) : plainRead(buffer, capacity);
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
        IoResult r = retry([&] { return writeSome(data); }, wait);
        if (r.status == IoStatus::Closed) return failed(errorText(EPIPE));
        if (r.status != IoStatus::Ok) return r;
        data.remove_prefix(r.count);
        wait.counter.restart();
    }
    return {};
}

IoResult SocketTransport::receive(char* buffer, std::size_t capacity, WaitContext wait) {
    return retry([&] { return readSome(buffer, capacity); }, wait);
}

IoResult SocketTransport::exchange(std::string_view& out, char* buffer, std::size_t capacity,
                                   WaitContext wait) {
    for (;;) {
        if (m_fd < 0) return failed(errorText(kErrNotConnected));
        short events = 0;
        bool wrote = false;
        if (!out.empty()) {
            errno = 0;
            TlsAttempt w = writeSome(out);
            if (w.step == TlsStep::Done) {
                out.remove_prefix(w.count);
                wrote = w.count > 0;
                wait.counter.restart();
            } else if (w.step == TlsStep::Closed) {
                return failed(errorText(EPIPE));
            } else if (w.step == TlsStep::Failed) {
                return failed(m_tls ? m_tls->failure() : errorText(errno != 0 ? errno : EIO));
            } else {
                events |= w.step == TlsStep::WantRead ? POLLIN : POLLOUT;
            }
        }
        errno = 0;
        TlsAttempt r = readSome(buffer, capacity);
        if (r.step == TlsStep::Done) return {IoStatus::Ok, r.count, {}};
        if (r.step == TlsStep::Closed) return {IoStatus::Closed, 0, {}};
        if (r.step == TlsStep::Failed)
            return failed(m_tls ? m_tls->failure() : errorText(errno != 0 ? errno : EIO));
        events |= r.step == TlsStep::WantRead ? POLLIN : POLLOUT;
        if (wrote) continue; // more may go out before there is anything to wait for
        WaitOutcome outcome = waitForSocket(m_fd, events, wait.hooks, wait.counter);
        if (outcome != WaitOutcome::Ready) return fromOutcome(outcome);
    }
}

IoResult SocketTransport::startTls(const TlsSettings& settings, WaitContext wait) {
    if (m_fd < 0) return failed(errorText(kErrNotConnected));
    m_tls = std::make_unique<TlsSession>(m_fd, settings);
    m_tlsWriteLength = 0;
    IoResult r = retry([&] { return m_tls->handshake(); }, wait);
    if (r.status == IoStatus::Closed) return failed(errorText(kErrPeerClosed));
    if (r.status != IoStatus::Ok) return r;
    std::string distrust = m_tls->verifyServer();
    if (!distrust.empty()) return failed(distrust);
    return {};
}

void SocketTransport::close() {
    m_tls.reset();
    m_tlsWriteLength = 0;
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

} // namespace mv
