#include "net/MXResolver.h"

#include "base/FlagScope.h"
#include "base/Files.h"
#include "base/Text.h"
#include "net/NetErrors.h"

#include <algorithm>
#include <cerrno>
#include <exception>
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

// The sockets of one look-up, one per name server, closed with it.
class Sockets {
public:
    explicit Sockets(const std::vector<std::string>& servers, std::uint16_t port) {
        // A server the system lists that cannot be reached this way is skipped, unless none can.
        std::exception_ptr first;
        for (const std::string& server : servers) {
            try {
                m_fds.push_back(openSocket(server, port));
            } catch (const ESocketError&) {
                if (!first) first = std::current_exception();
            }
        }
        if (m_fds.empty()) std::rethrow_exception(first);
    }
    ~Sockets() { close(); }
    Sockets(const Sockets&) = delete;
    Sockets& operator=(const Sockets&) = delete;
    void close() {
        for (int fd : m_fds)
            ::close(fd);
        m_fds.clear();
    }
    const std::vector<int>& fds() const { return m_fds; }

private:
    std::vector<int> m_fds;
};

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
    // Busy for the look-up: a second Resolve started from the pump is refused instead of
    // clearing the list this one is filling.
    FlagScope busy(m_busy);
    m_mxList.clear();
    m_answerTtl.reset();
    std::string name = queryName(m_domain);
    if (name.empty()) throw EResolverError(rcodeText(kRcodeNameError), kRcodeNameError);

    if (OnSendingQuery) OnSendingQuery();
    Sockets sockets(m_dnsAddress.empty() ? systemNameServers(m_resolvConf)
                                         : std::vector<std::string>{m_dnsAddress},
                    m_port);
    try {
        exchange(sockets.fds(), name);
    } catch (...) {
        sockets.close();
        if (OnClosingConnection) OnClosingConnection();
        throw;
    }
    sockets.close();
    if (OnClosingConnection) OnClosingConnection();
}

// Sends the query and waits for its answer, sending copies (the same ID and question) while none
// comes. Datagrams that do not answer it (another ID, not a response, another question) are
// ignored, so a forged or stale one cannot decide the look-up; when only such datagrams came, the
// time-out reports why the last one was ignored. A server whose socket fails (ICMP "port
// unreachable") is asked no more; the look-up fails when none is left.
void TMXResolver::exchange(const std::vector<int>& sockets, const std::string& name) {
    std::uint16_t id = randomQueryId();
    std::string query = buildMXQuery(id, name);
    std::vector<pollfd> polls;
    for (int fd : sockets)
        polls.push_back({fd, POLLIN, 0});
    int lastError = 0;
    auto dropServer = [&](pollfd& p, int error) {
        p.fd = -1; // poll skips it
        lastError = error;
        if (std::all_of(polls.begin(), polls.end(), [](const pollfd& q) { return q.fd < 0; }))
            throwSocketError(lastError);
    };
    std::size_t next = 0;
    auto sendCopy = [&] {
        for (std::size_t tries = 0; tries < polls.size(); ++tries) {
            pollfd& p = polls[next];
            next = (next + 1) % polls.size();
            if (p.fd < 0) continue;
            if (::send(p.fd, query.data(), query.size(), 0) >= 0) return;
            dropServer(p, errno);
        }
    };
    sendCopy();
    if (OnWaitingForResponse) OnWaitingForResponse();

    TTimeCounter overall(m_timeOut);
    int resendDelay = 1;
    TTimeCounter resend(resendDelay);
    std::string ignored;
    std::vector<char> buffer(65536);
    for (;;) {
        const TTimeCounter& first = resend.remaining() < overall.remaining() ? resend : overall;
        WaitOutcome outcome = waitForSockets(polls, m_hooks, first);
        if (outcome == WaitOutcome::Canceled) throw ECanceledError();
        if (outcome == WaitOutcome::TimedOut) {
            if (overall.expired()) {
                if (!ignored.empty()) throw EResolverError(ignored);
                throw ETimedOutError();
            }
            sendCopy();
            resendDelay = std::min(resendDelay * 2, 8);
            resend = TTimeCounter(resendDelay);
            continue;
        }
        for (pollfd& p : polls) {
            if (p.fd < 0 || p.revents == 0) continue;
            ssize_t n = ::recv(p.fd, buffer.data(), buffer.size(), 0);
            if (n < 0) {
                if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) dropServer(p, errno);
                continue;
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

std::vector<std::string> TMXResolver::systemNameServers(const std::filesystem::path& resolvConf) {
    std::vector<std::string> servers;
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
            if (words >> keyword >> address && keyword == "nameserver" && servers.size() < 3)
                servers.push_back(address);
        }
    }
    if (servers.empty()) servers.push_back("127.0.0.1");
    return servers;
}

} // namespace mv
