#pragma once
// Fixture homes holding what installed mail programs write: a Thunderbird profile, Evolution
// sources and a Claws Mail accountrc, copied from tests/data/mail-programs into a temporary home.
// The environment they give points HOME there and nothing else, so no test reads the real home.
#include "app/settings/MailProgramFinder.h"
#include "app/settings/TempHome.h"

#include <filesystem>

namespace mv::test {

class MailProgramHome {
public:
    static std::filesystem::path data(const char* name) {
        return std::filesystem::path(MV_TEST_DATA) / "mail-programs" / name;
    }

    const std::filesystem::path& dir() const { return m_home.dir(); }
    Environment environment() const { return {{"HOME", dir().string()}}; }

    // Puts a fixture file at `relative` under the home, making its folders.
    void install(const char* fixture, const std::filesystem::path& relative) const {
        std::filesystem::create_directories((dir() / relative).parent_path());
        std::filesystem::copy_file(data(fixture), dir() / relative,
                                   std::filesystem::copy_options::overwrite_existing);
    }
    // The default profile (the one the install section names) holds the POP3 account.
    void installThunderbird() const {
        install("profiles.ini", ".thunderbird/profiles.ini");
        install("prefs.js", ".thunderbird/x8f3pr0b.default-release/prefs.js");
    }
    // An IMAP source sorts first; the POP one after it.
    void installEvolution() const {
        install("0a7c2d91aa01.source", ".config/evolution/sources/0a7c2d91aa01.source");
        install("1b8e5f4e2c0d.source", ".config/evolution/sources/1b8e5f4e2c0d.source");
    }
    // A news account first, then the POP3 one.
    void installClawsMail() const { install("accountrc", ".claws-mail/accountrc"); }

private:
    TempHome m_home;
};

} // namespace mv::test
