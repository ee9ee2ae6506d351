#pragma once
// A real name server for tests: dnsmasq started from a configuration in a temporary folder, on a
// free loopback port (127.0.0.1, and ::1 when the host has it), serving only the records it is
// given and answering every other name with RCODE 3. Lives as long as the test that starts it;
// the destructor stops it by pid and removes the folder.
#include <cstdint>
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace mv::test {

class DnsmasqServer {
public:
    // The dnsmasq program, or empty when the package (dnsmasq-base) is not installed.
    static std::filesystem::path program();

    // `records`: dnsmasq configuration lines such as "mx-host=example.test,mx.example.test,10".
    // Check started() before use; error() says why it did not start.
    explicit DnsmasqServer(const std::vector<std::string>& records);
    ~DnsmasqServer();
    DnsmasqServer(const DnsmasqServer&) = delete;
    DnsmasqServer& operator=(const DnsmasqServer&) = delete;

    bool started() const { return m_pid > 0; }
    const std::string& error() const { return m_error; }
    std::uint16_t port() const { return m_port; }
    bool hasIpv6() const { return m_ipv6; }

private:
    bool tryStart(const std::vector<std::string>& records);
    void stop();

    std::filesystem::path m_dir;
    pid_t m_pid = -1;
    std::uint16_t m_port = 0;
    bool m_ipv6 = false;
    std::string m_error;
};

} // namespace mv::test
