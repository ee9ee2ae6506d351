#pragma once
// TMXResolver asks one name server over UDP for the mail exchangers (MX records) of a domain and
// returns them sorted by preference. It builds and reads the DNS messages itself (DnsMessage.h)
// and waits for the answer with the socket layer's wait (Wait.h), so Cancel and the pump stay live.
// The owner keeps one for the whole run; each Resolve is a self-contained exchange on a fresh
// socket.
//
// Two ways to use it:
// - Resolve() raises on every failure: EResolverError (an error code in the answer, or an answer
//   that cannot be read), ETimedOutError, ECanceledError, ESocketError.
// - checkDomain() tells the unknown-domain check what it needs: the domain exists (an answer
//   without error, even without MX records), it does not exist (the server answered "Domain name
//   does not exist", or the name could never exist), or it could not be checked (time-out, socket
//   error, any other failure), which must not be taken for "does not exist". Only a cancel raises
//   (ECanceledError), so that Cancel stops the whole check rather than one look-up.
#include "net/DnsMessage.h"
#include "net/Wait.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace mv {

enum class DomainStatus { Exists, DoesNotExist, NotChecked };

struct DomainCheck {
    DomainStatus status = DomainStatus::NotChecked;
    std::string error; // the failure's text; empty when the domain exists
    // How long the name server lets the answer be kept (DnsResponse::ttl); 0 when it did not say.
    std::chrono::seconds lifetime{0};
};

class TMXResolver {
public:
    TMXResolver() = default;
    TMXResolver(const TMXResolver&) = delete;
    TMXResolver& operator=(const TMXResolver&) = delete;

    // The domain to look up; a trailing "." (the root) is allowed.
    const std::string& Domain() const { return m_domain; }
    void setDomain(std::string domain) { m_domain = std::move(domain); }
    // The name server as a numeric IPv4 or IPv6 address (no name look-up is made for it); empty,
    // the default, means the system's: the first "nameserver" of /etc/resolv.conf.
    const std::string& DNSAddress() const { return m_dnsAddress; }
    void setDNSAddress(std::string address) { m_dnsAddress = std::move(address); }
    std::uint16_t Port() const { return m_port; }
    void setPort(std::uint16_t port) { m_port = port; }
    // Seconds of silence after the query before the look-up fails; 0 or less: one second.
    int TimeOut() const { return m_timeOut; }
    void setTimeOut(int seconds) { m_timeOut = seconds; }
    // Cancel flag and pump for the wait for the answer.
    void setWaitHooks(WaitHooks hooks) { m_hooks = std::move(hooks); }

    // Looks up the MX records of Domain. On return MXList holds them sorted by ascending
    // preference; empty when the domain exists without any. A name with an empty label, a label
    // over 63 bytes or over 253 bytes in all raises "Domain name does not exist" without a query.
    // Raises EResolverError when called while a look-up runs (from the pump).
    void Resolve();
    // The result of the last Resolve; cleared when the next one starts.
    const TMXList& MXList() const { return m_mxList; }
    // How long the last answer may be kept, in seconds, also when it said the name does not
    // exist (DnsResponse::ttl); empty without an answer or when the answer did not say.
    std::optional<std::uint32_t> AnswerTTL() const { return m_answerTtl; }

    // Sets Domain to `domain`, resolves it and classifies the outcome; raises only ECanceledError.
    DomainCheck checkDomain(std::string_view domain);

    // Fired in this order: before the socket is opened, after the query was sent, and after the
    // socket was closed (also after a failure once the socket was open).
    std::function<void()> OnSendingQuery;
    std::function<void()> OnWaitingForResponse;
    std::function<void()> OnClosingConnection;

    // The first "nameserver" of a resolv.conf file; "127.0.0.1" when it names none, as the C
    // library's resolver then asks the local host.
    static std::string
    systemNameServer(const std::filesystem::path& resolvConf = "/etc/resolv.conf");

private:
    void exchange(int fd, const std::string& name);
    std::chrono::seconds lifetime() const;

    std::string m_domain;
    std::string m_dnsAddress;
    std::uint16_t m_port = 53;
    int m_timeOut = 60;
    WaitHooks m_hooks;
    TMXList m_mxList;
    std::optional<std::uint32_t> m_answerTtl;
    bool m_busy = false;
};

} // namespace mv
