#pragma once
// One TLS client session over a connected non-blocking socket (OpenSSL). It only makes attempts;
// the owner waits on the socket when an attempt wants to read or write. The server is checked
// against the system trust store (OpenSSL's default paths, so SSL_CERT_FILE and SSL_CERT_DIR
// apply) and the host name, or accepted by a trusted SHA-256 fingerprint. Lives from the
// handshake to the close of its connection.
#include "net/Transport.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

using SSL = struct ssl_st;
using SSL_CTX = struct ssl_ctx_st;

namespace mv {

enum class TlsStep { Done, WantRead, WantWrite, Closed, Failed };

struct TlsAttempt {
    TlsStep step = TlsStep::Done;
    std::size_t count = 0;
};

class TlsSession {
public:
    // Throws ESocketError when OpenSSL cannot set the session up.
    TlsSession(int fd, const TlsSettings& settings);
    ~TlsSession();
    TlsSession(const TlsSession&) = delete;
    TlsSession& operator=(const TlsSession&) = delete;

    TlsAttempt handshake();
    TlsAttempt read(char* buffer, std::size_t capacity);
    TlsAttempt write(std::string_view data);
    // After a Failed step: what went wrong.
    const std::string& failure() const { return m_failure; }
    // After a Done handshake: empty when the server is trusted, else why not.
    std::string verifyServer() const;

private:
    TlsAttempt classify(int result);

    SSL_CTX* m_ctx = nullptr;
    SSL* m_ssl = nullptr;
    TlsSettings m_settings;
    std::string m_failure;
};

} // namespace mv
