#pragma once
// The product's transport: a non-blocking TCP socket (IPv4 or IPv6) with optional TLS on top.
// Every wait goes through waitForSocket, so it costs no CPU while idle and stays cancelable.
// Owned by one client; reconnects after close.
#include "net/TlsSession.h"
#include "net/Transport.h"

#include <functional>
#include <memory>

namespace mv {

class SocketTransport : public Transport {
public:
    SocketTransport() = default;
    ~SocketTransport() override { close(); }

    IoResult connect(const std::string& host, std::uint16_t port, WaitContext wait) override;
    IoResult send(std::string_view data, WaitContext wait) override;
    IoResult receive(char* buffer, std::size_t capacity, WaitContext wait) override;
    IoResult exchange(std::string_view& out, char* buffer, std::size_t capacity,
                      WaitContext wait) override;
    IoResult startTls(const TlsSettings& settings, WaitContext wait) override;
    void close() override;
    bool isOpen() const override { return m_fd >= 0; }
    std::string peerAddress() const override { return m_peer; }

private:
    IoResult connectTo(const struct SocketAddress& address, WaitContext wait);
    // Repeats `attempt` until it is Done, waiting on the socket for what it wants.
    IoResult retry(const std::function<TlsAttempt()>& attempt, WaitContext wait);
    TlsAttempt plainRead(char* buffer, std::size_t capacity);
    TlsAttempt plainWrite(std::string_view data);
    // One write of the head of `data`, plain or through TLS.
    TlsAttempt writeSome(std::string_view data);
    TlsAttempt readSome(char* buffer, std::size_t capacity);

    int m_fd = -1;
    std::unique_ptr<TlsSession> m_tls;
    // The length of a TLS write that wanted to wait: it must be repeated as it was.
    std::size_t m_tlsWriteLength = 0;
    std::string m_peer;
};

} // namespace mv
