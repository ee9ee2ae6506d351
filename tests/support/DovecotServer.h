#pragma once
// A real Dovecot POP3 server for one test: its own configuration, certificate (made by openssl
// for the run), passwd-file user and maildir in a temporary folder, listening on loopback with
// plain POP3 (STLS offered) and implicit TLS. Started by the constructor, stopped by pid in the
// destructor; the folder goes with it.
#include <cstdint>
#include <filesystem>
#include <string>
#include <sys/types.h>

namespace mv::test {

class DovecotServer {
public:
    // Empty when the server can run here, else why not (for GTEST_SKIP).
    static std::string unavailableReason();

    // `certificateNames`: the subjectAltName of the server's certificate.
    explicit DovecotServer(const std::string& certificateNames = "DNS:localhost,IP:127.0.0.1");
    ~DovecotServer();
    DovecotServer(const DovecotServer&) = delete;
    DovecotServer& operator=(const DovecotServer&) = delete;

    std::uint16_t pop3Port() const { return m_pop3Port; }
    std::uint16_t pop3sPort() const { return m_pop3sPort; }
    std::string plainServer() const { return "127.0.0.1:" + std::to_string(m_pop3Port); }
    std::string tlsServer() const { return "127.0.0.1:" + std::to_string(m_pop3sPort); }
    static constexpr const char* kUser = "bob";
    static constexpr const char* kPassword = "secret";

    // Delivers a message (CR LF line ends expected) to the maildir; returns its file.
    std::filesystem::path deliver(const std::string& message);
    // Messages on disk, read or unread.
    std::size_t messagesOnDisk() const;
    // Removes a message behind the server's back, as another mail program would.
    void removeOnDisk(const std::filesystem::path& file);
    const std::filesystem::path& certificateFile() const { return m_certificate; }
    std::string certificateFingerprint() const;
    // The server's log so far (logins show as "user=<bob>").
    std::string log() const;

private:
    void writeConfiguration();
    // Both return empty when Dovecot listens, else its log (the process is gone then).
    std::string start();
    std::string waitUntilListening();

    std::filesystem::path m_dir;
    std::filesystem::path m_certificate;
    std::uint16_t m_pop3Port = 0;
    std::uint16_t m_pop3sPort = 0;
    pid_t m_pid = -1;
    int m_delivered = 0;
};

// A loopback TCP port free a moment ago (bound and released): a server started on it must retry
// on another when the bind fails, as parallel tests can take it in between.
std::uint16_t freeLoopbackPort();

} // namespace mv::test
