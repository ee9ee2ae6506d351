#include "net/TlsSession.h"

#include "net/NetErrors.h"

#include <arpa/inet.h>
#include <cerrno>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <sys/socket.h>

namespace mv {

namespace {

// A socket BIO that sends with MSG_NOSIGNAL: a server closing mid-write must become an error
// reply, not a SIGPIPE that kills the program.
int bioWrite(BIO* bio, const char* data, int length) {
    BIO_clear_retry_flags(bio);
    int fd = static_cast<int>(reinterpret_cast<intptr_t>(BIO_get_data(bio)));
    ssize_t n = ::send(fd, data, static_cast<std::size_t>(length), MSG_NOSIGNAL);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        BIO_set_retry_write(bio);
    return static_cast<int>(n);
}

int bioRead(BIO* bio, char* data, int length) {
    BIO_clear_retry_flags(bio);
    int fd = static_cast<int>(reinterpret_cast<intptr_t>(BIO_get_data(bio)));
    ssize_t n = ::recv(fd, data, static_cast<std::size_t>(length), 0);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        BIO_set_retry_read(bio);
    return static_cast<int>(n);
}

long bioControl(BIO*, int command, long, void*) {
    return command == BIO_CTRL_FLUSH ? 1 : 0;
}

int bioCreate(BIO* bio) {
    BIO_set_init(bio, 1);
    return 1;
}

BIO* newSocketBio(int fd) {
    static BIO_METHOD* method = [] {
        BIO_METHOD* m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "mv-socket");
        BIO_meth_set_write(m, bioWrite);
        BIO_meth_set_read(m, bioRead);
        BIO_meth_set_ctrl(m, bioControl);
        BIO_meth_set_create(m, bioCreate);
        return m;
    }();
    BIO* bio = BIO_new(method);
    if (bio != nullptr) BIO_set_data(bio, reinterpret_cast<void*>(static_cast<intptr_t>(fd)));
    return bio;
}

std::string openSslError() {
    unsigned long e = ERR_get_error();
    ERR_clear_error();
    if (e == 0) return "TLS connection failed";
    char text[256];
    ERR_error_string_n(e, text, sizeof text);
    return std::string("TLS connection failed: ") + text;
}

bool isIpAddress(const std::string& host) {
    unsigned char buffer[16];
    return inet_pton(AF_INET, host.c_str(), buffer) == 1 ||
           inet_pton(AF_INET6, host.c_str(), buffer) == 1;
}

} // namespace

TlsSession::TlsSession(int fd, const TlsSettings& settings) : m_settings(settings) {
    m_ctx = SSL_CTX_new(TLS_client_method());
    if (m_ctx == nullptr) throw ESocketError(openSslError());
    SSL_CTX_set_min_proto_version(m_ctx, TLS1_2_VERSION);
    SSL_CTX_set_default_verify_paths(m_ctx);
    // The chain is checked, but the decision falls after the handshake (verifyServer), where a
    // trusted fingerprint can still accept a self-signed server.
    SSL_CTX_set_verify(m_ctx, SSL_VERIFY_PEER, [](int, X509_STORE_CTX*) { return 1; });
    SSL_CTX_set_options(m_ctx, SSL_OP_IGNORE_UNEXPECTED_EOF);
    // A write that must be repeated may find its bytes moved: the queue they wait in grows.
    SSL_CTX_set_mode(m_ctx, SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    m_ssl = SSL_new(m_ctx);
    BIO* bio = newSocketBio(fd);
    if (m_ssl == nullptr || bio == nullptr) {
        if (bio != nullptr) BIO_free(bio);
        throw ESocketError(openSslError());
    }
    SSL_set_bio(m_ssl, bio, bio);
    SSL_set_connect_state(m_ssl);
    if (isIpAddress(settings.host)) {
        X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(m_ssl), settings.host.c_str());
    } else {
        SSL_set_tlsext_host_name(m_ssl, settings.host.c_str());
        SSL_set1_host(m_ssl, settings.host.c_str());
    }
}

TlsSession::~TlsSession() {
    if (m_ssl != nullptr) {
        SSL_shutdown(m_ssl); // best effort close_notify; the socket closes right after
        SSL_free(m_ssl);
    }
    SSL_CTX_free(m_ctx);
}

TlsAttempt TlsSession::classify(int result) {
    if (result > 0) return {TlsStep::Done, static_cast<std::size_t>(result)};
    switch (SSL_get_error(m_ssl, result)) {
    case SSL_ERROR_WANT_READ:
        return {TlsStep::WantRead, 0};
    case SSL_ERROR_WANT_WRITE:
        return {TlsStep::WantWrite, 0};
    case SSL_ERROR_ZERO_RETURN:
        return {TlsStep::Closed, 0};
    case SSL_ERROR_SYSCALL:
        if (errno == 0) return {TlsStep::Closed, 0};
        m_failure = errorText(errno);
        ERR_clear_error();
        return {TlsStep::Failed, 0};
    default:
        m_failure = openSslError();
        return {TlsStep::Failed, 0};
    }
}

TlsAttempt TlsSession::handshake() {
    errno = 0;
    return classify(SSL_connect(m_ssl));
}

TlsAttempt TlsSession::read(char* buffer, std::size_t capacity) {
    errno = 0;
    return classify(
        SSL_read(m_ssl, buffer, static_cast<int>(std::min<std::size_t>(capacity, 1 << 30))));
}

TlsAttempt TlsSession::write(std::string_view data) {
    errno = 0;
    return classify(SSL_write(m_ssl, data.data(), static_cast<int>(data.size())));
}

std::string TlsSession::verifyServer() const {
    X509* certificate = SSL_get1_peer_certificate(m_ssl);
    if (certificate == nullptr) return "The server sent no certificate";
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    X509_digest(certificate, EVP_sha256(), digest, &length);
    X509_free(certificate);
    std::string hex;
    static const char* digits = "0123456789ABCDEF";
    for (unsigned int i = 0; i < length; ++i) {
        hex += digits[digest[i] >> 4];
        hex += digits[digest[i] & 15];
    }
    std::string fingerprint = *normalizeFingerprint(hex);
    if (normalizeFingerprint(m_settings.fingerprint) == fingerprint) return {};
    long result = SSL_get_verify_result(m_ssl);
    if (result == X509_V_OK) return {};
    return std::string("The server's certificate is not trusted (") +
           X509_verify_cert_error_string(result) + "); SHA-256 fingerprint " + fingerprint;
}

} // namespace mv
