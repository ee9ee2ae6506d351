#pragma once
// TCustomPOP: the POP3 protocol (RFC 1939) with CAPA, STLS and pipelining (RFC 2449, 2595):
// login, one-message retrieve and delete, and the commands its subclass builds on. Every failure
// during login ends the session, so no command ever runs unauthenticated. Lives as its owner.
#include "net/MailClientBase.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mv {

class TCustomPOP : public TMailClientBase {
public:
    explicit TCustomPOP(std::unique_ptr<Transport> transport = nullptr);

    const std::string& userName() const { return m_userName; }
    void setUserName(std::string name) { m_userName = std::move(name); }
    const std::string& password() const { return m_password; }
    void setPassword(std::string password) { m_password = std::move(password); }
    // The two numbers of the last STAT reply; -1 before the first.
    int MessageCount() const { return m_messageCount; }
    std::int64_t MailboxSize() const { return m_mailboxSize; }
    // Whether the server named the capability in its CAPA reply ("UIDL", "PIPELINING", ...).
    bool hasCapability(std::string_view name) const;

    std::function<void(TCustomPOP&, int num)> OnRetrieving;
    std::function<void(TCustomPOP&, int num)> OnRetrieved;
    std::function<void(TCustomPOP&, int num)> OnDeleting;

    // 1 for "+...", -1 for "-...", 0 otherwise.
    int ReplyCode(std::string_view line) const override;
    void Open() override;
    // One message by 0-based index (message number index + 1).
    void RetrieveMessage(int index);
    void DeleteMessage(int index);

protected:
    void Login() override;
    void Logout() override;
    bool sessionMatchesSettings() const override;
    virtual void SaveMessage(int num, const std::string& contents) = 0;
    virtual void CheckCredentials();

    // Sends `command` and reads its status line, which must be "+OK"; returns it.
    const std::string& command(std::string_view command);
    // Reads one status line, which must be "+OK".
    const std::string& readOk();
    // Reads the rest of a multi-line reply after its status line, without the "." line.
    std::string readMultiLine(std::int64_t expectedSize, std::size_t maxSize);
    // The size the reply to "LIST n" gives, -1 when it gives none that can be read: the size word
    // must be a whole number of octets. A reply of one word is the size from a server that
    // leaves the number out, unless that word is `number` itself.
    static std::int64_t parseListSize(std::string_view reply, std::string_view number);
    // The bound on a message of `listedSize` octets as sent: dot-stuffing may add a byte a line.
    static std::size_t messageBound(std::int64_t listedSize);

private:
    void readCapabilities();
    void negotiateStls();
    void authenticate();
    void readStat();

    std::string m_userName;
    std::string m_password;
    int m_messageCount = -1;
    std::int64_t m_mailboxSize = -1;
    std::vector<std::string> m_capabilities;
    std::string m_sessionKey; // server, port and user of the open session
};

} // namespace mv
