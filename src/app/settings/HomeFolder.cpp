#include "app/settings/HomeFolder.h"

#include "base/Files.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

extern char** environ;

namespace mv {

namespace {
std::string lookUp(const std::map<std::string, std::string>& env, const std::string& name) {
    auto it = env.find(name);
    return it == env.end() ? std::string() : it->second;
}

// The XDG rules: a relative path in the variable is invalid and is ignored.
std::filesystem::path xdgFolder(const std::map<std::string, std::string>& env,
                                const std::string& variable,
                                const std::filesystem::path& fallback) {
    std::filesystem::path dir = lookUp(env, variable);
    if (dir.empty() || dir.is_relative()) {
        std::filesystem::path home = lookUp(env, "HOME");
        if (home.empty() || home.is_relative())
            throw FileError("No home folder: set HOME or MAILVANE_HOME");
        dir = home / fallback;
    }
    return dir / "mailvane";
}

void makeFolder(const std::filesystem::path& dir, std::filesystem::perms mode) {
    std::error_code ec;
    if (std::filesystem::create_directories(dir, ec)) std::filesystem::permissions(dir, mode, ec);
    if (ec || !std::filesystem::is_directory(dir))
        throw FileError("Unable to create folder " + dir.string() + ": " +
                        (ec ? ec.message() : std::string(std::strerror(ENOTDIR))));
}
} // namespace

std::map<std::string, std::string> processEnvironment() {
    std::map<std::string, std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        std::string entry(*e);
        std::size_t eq = entry.find('=');
        if (eq != std::string::npos) env.emplace(entry.substr(0, eq), entry.substr(eq + 1));
    }
    return env;
}

HomeFolder::HomeFolder(const std::filesystem::path& dir) : HomeFolder(dir, dir) {}

HomeFolder::HomeFolder(std::filesystem::path configDir, std::filesystem::path programDir)
    : m_configDir(std::move(configDir)), m_programDir(std::move(programDir)) {}

HomeFolder HomeFolder::resolve(const std::optional<std::filesystem::path>& override,
                               const std::map<std::string, std::string>& env) {
    if (override && !override->empty()) return HomeFolder(std::filesystem::absolute(*override));
    std::string home = lookUp(env, "MAILVANE_HOME");
    if (!home.empty()) return HomeFolder(std::filesystem::absolute(home));
    return HomeFolder(xdgFolder(env, "XDG_CONFIG_HOME", ".config"),
                      xdgFolder(env, "XDG_DATA_HOME", ".local/share"));
}

std::filesystem::path HomeFolder::emlFile(int index) const {
    return m_programDir / ("msg_" + std::to_string(index) + ".eml");
}

void HomeFolder::create() const {
    using std::filesystem::perms;
    makeFolder(m_configDir, perms::owner_all);
    makeFolder(m_programDir, perms::owner_all | perms::group_read | perms::group_exec |
                                 perms::others_read | perms::others_exec);
}

void HomeFolder::prepare() const {
    create();
    removeStaleTemporaries(m_configDir);
    if (m_programDir != m_configDir) removeStaleTemporaries(m_programDir);
}

} // namespace mv
