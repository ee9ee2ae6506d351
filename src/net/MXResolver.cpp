#include "net/MXResolver.h"

#include "base/Files.h"
#include "base/Text.h"
#include "net/NetErrors.h"

#include <cerrno>
#include <memory>
#include <netdb.h>
#include <poll.h>
#include <random>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace mv {

namespace {

[[noreturn]] void throwSocketError(int error) {
    throw ESocketError(errorText(error));
}

// Marks the resolver busy for one look-up, so that a second Resolve started from the pump is
// refused instead of clearing the list the first one is filling.
class BusyGuard {
public:
    explicit BusyGuard(bool& busy) : m_busy(busy) { m_busy = true; }
    ~BusyGuard() { m_busy = false; }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    bool& m_busy;
};

// A non-blocking UDP socket connected to the name server: the kernel then drops datagrams from
// any other address, and reports an ICMP "port unreachable" as a receive error at once.
int openSocket(const std::string& address, std::uint16_t port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (::getaddrinfo(address.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) {
        throw ESocketError("Invalid name server address \"" + address + "\"");
    }
    std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> info(found, &::freeaddrinfo);
    int fd = ::socket(info->ai_family, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_UDP);
    if (fd < 0) throwSocketError(errno);
    if (::connect(fd, info->ai_addr, info->ai_addrlen) < 0) {
        int error = errno;
        ::close(fd);
        throwSocketError(error);
    }
    return fd;
}

// A fresh unpredictable ID per query, so that an off-path sender cannot guess it (RFC 5452).
std::uint16_t randomQueryId() {
    std::random_device source;
    return static_cast<std::uint16_t>(source());
}

// Why a datagram is not the answer to our query; empty when it is.
std::string mismatch(const DnsResponse& r, std::uint16_t id, const std::string& name) {
    if (r.id != id) return "IDs in the query and response are different";
    if (!r.spec.qr()) return "This is not a response";
    if (r.qdCount != 1 || !equalsNoCase(r.questionName, name + ".") ||
        r.questionType != kDnsTypeMX || r.questionClass != kDnsClassIN) {
        return "The response does not answer the query";
    }
    return {};
}

std::uint16_t idOf(std::string_view packet) {
    return static_cast<std::uint16_t>((static_cast<std::uint8_t>(packet[0]) << 8) |
                                      static_cast<std::uint8_t>(packet[1]));
}

} // namespace

void TMXResolver::Resolve() {
    if (m_busy) throw EResolverError("A domain look-up is already running");
    BusyGuard guard(m_busy);
    m_mxList.clear();
    m_answerTtl.reset();
    std::string name = queryName(m_domain);
    if (name.empty()) throw EResolverError(rcodeText(kRcodeNameError), kRcodeNameError);

    if (OnSendingQuery) OnSendingQuery();
    int fd = openSocket(m_dnsAddress.empty() ? systemNameServer() : m_dnsAddress, m_port);
    try {
        exchange(fd, name);
    } catch (...) {
        ::close(fd);
        if (OnClosingConnection) OnClosingConnection();
        throw;
    }
    ::close(fd);
    if (OnClosingConnection) OnClosingConnection();
}

// Sends the query and waits for its answer. Datagrams that do not answer it (another ID, not a
// response, another question) are ignored, so a forged or stale one cannot decide the look-up;
// when only such datagrams came, the time-out reports why the last one was ignored.
void TMXResolver::exchange(int fd, const std::string& name) {
    std::uint16_t id = randomQueryId();
    std::string query = buildMXQuery(id, name);
    if (::send(fd, query.data(), query.size(), 0) < 0) throwSocketError(errno);
    if (OnWaitingForResponse) OnWaitingForResponse();

    TTimeCounter counter(m_timeOut);
    std::string ignored;
    std::vector<char> buffer(65536);
    for (;;) {
        WaitOutcome outcome = waitForSocket(fd, POLLIN, m_hooks, counter);
        if (outcome == WaitOutcome::Canceled) throw ECanceledError();
        if (outcome == WaitOutcome::TimedOut) {
            if (!ignored.empty()) throw EResolverError(ignored);
            throw ETimedOutError();
        }
        ssize_t n = ::recv(fd, buffer.data(), buffer.size(), 0);
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) continue;
            throwSocketError(errno);
        }
        std::string_view packet(buffer.data(), static_cast<std::size_t>(n));
        if (packet.size() >= 2 && idOf(packet) != id) {
            ignored = "IDs in the query and response are different";
            continue;
        }
        DnsResponse response = parseResponse(packet);
        ignored = mismatch(response, id, name);
        if (!ignored.empty()) continue;
        m_answerTtl = response.ttl;
        if (int rcode = response.spec.rcode(); rcode != 0) {
            throw EResolverError(rcodeText(rcode), rcode);
        }
        m_mxList = std::move(response.mx);
        sortMXList(m_mxList);
        return;
    }
}

DomainCheck TMXResolver::checkDomain(std::string_view domain) {
    setDomain(std::string(domain));
    try {
        Resolve();
        return {DomainStatus::Exists, {}, lifetime()};
    } catch (const ECanceledError&) {
        throw;
    } catch (const EResolverError& e) {
        bool gone = e.rcode() == kRcodeNameError;
        return {gone ? DomainStatus::DoesNotExist : DomainStatus::NotChecked, e.what(),
                gone ? lifetime() : std::chrono::seconds(0)};
    } catch (const std::exception& e) {
        return {DomainStatus::NotChecked, e.what()};
    }
}

std::chrono::seconds TMXResolver::lifetime() const {
    return std::chrono::seconds(m_answerTtl.value_or(0));
}

std::string TMXResolver::systemNameServer(const std::filesystem::path& resolvConf) {
    std::optional<std::string> text;
    try {
        text = readFile(resolvConf);
    } catch (const FileError&) {
        // unreadable: the same as a file that names no server
    }
    if (text) {
        for (const std::string& line : splitLines(*text)) {
            std::istringstream words(line);
            std::string keyword, address;
            if (words >> keyword >> address && keyword == "nameserver") return address;
        }
    }
    return "127.0.0.1";
}

} // namespace mv
