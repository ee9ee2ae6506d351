#pragma once
// The unknown-domain check: whether the domain of a message's reply-to address (or of its sender
// when it has none) exists, asked of a resolver once per domain and remembered for the check run
// and for as long as the answer's DNS lifetime allows, at most an hour: a transient "does not
// exist" must not condemn a domain's mail until the program ends. Only an answer that the domain
// does not exist makes it unknown; a lookup that could not be made leaves the message alone and is
// not asked again during the same check run.
#include "mail/MailHeaders.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace mv {

struct SpamOptions;

enum class DomainAnswer {
    Exists,        // the name server answered without error, with or without MX records
    DoesNotExist,  // the name server said the name does not exist (RCODE 3)
    CouldNotCheck, // no answer, a socket error, or any other server failure
};

// The longest an answer is remembered, whatever lifetime its name server gave.
inline constexpr std::chrono::seconds kMaxDomainLifetime{3600};

// An answer and how long the name server lets it be kept (0: for the running check only).
struct DomainLookup {
    DomainLookup(DomainAnswer answer, std::chrono::seconds lifetime = kMaxDomainLifetime)
        : answer(answer), lifetime(lifetime) {}
    DomainAnswer answer;
    std::chrono::seconds lifetime;
};

// Asks the Domain Name System about one domain. Failures are answers, not exceptions; an
// exception (a cancel, say) passes through the screening pass to its caller.
class DomainResolver {
public:
    virtual ~DomainResolver() = default;
    virtual DomainLookup resolve(const std::string& domain) = 0;
};

class UnknownDomainCheck {
public:
    using Clock = std::chrono::steady_clock;
    using Now = std::function<Clock::time_point()>;

    // `options` holds the unknown-domain counter; both must outlive the check. `now` tells the
    // time the remembered answers expire by.
    UnknownDomainCheck(DomainResolver& resolver, SpamOptions& options, Now now = Clock::now);

    // The domain tested for the message, as it stands in the address, when it is unknown.
    std::optional<std::string> CheckDomain(const TMailHeaders& headers);
    // True when the domain is unknown: from the caches, or from one lookup that then fills them.
    bool qUnknownDomain(std::string_view domain);
    // A new check run asks again about the domains that could not be checked before and those
    // whose answers have expired.
    void startRun() { ++m_run; }

private:
    struct Remembered {
        bool unknown = false;
        Clock::time_point expires;
        unsigned run = 0; // kept at least for the run that asked
    };
    bool stillValid(const Remembered& answer) const;

    DomainResolver& m_resolver;
    SpamOptions& m_options;
    Now m_now;
    unsigned m_run = 0;
    // By lower-case domain (ASCII letters lowered).
    std::unordered_map<std::string, Remembered> m_answers;
};

} // namespace mv
