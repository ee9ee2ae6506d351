#include "app/DemoMailbox.h"

#include "base/Files.h"
#include "base/Text.h"

#include <algorithm>
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace mv {

namespace {

std::string crlfText(std::string_view text) {
    std::string out;
    for (const auto& line : splitLines(text))
        out += line + "\r\n";
    return out;
}

// A multi-line POP3 answer body: lines starting with a dot get another one, then the "." line.
std::string dotStuffed(std::string_view text) {
    std::string out;
    for (const auto& line : splitLines(text))
        out += (line.starts_with('.') ? "." : "") + line + "\r\n";
    return out + ".\r\n";
}

// The header block, the blank line and the first `bodyLines` lines of the body.
std::string topOf(const std::string& message, long long bodyLines) {
    std::size_t end = message.find("\r\n\r\n");
    if (end == std::string::npos) return message;
    std::size_t pos = end + 4;
    for (long long n = 0; n < bodyLines && pos < message.size(); ++n) {
        std::size_t next = message.find("\r\n", pos);
        pos = next == std::string::npos ? message.size() : next + 2;
    }
    return message.substr(0, pos);
}

bool sendAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
        if (n <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace

DemoMailbox::DemoMailbox(std::vector<std::string> messages) {
    for (auto& m : messages)
        m_messages.push_back(crlfText(m));
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr*>(&addr), len) != 0 ||
        ::listen(m_listener, 4) != 0 ||
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&addr), &len) != 0 ||
        ::pipe2(m_wake, O_CLOEXEC) != 0) {
        if (m_listener >= 0) ::close(m_listener);
        throw std::runtime_error("Unable to open the demo mailbox on the loopback interface");
    }
    m_port = ntohs(addr.sin_port);
    m_thread = std::thread([this] { serve(); });
}

DemoMailbox::~DemoMailbox() {
    (void)!::write(m_wake[1], "x", 1);
    m_thread.join();
    ::close(m_listener);
    ::close(m_wake[0]);
    ::close(m_wake[1]);
}

std::size_t DemoMailbox::messageCount() const {
    std::lock_guard lock(m_mutex);
    return m_messages.size();
}

std::vector<std::string> DemoMailbox::loadMessages(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".eml") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::vector<std::string> messages;
    for (const auto& file : files)
        messages.push_back(crlfText(readFile(file).value_or("")));
    return messages;
}

std::filesystem::path DemoMailbox::assetsFolder() {
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe");
    return exe.parent_path().parent_path() / "share" / "mailvane" / "demo";
}

void DemoMailbox::serve() {
    for (;;) {
        pollfd fds[2] = {{m_listener, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) continue;
        if (fds[1].revents) return;
        int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        session(fd);
        ::close(fd);
    }
}

void DemoMailbox::session(int fd) {
    std::vector<bool> deleted(messageCount(), false);
    bool authorized = false, quit = false;
    std::string buffer;
    if (!sendAll(fd, "+OK Mailvane demo mailbox ready\r\n")) return;
    while (!quit) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) continue;
        if (fds[1].revents) return;
        char chunk[4096];
        ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0) return; // a dropped session deletes nothing
        buffer.append(chunk, static_cast<std::size_t>(n));
        std::size_t eol;
        while (!quit && (eol = buffer.find('\n')) != std::string::npos) {
            std::string line = trim(buffer.substr(0, eol));
            buffer.erase(0, eol + 1);
            if (!sendAll(fd, reply(line, deleted, authorized, quit))) return;
        }
    }
}

bool DemoMailbox::valid(const std::string& arg, const std::vector<bool>& deleted,
                        std::size_t& index) const {
    auto n = parseInteger(arg);
    if (!n || *n < 1 || static_cast<std::size_t>(*n) > deleted.size()) return false;
    index = static_cast<std::size_t>(*n - 1);
    return !deleted[index];
}

std::string DemoMailbox::reply(const std::string& line, std::vector<bool>& deleted,
                               bool& authorized, bool& quit) {
    std::size_t blank = line.find(' ');
    std::string command = upperAscii(line.substr(0, blank));
    std::string args = blank == std::string::npos ? "" : trim(line.substr(blank + 1));
    std::string arg1 = args.substr(0, args.find(' '));
    std::string arg2 = args.find(' ') == std::string::npos ? "" : trim(args.substr(args.find(' ')));

    if (command == "QUIT") {
        quit = true;
        std::lock_guard lock(m_mutex);
        for (std::size_t i = deleted.size(); i-- > 0;)
            if (deleted[i]) m_messages.erase(m_messages.begin() + static_cast<long>(i));
        return "+OK bye\r\n";
    }
    if (command == "CAPA") return "+OK\r\nUSER\r\nTOP\r\nUIDL\r\n.\r\n";
    if (command == "USER") return "+OK\r\n";
    if (command == "PASS") {
        authorized = args == kPassword;
        return authorized ? "+OK logged in\r\n" : "-ERR wrong password\r\n";
    }
    if (!authorized) return "-ERR log in first\r\n";

    std::lock_guard lock(m_mutex);
    std::size_t i = 0;
    if (command == "STAT") {
        std::size_t count = 0, octets = 0;
        for (std::size_t k = 0; k < deleted.size(); ++k)
            if (!deleted[k]) ++count, octets += m_messages[k].size();
        return "+OK " + std::to_string(count) + " " + std::to_string(octets) + "\r\n";
    }
    if (command == "NOOP" || command == "RSET") {
        if (command == "RSET") std::fill(deleted.begin(), deleted.end(), false);
        return "+OK\r\n";
    }
    if (command == "LIST" && args.empty()) {
        std::string out = "+OK\r\n";
        for (std::size_t k = 0; k < deleted.size(); ++k)
            if (!deleted[k])
                out += std::to_string(k + 1) + " " + std::to_string(m_messages[k].size()) + "\r\n";
        return out + ".\r\n";
    }
    if (!valid(arg1, deleted, i)) return "-ERR no such message\r\n";
    const std::string& message = m_messages[i];
    if (command == "LIST") return "+OK " + arg1 + " " + std::to_string(message.size()) + "\r\n";
    if (command == "UIDL") return "+OK " + arg1 + " demo-" + std::to_string(i + 1) + "\r\n";
    if (command == "TOP") return "+OK\r\n" + dotStuffed(topOf(message, parseIntegerOr(arg2, 0)));
    if (command == "RETR")
        return "+OK " + std::to_string(message.size()) + " octets\r\n" + dotStuffed(message);
    if (command == "DELE") {
        deleted[i] = true;
        return "+OK deleted\r\n";
    }
    return "-ERR unknown command\r\n";
}

} // namespace mv
