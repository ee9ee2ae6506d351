#pragma once
// Runs mailvane-cli in-process against a temporary home folder and keeps what it printed.
#include "app/settings/SettingsStore.h"
#include "app/settings/TempHome.h"
#include "cli/Cli.h"

#include <sstream>

namespace mv::test {

struct CliResult {
    int code;
    std::string out;
    std::string err;
};

class CliRunner {
public:
    // `words` after the program name and the --home option; `input` is what stdin holds.
    CliResult run(std::vector<std::string> words, const std::string& input = {}) {
        words.insert(words.begin(), {"--home", m_home.dir().string()});
        return runBare(words, input);
    }
    // Without the --home option.
    CliResult runBare(const std::vector<std::string>& words, const std::string& input = {}) {
        std::istringstream in(input);
        std::ostringstream out, err;
        cli::CliEnvironment env{in,         out, err, false, false, m_clock, RegionalSettings{},
                                m_variables};
        env.lockPatience = std::chrono::milliseconds(100);
        int code = cli::Cli().run(words, env);
        return {code, out.str(), err.str()};
    }

    const std::filesystem::path& home() const { return m_home.dir(); }
    // The commands' "now": day 0 unless a test sets it.
    FixedClock& clock() { return m_clock; }
    SettingsStore settings() const { return SettingsStore(home() / "settings.ini"); }
    std::map<std::string, std::string> m_variables;

private:
    TempHome m_home;
    FixedClock m_clock{DateTime{}};
};

} // namespace mv::test
