#include "app/settings/MailboxAccounts.h"

#include "base/Text.h"

#include <stdexcept>

namespace mv {

namespace {
bool isValidPort(std::string_view text) {
    if (text.empty() || text.size() > 5) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    long long port = parseIntegerOr(text, 0);
    return port >= 1 && port <= 65535;
}
} // namespace

bool isValidServerText(std::string_view server) {
    if (server.empty()) return false;
    for (char c : server)
        if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F) return false;
    if (server.front() == '[') {
        std::size_t close = server.find(']');
        if (close == std::string_view::npos || close == 1) return false;
        std::string_view rest = server.substr(close + 1);
        return rest.empty() || (rest.front() == ':' && isValidPort(rest.substr(1)));
    }
    std::size_t colon = server.find(':');
    if (colon == std::string_view::npos) return true;
    if (server.find(':', colon + 1) != std::string_view::npos) return true; // bare IPv6
    return colon > 0 && isValidPort(server.substr(colon + 1));
}

void MailboxAccounts::requireMailboxNumber(int n) {
    if (!isMailboxNumber(n)) throw std::out_of_range("No mailbox " + std::to_string(n));
}

MailboxAccount& MailboxAccounts::operator[](int n) {
    requireMailboxNumber(n);
    return m_slots[static_cast<std::size_t>(n - 1)];
}

const MailboxAccount& MailboxAccounts::operator[](int n) const {
    return const_cast<MailboxAccounts&>(*this)[n];
}

bool MailboxAccounts::OnlyOneMailbox() const {
    if (!(*this)[1].configured()) return false;
    for (int n = 2; n <= kCount; ++n)
        if ((*this)[n].configured()) return false;
    return true;
}

int MailboxAccounts::serverToIndex(std::string_view server, std::string_view user) const {
    for (int n = 1; n <= kCount; ++n)
        if (equalsNoCase((*this)[n].server, server) && equalsNoCase((*this)[n].user, user))
            return n;
    return 0;
}

std::vector<ChooserEntry> MailboxAccounts::chooserEntries() const {
    std::vector<ChooserEntry> entries;
    for (int n = 1; n <= kCount; ++n) {
        const MailboxAccount& a = (*this)[n];
        if (a.configured())
            entries.push_back(
                {n, std::to_string(n) + ") Mailbox " + a.user + " - Server " + a.server});
    }
    return entries;
}

int chooserPreselection(const std::vector<ChooserEntry>& entries, int currentMailbox) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].mailbox == currentMailbox) return static_cast<int>(i);
    return entries.empty() ? -1 : 0;
}

int mailboxFromChooserEntry(std::string_view text) {
    std::size_t paren = text.find(')');
    if (paren == std::string_view::npos) return 0;
    long long n = parseIntegerOr(text.substr(0, paren), 0);
    return n >= 1 && n <= MailboxAccounts::kCount ? static_cast<int>(n) : 0;
}

} // namespace mv
