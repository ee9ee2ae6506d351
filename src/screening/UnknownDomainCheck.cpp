#include "screening/UnknownDomainCheck.h"

#include "base/Text.h"
#include "mail/EmailAddress.h"
#include "screening/Conditions.h"
#include "screening/SpamOptions.h"

#include <algorithm>

namespace mv {

namespace {
std::string domainOfField(const TMailHeaders& headers, std::string_view field) {
    return std::string(domainOf(SplitAddress(headers.GetFieldValue(field)).address));
}
} // namespace

UnknownDomainCheck::UnknownDomainCheck(DomainResolver& resolver, SpamOptions& options, Now now)
    : m_resolver(resolver), m_options(options), m_now(std::move(now)) {}

std::optional<std::string> UnknownDomainCheck::CheckDomain(const TMailHeaders& headers) {
    // The reply-to domain is where answers would go, so it alone is tested when the message has
    // one; the sender's domain only stands in for it.
    std::string tested = domainOfField(headers, "Reply-to:");
    if (tested.empty()) tested = domainOfField(headers, "From:");
    if (tested.empty() || !qUnknownDomain(tested)) return std::nullopt;
    return tested;
}

bool UnknownDomainCheck::stillValid(const Remembered& answer) const {
    return answer.run == m_run || m_now() < answer.expires;
}

bool UnknownDomainCheck::qUnknownDomain(std::string_view domain) {
    std::string key = lowerAscii(domain);
    if (auto kept = m_answers.find(key); kept != m_answers.end() && stillValid(kept->second))
        return kept->second.unknown;
    DomainLookup lookup = m_resolver.resolve(std::string(domain));
    Remembered answer{lookup.answer == DomainAnswer::DoesNotExist, m_now(), m_run};
    // A failed lookup is asked again by the next run; an answer lives as long as it may.
    if (lookup.answer != DomainAnswer::CouldNotCheck)
        answer.expires += std::min(lookup.lifetime, kMaxDomainLifetime);
    if (answer.unknown) m_options.bumpUnknown();
    m_answers[std::move(key)] = answer;
    return answer.unknown;
}

} // namespace mv
