#pragma once
// The twelve mailbox account slots and the chosen mailbox, as the settings window shows them:
// the working copy that the settings store reads and saves. Also the questions asked of that copy
// (only one mailbox?, which slot is the client's?, the chooser's entries). A value object.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/Transport.h"

namespace mv {

// A server as host, host:port, [v6] or [v6]:port (a bare IPv6 address is a host): no blanks or
// control characters, and a port, when given, from 1 to 65535.
bool isValidServerText(std::string_view server);

// STLS required unless chosen otherwise: settling for whatever the server offers lets a man in
// the middle strip the STLS offer and read the password.
inline constexpr TlsMode kDefaultSecurity = TlsMode::StartTls;

struct MailboxAccount {
    std::string server;   // host, host:port or [v6]:port; empty means the slot is not configured
    std::string user;     // the user (mailbox) name on that server
    std::string password; // in clear; the store scrambles it
    TlsMode security = kDefaultSecurity;
    // A self-signed server certificate trusted by its fingerprint (normalizeFingerprint form);
    // empty means only the system's trust store is accepted.
    std::string fingerprint;

    bool configured() const { return !server.empty(); }
    bool operator==(const MailboxAccount&) const = default;
};

// One line of the mailbox chooser "Which Mail Box?".
struct ChooserEntry {
    int mailbox;
    std::string text; // "%d) Mailbox %s - Server %s"
};

class MailboxAccounts {
public:
    static constexpr int kCount = 12;

    // n from 1 to 12; throws std::out_of_range otherwise.
    MailboxAccount& operator[](int n);
    const MailboxAccount& operator[](int n) const;
    static bool isMailboxNumber(int n) { return n >= 1 && n <= kCount; }
    // Throws std::out_of_range ("No mailbox n") unless n is 1 to 12.
    static void requireMailboxNumber(int n);

    // The chosen mailbox for manual checks, 1 to 12, or 0 when no radio button is selected.
    int which = 1;

    // Mailbox 1 is configured and no other is.
    bool OnlyOneMailbox() const;
    // The first slot whose server and user name equal these, ignoring letter case; 0 for none.
    int serverToIndex(std::string_view server, std::string_view user) const;
    // One entry per configured mailbox, in number order.
    std::vector<ChooserEntry> chooserEntries() const;

private:
    std::array<MailboxAccount, kCount> m_slots;
};

// The entry to preselect for the current mailbox: its own, else the first one (the current
// mailbox can be one without a server after an automatic run); -1 when there are no entries.
int chooserPreselection(const std::vector<ChooserEntry>& entries, int currentMailbox);
// The number an entry's text starts with, up to its first ")"; 0 when it has none.
int mailboxFromChooserEntry(std::string_view text);

} // namespace mv
