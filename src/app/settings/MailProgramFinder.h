#pragma once
// Finding what the user's own mail programs already know, so the settings window can fill gaps:
// the first POP3 account of an installed mail program, and the program that handles mailto links.
// Their files are only ever read; a file that is missing or malformed gives nothing. Free
// functions over the environment given (HOME, PATH, XDG_*), so tests point them at a fixture home.
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "net/Transport.h"

namespace mv {

using Environment = std::map<std::string, std::string>;

// A POP3 account found in another mail program: server and user non-empty. The server carries
// the port when the program uses one other than the usual for its security.
struct FoundAccount {
    std::string server;
    std::string user;
    // What the program protects the session with; nullopt when it uses none, which leaves our
    // default (STARTTLS when offered) in place rather than sending the password in clear.
    std::optional<TlsMode> security;
    bool operator==(const FoundAccount&) const = default;
};

// The default profile's first `mail.server.serverN` of type "pop3" (lowest N).
std::optional<FoundAccount> thunderbirdAccount(const Environment& env);
// The first account (by file name) of the sources folder whose mail backend is "pop".
std::optional<FoundAccount> evolutionAccount(const Environment& env);
// The first account of accountrc that receives by POP3.
std::optional<FoundAccount> clawsMailAccount(const Environment& env);
// The three above in that order; the first that gives an account wins.
std::optional<FoundAccount> installedMailAccount(const Environment& env);

// A desktop entry's Exec line as a command: the field codes (%u, %F, ...) removed, "%%" kept as
// "%", blanks tidied.
std::string execWithoutFieldCodes(std::string_view exec);

// The user's mail program: the command of the desktop's default mailto handler, asked of
// xdg-mime; else the first of thunderbird, evolution, claws-mail and kmail found on PATH (as a
// full path); else empty.
std::string GetMailPath(const Environment& env);

} // namespace mv
