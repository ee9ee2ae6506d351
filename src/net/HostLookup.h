#pragma once
// Host name look-up that keeps the caller's wait live: getaddrinfo runs on a short-lived thread
// and the caller polls a pipe it signals, so Cancel, the time-out and the pump work as in every
// other wait. Numeric addresses are converted at once without a thread.
#include "net/Transport.h"

#include <sys/socket.h>
#include <vector>

namespace mv {

struct SocketAddress {
    sockaddr_storage address{};
    socklen_t length = 0;
};

struct HostLookupResult {
    IoStatus status = IoStatus::Ok;
    std::vector<SocketAddress> addresses; // IPv4 and IPv6, in getaddrinfo's order
    std::string message;                  // with Failed
};

HostLookupResult lookUpHost(const std::string& host, std::uint16_t port, WaitContext wait);

// The numeric text of an address ("192.0.2.1", "::1").
std::string numericAddress(const sockaddr* address, socklen_t length);

} // namespace mv
