#include "app/settings/MailProgramFinder.h"

#include "base/Files.h"
#include "base/IniFile.h"
#include "base/Text.h"
#include "net/RasDialerProcess.h"

#include <algorithm>
#include <sstream>
#include <vector>

namespace mv {

namespace fs = std::filesystem;

namespace {

std::string envValue(const Environment& env, const std::string& name) {
    auto it = env.find(name);
    return it == env.end() ? std::string() : it->second;
}

// An XDG base folder: the variable when it holds an absolute path, else HOME + the fallback.
fs::path xdgFolder(const Environment& env, const std::string& variable, const char* fallback) {
    fs::path value = envValue(env, variable);
    if (value.is_absolute()) return value;
    fs::path home = envValue(env, "HOME");
    return home.is_absolute() ? home / fallback : fs::path();
}

std::optional<IniFile> readIni(const fs::path& path) {
    std::optional<std::string> text = readFile(path);
    if (!text) return std::nullopt;
    IniFile ini(path);
    ini.parse(*text);
    return ini;
}

std::optional<FoundAccount> accountOf(std::string server, std::string user,
                                      std::optional<TlsMode> security = std::nullopt,
                                      std::string_view port = {}) {
    server = trim(server);
    user = trim(user);
    if (server.empty() || user.empty()) return std::nullopt;
    // The port only when it is not the one the security implies.
    long long usual = security == TlsMode::Tls ? 995 : 110;
    std::optional<long long> number = parseInteger(trim(port));
    if (number && *number != usual && *number > 0 && *number <= 65535) {
        if (server.find(':') != std::string::npos) server = "[" + server + "]";
        server += ":" + std::to_string(*number);
    }
    return FoundAccount{std::move(server), std::move(user), security};
}

// --- Thunderbird ---------------------------------------------------------------------------

// The default profile's folder: the install section's choice (what current versions start),
// else the profile marked Default=1, else the first profile.
std::optional<fs::path> thunderbirdProfile(const fs::path& root) {
    std::optional<IniFile> ini = readIni(root / "profiles.ini");
    if (!ini) return std::nullopt;
    auto resolve = [&root](const std::string& path, bool relative) {
        return relative ? root / path : fs::path(path);
    };
    std::optional<fs::path> marked, first;
    for (const std::string& section : ini->sections()) {
        std::string path = ini->readString(section, "Path");
        if (startsWithNoCase(section, "Install")) {
            std::string chosen = ini->readString(section, "Default");
            if (!chosen.empty()) return resolve(chosen, !fs::path(chosen).is_absolute());
        }
        if (!startsWithNoCase(section, "Profile") || path.empty()) continue;
        fs::path folder = resolve(path, ini->readBool(section, "IsRelative", true));
        if (!first) first = folder;
        if (!marked && ini->readBool(section, "Default", false)) marked = folder;
    }
    return marked ? marked : first;
}

// The string and number values of prefs.js: user_pref("name", value);
std::map<std::string, std::string> readPrefs(std::string_view text) {
    std::map<std::string, std::string> prefs;
    for (const std::string& rawLine : splitLines(text)) {
        std::string line = trim(rawLine);
        constexpr std::string_view kStart = "user_pref(\"";
        if (!line.starts_with(kStart)) continue;
        std::size_t nameEnd = line.find('"', kStart.size());
        std::size_t comma = line.find(',', nameEnd);
        if (nameEnd == std::string::npos || comma == std::string::npos) continue;
        std::string name = line.substr(kStart.size(), nameEnd - kStart.size());
        std::string rest = trim(std::string_view(line).substr(comma + 1));
        std::string value;
        if (rest.starts_with('"')) {
            for (std::size_t i = 1; i < rest.size() && rest[i] != '"'; ++i) {
                if (rest[i] == '\\' && i + 1 < rest.size()) ++i;
                value += rest[i];
            }
        } else {
            value = trim(rest.substr(0, rest.find(')')));
        }
        prefs[name] = value;
    }
    return prefs;
}

std::optional<FoundAccount> popAccountInPrefs(const std::map<std::string, std::string>& prefs) {
    constexpr std::string_view kPrefix = "mail.server.server";
    std::optional<long long> lowest;
    for (const auto& [name, value] : prefs) {
        if (!name.starts_with(kPrefix) || !name.ends_with(".type") || value != "pop3") continue;
        std::string_view number =
            std::string_view(name).substr(kPrefix.size(), name.size() - kPrefix.size() - 5);
        std::optional<long long> n = parseInteger(number);
        if (n && (!lowest || *n < *lowest)) lowest = n;
    }
    if (!lowest) return std::nullopt;
    std::string server = std::string(kPrefix) + std::to_string(*lowest);
    auto get = [&prefs](const std::string& name) {
        auto it = prefs.find(name);
        return it == prefs.end() ? std::string() : it->second;
    };
    // socketType: 2 STARTTLS, 3 TLS from the start; anything else none.
    std::string socketType = get(server + ".socketType");
    std::optional<TlsMode> security;
    if (socketType == "2") security = TlsMode::StartTls;
    if (socketType == "3") security = TlsMode::Tls;
    return accountOf(get(server + ".hostname"), get(server + ".userName"), security,
                     get(server + ".port"));
}

// --- Desktop entries ---------------------------------------------------------------------------

std::optional<fs::path> findDesktopEntry(const Environment& env, const std::string& id) {
    std::vector<fs::path> folders{xdgFolder(env, "XDG_DATA_HOME", ".local/share")};
    std::string dataDirs = envValue(env, "XDG_DATA_DIRS");
    std::stringstream dirs(dataDirs.empty() ? "/usr/local/share:/usr/share" : dataDirs);
    for (std::string dir; std::getline(dirs, dir, ':');)
        if (!dir.empty()) folders.emplace_back(dir);
    for (const fs::path& folder : folders) {
        if (folder.empty()) continue;
        fs::path candidate = folder / "applications" / id;
        if (fileExists(candidate)) return candidate;
    }
    return std::nullopt;
}

std::string mailtoHandlerCommand(const Environment& env) {
    fs::path xdgMime = findProgram("xdg-mime", envValue(env, "PATH"));
    if (xdgMime.empty()) return {};
    CommandResult result =
        runCommand({xdgMime.string(), "query", "default", "x-scheme-handler/mailto"}, {}, 5);
    if (result.end != CommandEnd::Finished || result.exitCode != 0) return {};
    // The answer is a desktop file id; only a plain name is looked up, never a path.
    std::string id = trim(result.output.substr(0, result.output.find('\n')));
    if (id.empty() || id.find('/') != std::string::npos || !id.ends_with(".desktop")) return {};
    std::optional<fs::path> entry = findDesktopEntry(env, id);
    if (!entry) return {};
    std::optional<IniFile> ini = readIni(*entry);
    return ini ? execWithoutFieldCodes(ini->readString("Desktop Entry", "Exec")) : std::string();
}

} // namespace

std::optional<FoundAccount> thunderbirdAccount(const Environment& env) {
    fs::path home = envValue(env, "HOME");
    if (!home.is_absolute()) return std::nullopt;
    // The ordinary install first, then the sandboxed packages' own homes.
    for (const char* root : {".thunderbird", "snap/thunderbird/common/.thunderbird",
                             ".var/app/org.mozilla.Thunderbird/.thunderbird"}) {
        std::optional<fs::path> profile = thunderbirdProfile(home / root);
        if (!profile) continue;
        std::optional<std::string> prefs = readFile(*profile / "prefs.js");
        if (prefs) return popAccountInPrefs(readPrefs(*prefs));
    }
    return std::nullopt;
}

std::optional<FoundAccount> evolutionAccount(const Environment& env) {
    fs::path folder = xdgFolder(env, "XDG_CONFIG_HOME", ".config");
    if (folder.empty()) return std::nullopt;
    folder /= "evolution/sources";
    std::vector<fs::path> sources;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->path().extension() == ".source") sources.push_back(it->path());
    std::sort(sources.begin(), sources.end());
    for (const fs::path& source : sources) {
        std::optional<IniFile> ini = readIni(source);
        if (!ini || !equalsNoCase(ini->readString("Mail Account", "BackendName"), "pop")) continue;
        if (equalsNoCase(ini->readString("Data Source", "Enabled"), "false")) continue;
        std::string method = ini->readString("Security", "Method");
        std::optional<TlsMode> security;
        if (method == "ssl-on-alternate-port") security = TlsMode::Tls;
        if (method == "starttls-on-standard-port") security = TlsMode::StartTls;
        auto found = accountOf(ini->readString("Authentication", "Host"),
                               ini->readString("Authentication", "User"), security,
                               ini->readString("Authentication", "Port"));
        if (found) return found;
    }
    return std::nullopt;
}

std::optional<FoundAccount> clawsMailAccount(const Environment& env) {
    fs::path home = envValue(env, "HOME");
    if (!home.is_absolute()) return std::nullopt;
    std::optional<IniFile> ini = readIni(home / ".claws-mail" / "accountrc");
    if (!ini) return std::nullopt;
    for (const std::string& section : ini->sections()) {
        // protocol 0 is POP3 (1, APOP, is POP3 with a digest login).
        long long protocol = ini->readInteger(section, "protocol", -1);
        if (!startsWithNoCase(section, "Account:") || (protocol != 0 && protocol != 1)) continue;
        // ssl_pop: 1 TLS from the start, 2 STARTTLS; a port of its own only with set_popport.
        long long ssl = ini->readInteger(section, "ssl_pop", 0);
        std::optional<TlsMode> security;
        if (ssl == 1) security = TlsMode::Tls;
        if (ssl == 2) security = TlsMode::StartTls;
        std::string port = ini->readBool(section, "set_popport", false)
                               ? ini->readString(section, "pop_port")
                               : "";
        auto found = accountOf(ini->readString(section, "receive_server"),
                               ini->readString(section, "user_id"), security, port);
        if (found) return found;
    }
    return std::nullopt;
}

std::optional<FoundAccount> installedMailAccount(const Environment& env) {
    for (auto find : {thunderbirdAccount, evolutionAccount, clawsMailAccount})
        if (auto found = find(env)) return found;
    return std::nullopt;
}

std::string execWithoutFieldCodes(std::string_view exec) {
    std::string out;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        if (exec[i] != '%' || i + 1 == exec.size()) {
            out += exec[i];
        } else if (exec[++i] == '%') {
            out += '%';
        }
    }
    // Codes standing alone leave blanks behind.
    std::string tidy;
    std::istringstream words(out);
    for (std::string word; words >> word;)
        tidy += (tidy.empty() ? "" : " ") + word;
    return tidy;
}

std::string GetMailPath(const Environment& env) {
    std::string command = mailtoHandlerCommand(env);
    if (!command.empty()) return command;
    std::string path = envValue(env, "PATH");
    for (const char* name : {"thunderbird", "evolution", "claws-mail", "kmail"}) {
        fs::path program = findProgram(name, path);
        if (!program.empty()) return program.string();
    }
    return {};
}

} // namespace mv
