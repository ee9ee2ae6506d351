#pragma once
// The unknown-domain check: whether the domain of a message's reply-to address (or of its sender
// when it has none) exists, asked of a resolver once per domain and remembered for as long as the
// program runs. Only an answer that the domain does not exist makes it unknown; a lookup that could
// not be made leaves the message alone and is not asked again during the same check run.
#include "mail/MailHeaders.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

namespace mv {

struct SpamOptions;

enum class DomainAnswer {
    Exists,        // the name server answered without error, with or without MX records
    DoesNotExist,  // the name server said the name does not exist (RCODE 3)
    CouldNotCheck, // no answer, a socket error, or any other server failure
};

// Asks the Domain Name System about one domain. Failures are answers, not exceptions; an
// exception (a cancel, say) passes through the screening pass to its caller.
class DomainResolver {
public:
    virtual ~DomainResolver() = default;
    virtual DomainAnswer resolve(const std::string& domain) = 0;
};

class UnknownDomainCheck {
public:
    // `options` holds the unknown-domain counter; both must outlive the check.
    UnknownDomainCheck(DomainResolver& resolver, SpamOptions& options);

    // The domain tested for the message, as it stands in the address, when it is unknown.
    std::optional<std::string> CheckDomain(const TMailHeaders& headers);
    // True when the domain is unknown: from the caches, or from one lookup that then fills them.
    bool qUnknownDomain(std::string_view domain);
    // A new check run asks again about the domains that could not be checked before.
    void startRun() { m_unchecked.clear(); }

private:
    DomainResolver& m_resolver;
    SpamOptions& m_options;
    // Lower-case domains (ASCII letters lowered).
    std::unordered_set<std::string> m_good, m_bad, m_unchecked;
};

} // namespace mv
