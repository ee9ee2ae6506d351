#include "support/HostileServer.h"

#include <chrono>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace mv::test {

long HostilePeer::readSome(char* buffer, std::size_t capacity) {
    if (m_tls == nullptr) return ::recv(m_fd, buffer, capacity, 0);
    return SSL_read(m_tls, buffer, static_cast<int>(capacity));
}

long HostilePeer::writeSome(const char* data, std::size_t length) {
    if (m_tls == nullptr) return ::send(m_fd, data, length, MSG_NOSIGNAL);
    return SSL_write(m_tls, data, static_cast<int>(length));
}

void HostilePeer::send(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        long n = writeSome(bytes.data() + done, bytes.size() - done);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

void HostilePeer::drip(const std::string& bytes, int pauseMs) {
    for (char c : bytes) {
        send(std::string(1, c));
        std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
    }
}

std::string HostilePeer::readLine() {
    std::string line;
    char c = 0;
    while (readSome(&c, 1) == 1) {
        if (c == '\n') break;
        if (c != '\r') line += c;
    }
    return line;
}

std::string HostilePeer::readThrough(const std::string& end) {
    std::string bytes;
    char buffer[16384];
    while (!bytes.ends_with(end)) {
        long n = readSome(buffer, sizeof buffer);
        if (n <= 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

void HostilePeer::silence(const std::atomic<bool>& stop) {
    char sink[256];
    while (!stop) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, 20) > 0 && ::recv(m_fd, sink, sizeof sink, 0) <= 0) return;
    }
}

void HostilePeer::reset() {
    linger l{1, 0}; // close with RST
    ::setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    m_reset = true;
}

HostileServer::HostileServer(Session session, HostileOptions options)
    : m_session(std::move(session)) {
    if (options.tls) makeCertificate();
    listen(options);
    m_thread = std::thread([this] { serve(); });
}

HostileServer::~HostileServer() {
    m_stop = true;
    m_thread.join();
    ::close(m_listener);
    SSL_CTX_free(m_tls);
}

void HostileServer::listen(const HostileOptions& options) {
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (options.narrowPipe) {
        // Set before listening: accepted sockets inherit them, and the segment size is
        // announced in the handshake, which also keeps the client's send buffer small.
        int smallest = 1;
        int segment = 536;
        ::setsockopt(m_listener, SOL_SOCKET, SO_RCVBUF, &smallest, sizeof smallest);
        ::setsockopt(m_listener, SOL_SOCKET, SO_SNDBUF, &smallest, sizeof smallest);
        ::setsockopt(m_listener, IPPROTO_TCP, TCP_MAXSEG, &segment, sizeof segment);
    }
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    if (::bind(m_listener, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::listen(m_listener, 4) != 0 ||
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&a), &length) != 0)
        throw std::runtime_error("hostile server cannot listen");
    m_port = ntohs(a.sin_port);
}

void HostileServer::makeCertificate() {
    EVP_PKEY* key = EVP_EC_gen("P-256");
    X509* certificate = X509_new();
    ASN1_INTEGER_set(X509_get_serialNumber(certificate), 1);
    X509_gmtime_adj(X509_getm_notBefore(certificate), 0);
    X509_gmtime_adj(X509_getm_notAfter(certificate), 24 * 3600);
    X509_set_pubkey(certificate, key);
    X509_NAME* name = X509_get_subject_name(certificate);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("hostile.test"), -1, -1, 0);
    X509_set_issuer_name(certificate, name);
    m_tls = SSL_CTX_new(TLS_server_method());
    if (key == nullptr || X509_sign(certificate, key, EVP_sha256()) == 0 || m_tls == nullptr ||
        SSL_CTX_use_certificate(m_tls, certificate) != 1 ||
        SSL_CTX_use_PrivateKey(m_tls, key) != 1)
        throw std::runtime_error("hostile server cannot make its certificate");
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digestLength = 0;
    X509_digest(certificate, EVP_sha256(), digest, &digestLength);
    for (unsigned int i = 0; i < digestLength; ++i) {
        static constexpr char kHex[] = "0123456789ABCDEF";
        if (i > 0) m_fingerprint += ':';
        m_fingerprint += kHex[digest[i] >> 4];
        m_fingerprint += kHex[digest[i] & 15];
    }
    X509_free(certificate);
    EVP_PKEY_free(key);
}

void HostileServer::serve() {
    while (!m_stop) {
        pollfd p{m_listener, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0) continue;
        int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) serveConnection(fd);
    }
}

void HostileServer::serveConnection(int fd) {
    SSL* tls = nullptr;
    if (m_tls != nullptr) {
        tls = SSL_new(m_tls);
        SSL_set_fd(tls, fd);
    }
    if (m_tls == nullptr || (tls != nullptr && SSL_accept(tls) == 1)) {
        HostilePeer peer(fd, tls);
        m_session(peer, m_stop);
        if (!peer.wasReset()) {
            if (tls != nullptr) SSL_shutdown(tls);
            ::shutdown(fd, SHUT_WR);
        }
    }
    SSL_free(tls);
    ::close(fd);
}

} // namespace mv::test
