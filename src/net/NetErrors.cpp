#include "net/NetErrors.h"

#include <cstring>
#include <map>

namespace mv {

namespace {

const std::map<int, const char*>& stringTable() {
    static const std::map<int, const char*> table{
        {kErrTimedOut, "Operation timed out"},
        {kErrCanceled, "Operation has been canceled"},
        {kErrServerRequired, "Server property is required"},
        {kErrResolvingHost, "Error resolving remote host"},
        {kErrServiceRequired, "Service name is required"},
        {kErrNotConnected, "You have to connect to the server first"},
        {kErrUserNameRequired, "UserName property is required"},
        {kErrPasswordRequired, "Password property is required"},
        {kErrPeerClosed, "Connection closed by the server"},
        {kErrLineTooLong, "Reply line too long"},
        {kErrReplyTooLarge, "Reply too large"},
        {kErrLineBreakInCredentials, "User name or password contains a line break"},
        {kErrBusy, "Another operation is still running on this connection"},
        {kErrNoStls,
         "The server does not offer STLS; the password is not sent in clear. Choose the "
         "security mode tls for a server that speaks TLS from the start, or none to "
         "send the password in clear"},
        {kErrBadFingerprint, "The trusted certificate fingerprint is not a SHA-256 hash (64 "
                             "hexadecimal digits); correct it in the settings"},
        {kErrDataBeforeTls, "The server sent data before the TLS handshake"},
    };
    return table;
}

// strerror's text, or empty for a number the C library does not know.
std::string systemErrorText(int code) {
    char buffer[256];
    const char* text = strerror_r(code, buffer, sizeof buffer); // GNU variant
    std::string s = text != nullptr ? text : "";
    return s.starts_with("Unknown error") ? std::string() : s;
}

} // namespace

std::string errorText(int code) {
    auto it = stringTable().find(code);
    std::string text = it != stringTable().end()  ? it->second
                       : code > 0 && code < 57000 ? systemErrorText(code)
                                                  : std::string();
    return text.empty() ? "Error #" + std::to_string(code) : text;
}

} // namespace mv
