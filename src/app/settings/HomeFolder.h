#pragma once
// Where Mailvane keeps its files. The settings store lives in the configuration folder; the
// "program directory" (spam options, rule files, known-spammer list, default log, saved messages)
// in the data folder. A home folder given by the user (MAILVANE_HOME or --home) holds both, for
// portable use and for every test. A value object: built once at start-up and passed on.
#include "app/settings/HomeLock.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace mv {

// The process environment as name and value.
std::map<std::string, std::string> processEnvironment();

class HomeFolder {
public:
    // One folder for everything.
    explicit HomeFolder(const std::filesystem::path& dir);
    HomeFolder(std::filesystem::path configDir, std::filesystem::path programDir);

    // `override` (from --home) wins over MAILVANE_HOME, which wins over the XDG folders
    // ($XDG_CONFIG_HOME/mailvane, $XDG_DATA_HOME/mailvane, falling back to ~/.config and
    // ~/.local/share as the XDG rules say). `env` is the environment, passed in for tests.
    // Throws FileError when a fallback is needed and HOME is not an absolute path.
    static HomeFolder resolve(const std::optional<std::filesystem::path>& override,
                              const std::map<std::string, std::string>& env);

    const std::filesystem::path& configDir() const { return m_configDir; }
    const std::filesystem::path& programDir() const { return m_programDir; }

    // The settings store: general options, log naming and the mailbox accounts.
    std::filesystem::path settingsFile() const { return m_configDir / "settings.ini"; }
    // The spam options.
    std::filesystem::path iniFile() const { return m_programDir / "mailvane.ini"; }
    // A rule table or list file by its name ("subj.lst", "known.lst", ...).
    std::filesystem::path programFile(const std::string& name) const { return m_programDir / name; }
    // The activity log's name when the settings name none.
    static constexpr const char* kDefaultLogName = "logfile.txt";
    std::filesystem::path defaultLogFile() const { return m_programDir / kDefaultLogName; }
    // A saved message, "msg_" + index + ".eml".
    std::filesystem::path emlFile(int index) const;
    // Held by the one process that may write settings, rules and log.
    std::filesystem::path lockFile() const { return m_configDir / kLockFileName; }

    // Creates both folders when missing (the configuration folder readable by its owner only,
    // since the settings hold passwords). Throws FileError.
    void create() const;
    // What both programs do with the home before they use it: create() and then remove the
    // temporary files of rewrites that a killed run left (removeStaleTemporaries), which no later
    // rewrite would ever replace. Throws FileError.
    void prepare() const;

private:
    std::filesystem::path m_configDir;
    std::filesystem::path m_programDir;
};

} // namespace mv
