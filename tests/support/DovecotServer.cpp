#include "support/DovecotServer.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <netinet/in.h>
#include <pwd.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace mv::test {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDovecot = "/usr/sbin/dovecot";

std::string run(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) throw std::runtime_error("cannot run " + command);
    std::array<char, 512> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr)
        out += buffer.data();
    if (::pclose(pipe) != 0) throw std::runtime_error("failed: " + command + "\n" + out);
    return out;
}

bool accepts(std::uint16_t port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

std::string userName(uid_t uid) {
    passwd* p = ::getpwuid(uid);
    return p != nullptr ? p->pw_name : std::to_string(uid);
}

} // namespace

std::uint16_t freeLoopbackPort() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t length = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length);
    ::close(fd);
    return ntohs(a.sin_port);
}

std::string DovecotServer::unavailableReason() {
    if (!fs::exists(kDovecot))
        return "dovecot is not installed (Debian package dovecot-pop3d); real-server tests skipped";
    if (std::system("command -v openssl >/dev/null 2>&1") != 0)
        return "openssl is not installed; real-server tests skipped";
    return {};
}

DovecotServer::DovecotServer(const std::string& certificateNames) {
    std::string pattern = (fs::temp_directory_path() / "mv-dovecot-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    m_dir = pattern;
    fs::permissions(m_dir, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    for (const char* sub : {"run", "state", "home", "mail/cur", "mail/new", "mail/tmp"})
        fs::create_directories(m_dir / sub);
    m_certificate = m_dir / "cert.pem";
    run("openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=localhost"
        " -addext subjectAltName=" +
        certificateNames + " -keyout '" + (m_dir / "key.pem").string() + "' -out '" +
        m_certificate.string() + "' 2>&1");
    // The ports are found free and released before Dovecot binds them: under parallel tests another
    // process can take one in between, and Dovecot then stops at once. Try again on other ports.
    std::string failure;
    for (int attempt = 0; attempt < 5; ++attempt) {
        m_pop3Port = freeLoopbackPort();
        m_pop3sPort = freeLoopbackPort();
        writeConfiguration();
        failure = start();
        if (failure.empty()) return;
    }
    std::error_code ignored;
    fs::remove_all(m_dir, ignored);
    throw std::runtime_error("dovecot did not start:\n" + failure);
}

DovecotServer::~DovecotServer() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
    }
    std::error_code ignored;
    fs::remove_all(m_dir, ignored);
}

void DovecotServer::writeConfiguration() {
    std::ofstream(m_dir / "passwd") << kUser << ":{PLAIN}" << kPassword << "\n";
    // As root the mail belongs to nobody; as a plain user every service runs as that user and
    // the login processes cannot chroot.
    bool root = ::geteuid() == 0;
    std::string mailUser = root ? "nobody" : userName(::geteuid());
    std::string mailGroup = root ? "nogroup" : std::to_string(::getegid());
    if (root)
        run("chown -R nobody:nogroup '" + (m_dir / "mail").string() + "' '" +
            (m_dir / "home").string() + "'");
    std::string d = m_dir.string();
    std::ofstream conf(m_dir / "dovecot.conf");
    conf << "base_dir = " << d << "/run\n"
         << "state_dir = " << d << "/state\n"
         << "instance_name = mv-test-" << ::getpid() << "-" << m_pop3Port << "\n"
         << "log_path = " << d << "/dovecot.log\n"
         << "protocols = pop3\n"
         << "listen = 127.0.0.1\n"
         << "disable_plaintext_auth = no\n"
         << "auth_failure_delay = 0\n"
         << "ssl = yes\n"
         << "ssl_cert = <" << m_certificate.string() << "\n"
         << "ssl_key = <" << d << "/key.pem\n"
         << "mail_location = maildir:" << d
         << "/mail\n"
         // only this fixture writes the maildir: the server need not rescan it or sync to disk
         << "maildir_very_dirty_syncs = yes\nmail_fsync = never\n"
         << "passdb {\n  driver = passwd-file\n  args = " << d << "/passwd\n}\n"
         << "userdb {\n  driver = static\n  args = uid=" << mailUser << " gid=" << mailGroup
         << " home=" << d << "/home\n}\n"
         << "service pop3-login {\n"
         // one long-lived login process instead of one started per connection
         << "  service_count = 0\n  process_min_avail = 1\n"
         << "  inet_listener pop3 {\n    port = " << m_pop3Port << "\n  }\n"
         << "  inet_listener pop3s {\n    port = " << m_pop3sPort << "\n    ssl = yes\n  }\n";
    if (!root) conf << "  chroot =\n";
    conf << "}\n";
    // Loopback tests fail logins on purpose; the growing penalty would slow every later one.
    conf << "service anvil {\n  unix_listener anvil-auth-penalty {\n    mode = 0\n  }\n";
    if (!root) conf << "  chroot =\n";
    conf << "}\n";
    if (!root) {
        std::string me = userName(::geteuid());
        conf << "default_login_user = " << me << "\ndefault_internal_user = " << me << "\n";
    }
}

std::string DovecotServer::start() {
    std::string conf = (m_dir / "dovecot.conf").string();
    m_pid = ::fork();
    if (m_pid == 0) {
        ::execl(kDovecot, kDovecot, "-F", "-c", conf.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (m_pid < 0) throw std::runtime_error("fork failed");
    return waitUntilListening();
}

std::string DovecotServer::waitUntilListening() {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!(accepts(m_pop3Port) && accepts(m_pop3sPort))) {
        int status = 0;
        bool exited = ::waitpid(m_pid, &status, WNOHANG) == m_pid;
        if (exited || std::chrono::steady_clock::now() > deadline) {
            if (!exited) {
                ::kill(m_pid, SIGTERM);
                ::waitpid(m_pid, &status, 0);
            }
            m_pid = -1;
            return log();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return {};
}

fs::path DovecotServer::deliver(const std::string& message) {
    int n = ++m_delivered;
    // The sizes in the name (stored and with CR LF line ends, equal for CR LF text) spare the
    // server reading every file to answer STAT and LIST.
    std::string size = std::to_string(message.size());
    fs::path file = m_dir / "mail/new" /
                    (std::to_string(1700000000 + n) + ".M" + std::to_string(n) + "P" +
                     std::to_string(::getpid()) + ".mvtest,S=" + size + ",W=" + size);
    std::ofstream(file, std::ios::binary) << message;
    if (::geteuid() == 0) {
        passwd* nobody = ::getpwnam("nobody");
        if (nobody != nullptr && ::chown(file.c_str(), nobody->pw_uid, nobody->pw_gid) != 0)
            throw std::runtime_error("chown failed");
    }
    return file;
}

std::size_t DovecotServer::messagesOnDisk() const {
    std::size_t n = 0;
    for (const char* sub : {"mail/cur", "mail/new"})
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(m_dir / sub))
            ++n;
    return n;
}

void DovecotServer::removeOnDisk(const fs::path& file) {
    // Dovecot moves delivered mail from new/ to cur/ and appends flags to the name.
    std::string stem = file.filename().string();
    for (const char* sub : {"mail/cur", "mail/new"})
        for (const auto& e : fs::directory_iterator(m_dir / sub))
            if (e.path().filename().string().starts_with(stem)) fs::remove(e.path());
}

std::string DovecotServer::certificateFingerprint() const {
    std::string out =
        run("openssl x509 -noout -fingerprint -sha256 -in '" + m_certificate.string() + "'");
    return out.substr(out.find('=') + 1, 95);
}

std::string DovecotServer::log() const {
    std::ifstream in(m_dir / "dovecot.log");
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

} // namespace mv::test
