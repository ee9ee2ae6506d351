#include "support/Dnsmasq.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <spawn.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace mv::test {

namespace {

namespace fs = std::filesystem;

sockaddr_storage loopback(int family, std::uint16_t port, socklen_t& length) {
    sockaddr_storage address{};
    if (family == AF_INET) {
        auto* v4 = reinterpret_cast<sockaddr_in*>(&address);
        v4->sin_family = AF_INET;
        v4->sin_port = htons(port);
        v4->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        length = sizeof(sockaddr_in);
    } else {
        auto* v6 = reinterpret_cast<sockaddr_in6*>(&address);
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(port);
        v6->sin6_addr = in6addr_loopback;
        length = sizeof(sockaddr_in6);
    }
    return address;
}

// Binds a UDP socket to the loopback address at `port` (0: any free one). Returns the port bound,
// 0 when the bind failed; `busy` tells whether it failed because someone holds the port.
std::uint16_t bindUdp(int family, std::uint16_t port, bool* busy = nullptr) {
    int fd = ::socket(family, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return 0;
    socklen_t length = 0;
    sockaddr_storage address = loopback(family, port, length);
    std::uint16_t bound = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        bound = ntohs(family == AF_INET ? reinterpret_cast<sockaddr_in*>(&address)->sin_port
                                        : reinterpret_cast<sockaddr_in6*>(&address)->sin6_port);
    } else if (busy != nullptr) {
        *busy = errno == EADDRINUSE;
    }
    ::close(fd);
    return bound;
}

bool listening(int family, std::uint16_t port) {
    bool busy = false;
    return bindUdp(family, port, &busy) == 0 && busy;
}

std::string fileText(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

fs::path DnsmasqServer::program() {
    std::vector<fs::path> places{"/usr/sbin", "/sbin"};
    if (const char* path = std::getenv("PATH")) {
        std::stringstream dirs(path);
        for (std::string dir; std::getline(dirs, dir, ':');)
            places.emplace_back(dir);
    }
    for (const fs::path& dir : places) {
        if (::access((dir / "dnsmasq").c_str(), X_OK) == 0) return dir / "dnsmasq";
    }
    return {};
}

DnsmasqServer::DnsmasqServer(const std::vector<std::string>& records) {
    if (program().empty()) {
        m_error = "dnsmasq is not installed (Debian package dnsmasq-base)";
        return;
    }
    std::string tmpl = (fs::temp_directory_path() / "mv-dnsmasq-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr) {
        m_error = "cannot create a temporary folder";
        return;
    }
    m_dir = tmpl;
    m_ipv6 = bindUdp(AF_INET6, 0) != 0;
    // A port found free can be taken by someone else before dnsmasq binds it: try a few.
    for (int attempt = 0; attempt < 3 && !tryStart(records); ++attempt) {
    }
}

DnsmasqServer::~DnsmasqServer() {
    stop();
    if (!m_dir.empty()) {
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }
}

bool DnsmasqServer::tryStart(const std::vector<std::string>& records) {
    m_port = bindUdp(AF_INET, 0);
    fs::path config = m_dir / "dnsmasq.conf";
    {
        std::ofstream out(config);
        out << "port=" << m_port << "\n"
            << "listen-address=127.0.0.1" << (m_ipv6 ? ",::1" : "") << "\n"
            << "bind-interfaces\n"
            << "no-resolv\nno-hosts\nlocal=/#/\n"; // only our records; RCODE 3 for the rest
        for (const std::string& line : records)
            out << line << "\n";
    }
    std::string configArg = config.string();
    std::string logPath = (m_dir / "dnsmasq.log").string();
    std::string exe = program().string();
    std::vector<char*> argv{exe.data(),
                            const_cast<char*>("-C"),
                            configArg.data(),
                            const_cast<char*>("-k"),
                            const_cast<char*>("--pid-file="),
                            const_cast<char*>("--log-facility=-"),
                            nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, logPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int rc = posix_spawn(&m_pid, exe.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        m_pid = -1;
        m_error = "cannot start dnsmasq";
        return false;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            m_error = "dnsmasq stopped at once: " + fileText(logPath);
            return false;
        }
        if (listening(AF_INET, m_port) && (!m_ipv6 || listening(AF_INET6, m_port))) {
            m_error.clear();
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    m_error = "dnsmasq did not listen within 5 seconds: " + fileText(logPath);
    stop();
    return false;
}

void DnsmasqServer::stop() {
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGTERM);
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_pid = -1;
}

} // namespace mv::test
