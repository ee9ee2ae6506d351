#pragma once
// A loopback TCP proxy that holds every chunk for a fixed delay in each direction, so a local
// server behaves like one a round trip away (the kernel's netem is not available here). Runs in
// a forked child so its CPU time never counts as the client's; stopped by pid.
#include <cstdint>
#include <sys/types.h>

namespace mv::bench {

class DelayProxy {
public:
    // Listens on a free loopback port and forwards to `targetPort`, each way after `oneWayMs`.
    DelayProxy(std::uint16_t targetPort, int oneWayMs);
    ~DelayProxy();
    DelayProxy(const DelayProxy&) = delete;
    DelayProxy& operator=(const DelayProxy&) = delete;

    std::uint16_t port() const { return m_port; }

private:
    std::uint16_t m_port = 0;
    pid_t m_pid = -1;
};

} // namespace mv::bench
