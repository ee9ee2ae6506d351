#include "screening/UnknownDomainCheck.h"

#include "mail/EmailAddress.h"
#include "screening/Conditions.h"
#include "screening/SpamOptions.h"

namespace mv {

namespace {
std::string lowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return out;
}

std::string domainOfField(const TMailHeaders& headers, std::string_view field) {
    return std::string(domainOf(SplitAddress(headers.GetFieldValue(field)).address));
}
} // namespace

UnknownDomainCheck::UnknownDomainCheck(DomainResolver& resolver, SpamOptions& options)
    : m_resolver(resolver), m_options(options) {}

std::optional<std::string> UnknownDomainCheck::CheckDomain(const TMailHeaders& headers) {
    // The reply-to domain is where answers would go, so it alone is tested when the message has
    // one; the sender's domain only stands in for it.
    std::string tested = domainOfField(headers, "Reply-to:");
    if (tested.empty()) tested = domainOfField(headers, "From:");
    if (tested.empty() || !qUnknownDomain(tested)) return std::nullopt;
    return tested;
}

bool UnknownDomainCheck::qUnknownDomain(std::string_view domain) {
    std::string key = lowerAscii(domain);
    if (m_good.contains(key) || m_unchecked.contains(key)) return false;
    if (m_bad.contains(key)) return true;
    switch (m_resolver.resolve(std::string(domain))) {
    case DomainAnswer::Exists:
        m_good.insert(std::move(key));
        return false;
    case DomainAnswer::DoesNotExist:
        m_options.bumpUnknown();
        m_bad.insert(std::move(key));
        return true;
    case DomainAnswer::CouldNotCheck:
        m_unchecked.insert(std::move(key));
        return false;
    }
    return false;
}

} // namespace mv
