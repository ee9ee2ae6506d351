#include "net/CustomPOP.h"

#include "base/Text.h"

namespace mv {

namespace {

constexpr std::size_t kCapaLimit = 64 * 1024;
constexpr std::size_t kUnknownSizeLimit = 256 * 1024 * 1024;

std::vector<std::string> words(std::string_view text) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t start = text.find_first_not_of(" \t", i);
        if (start == std::string_view::npos) break;
        std::size_t end = text.find_first_of(" \t", start);
        if (end == std::string_view::npos) end = text.size();
        out.emplace_back(text.substr(start, end - start));
        i = end;
    }
    return out;
}

std::optional<std::int64_t> strictCount(const std::string& word) {
    if (word.empty() || word.find_first_not_of("0123456789") != std::string::npos ||
        word.size() > 18)
        return std::nullopt;
    return std::stoll(word);
}

bool hasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

} // namespace

TCustomPOP::TCustomPOP(std::unique_ptr<Transport> transport)
    : TMailClientBase(std::move(transport)) {
    setServiceName("pop3");
    setTlsService("pop3s", 995);
    setDefaultPort(110);
    setSecurity(TlsMode::StartTls); // the password never goes out in clear unless asked for
}

int TCustomPOP::ReplyCode(std::string_view line) const {
    if (line.starts_with('+')) return 1;
    if (line.starts_with('-')) return -1;
    return 0;
}

void TCustomPOP::CheckCredentials() {
    if (userName().empty()) RaiseSocketError(kErrUserNameRequired);
    if (password().empty()) RaiseSocketError(kErrPasswordRequired);
    // A line break would end the command early and let the rest run as a command of its own.
    if (hasLineBreak(userName()) || hasLineBreak(password()))
        RaiseSocketError(kErrLineBreakInCredentials);
}

void TCustomPOP::Open() {
    CheckCredentials();
    ResetState();
    TMailClientBase::Open();
}

bool TCustomPOP::hasCapability(std::string_view name) const {
    for (const std::string& c : m_capabilities)
        if (equalsNoCase(c, name)) return true;
    return false;
}

bool TCustomPOP::sessionMatchesSettings() const {
    return m_sessionKey == server() + '\n' + userName() + '\n' + tlsModeName(security());
}

const std::string& TCustomPOP::readOk() {
    std::string line;
    int code = ReadLine(line);
    setLastReply(line);
    if (code != 1) throw EServerError(line);
    return LastReply();
}

const std::string& TCustomPOP::command(std::string_view text) {
    SendLine(text);
    return readOk();
}

std::string TCustomPOP::readMultiLine(std::int64_t expectedSize, std::size_t maxSize) {
    std::string reply = ReceiveToStream(expectedSize, maxSize);
    reply.resize(reply.size() - 3); // the "." line; what is left ends with CR LF or is empty
    return reply;
}

std::int64_t TCustomPOP::parseListSize(std::string_view reply, std::string_view number) {
    std::vector<std::string> w = words(reply.substr(std::min<std::size_t>(reply.size(), 3)));
    if (w.empty() || (w.size() == 1 && w[0] == number)) return -1;
    // Only whole digits: "1e20" is no size of 1, and "-5" or 2^64 - 1 is no size at all.
    return strictCount(w.size() >= 2 ? w[1] : w[0]).value_or(-1);
}

std::size_t TCustomPOP::messageBound(std::int64_t listedSize) {
    if (listedSize < 0) return kUnknownSizeLimit;
    return static_cast<std::size_t>(listedSize) * 2 + 64 * 1024;
}

void TCustomPOP::Login() {
    ConnectToServer();
    try {
        readOk(); // greeting
        readCapabilities();
        negotiateStls();
        authenticate();
        readStat();
    } catch (...) {
        Close(); // never leave an unauthenticated session open for later commands
        throw;
    }
    m_sessionKey = server() + '\n' + userName() + '\n' + tlsModeName(security());
}

void TCustomPOP::readCapabilities() {
    m_capabilities.clear();
    SendLine("CAPA");
    std::string line;
    if (ReadLine(line) != 1) return; // a server without CAPA: no extensions
    for (const std::string& capability : splitLines(readMultiLine(-1, kCapaLimit))) {
        std::vector<std::string> w = words(capability);
        if (!w.empty()) m_capabilities.push_back(upperAscii(w[0]));
    }
}

void TCustomPOP::negotiateStls() {
    bool required = security() == TlsMode::StartTls;
    bool wanted = required || (security() == TlsMode::StartTlsIfOffered && hasCapability("STLS"));
    if (!wanted) return;
    SendLine("STLS");
    std::string line;
    if (ReadLine(line) != 1) {
        setLastReply(line);
        if (required) RaiseSocketError(errorText(kErrNoStls), true);
        return;
    }
    StartTls();
    readCapabilities(); // what the server offered in clear may have been altered (RFC 2595)
}

void TCustomPOP::authenticate() {
    command("USER " + userName());
    command("PASS " + password());
}

void TCustomPOP::readStat() {
    std::vector<std::string> w = words(command("STAT"));
    auto count = w.size() >= 3 ? strictCount(w[1]) : std::nullopt;
    auto size = w.size() >= 3 ? strictCount(w[2]) : std::nullopt;
    if (!count || !size)
        throw EServerError("The server's reply to STAT gives no message count and mailbox size: " +
                           LastReply());
    if (*count > std::numeric_limits<int>::max())
        throw EServerError("The server reports " + std::to_string(*count) +
                           " messages, more than can be listed (at most " +
                           std::to_string(std::numeric_limits<int>::max()) + ")");
    m_messageCount = static_cast<int>(*count);
    m_mailboxSize = *size;
}

void TCustomPOP::Logout() {
    if (Connected()) command("QUIT");
}

void TCustomPOP::RetrieveMessage(int index) {
    std::string number = std::to_string(index + 1);
    std::int64_t size = parseListSize(command("LIST " + number), number);
    if (OnRetrieving) OnRetrieving(*this, index);
    command("RETR " + number);
    std::string contents = ReceiveToStream(size, messageBound(size));
    SaveMessage(index, contents);
    if (OnRetrieved) OnRetrieved(*this, index);
}

void TCustomPOP::DeleteMessage(int index) {
    if (OnDeleting) OnDeleting(*this, index);
    command("DELE " + std::to_string(index + 1)); // a refused deletion is an error, not a success
}

} // namespace mv
