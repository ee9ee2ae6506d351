#pragma once
// A loopback UDP port that receives and never answers: a name server that drops every query.
// Lives as long as its owner; the socket closes with it.
#include <cstdint>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace mv::test {

class SilentUdpPort {
public:
    SilentUdpPort() : m_fd(::socket(AF_INET, SOCK_DGRAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            throw std::runtime_error("no loopback UDP port");
        m_port = ntohs(address.sin_port);
    }
    ~SilentUdpPort() { ::close(m_fd); }
    SilentUdpPort(const SilentUdpPort&) = delete;
    SilentUdpPort& operator=(const SilentUdpPort&) = delete;

    std::uint16_t port() const { return m_port; }
    // Whether a datagram has arrived that was not yet taken.
    bool received() const {
        char byte;
        return ::recv(m_fd, &byte, 1, MSG_DONTWAIT | MSG_PEEK) >= 0;
    }

private:
    int m_fd;
    std::uint16_t m_port = 0;
};

} // namespace mv::test
