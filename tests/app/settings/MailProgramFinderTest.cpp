// The look-ups in other mail programs' files: which account each gives, which program wins, that
// broken or missing files give nothing, and the mailto handler's command.
#include "app/settings/MailProgramFinder.h"
#include "app/settings/MailProgramHomes.h"
#include "base/Files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace mv {
namespace {

using test::MailProgramHome;
namespace fs = std::filesystem;

const FoundAccount kThunderbird{"pop.example.net", "ann.other@example.net", TlsMode::Tls};
const FoundAccount kEvolution{"mail.example.com", "bob", TlsMode::Tls};
const FoundAccount kClaws{"pop3.example.org:1110", "carol", TlsMode::StartTls};

void write(const fs::path& path, std::string_view text) {
    fs::create_directories(path.parent_path());
    writeFileAtomically(path, text);
}

std::map<fs::path, std::string> snapshot(const fs::path& dir) {
    std::map<fs::path, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file()) files[entry.path()] = readFile(entry.path()).value_or("?");
    return files;
}

TEST(MailProgramFinder, TakesTheFirstProgramThatHasAPop3Account) {
    struct Case {
        bool thunderbird, evolution, claws;
        std::optional<FoundAccount> expected;
    };
    const Case cases[] = {
        {true, false, false, kThunderbird}, {false, true, false, kEvolution},
        {false, false, true, kClaws},       {true, true, true, kThunderbird},
        {false, true, true, kEvolution},    {false, false, false, std::nullopt},
    };
    for (const Case& c : cases) {
        MailProgramHome home;
        if (c.thunderbird) home.installThunderbird();
        if (c.evolution) home.installEvolution();
        if (c.claws) home.installClawsMail();
        auto before = snapshot(home.dir());
        EXPECT_EQ(installedMailAccount(home.environment()), c.expected)
            << c.thunderbird << c.evolution << c.claws;
        EXPECT_EQ(snapshot(home.dir()), before) << "another program's files were changed";
    }
}

TEST(MailProgramFinder, ThunderbirdUsesTheProfileItStartsWith) {
    const std::string oldPrefs = "user_pref(\"mail.server.server1.type\", \"pop3\");\n"
                                 "user_pref(\"mail.server.server1.hostname\", \"old.example\");\n"
                                 "user_pref(\"mail.server.server1.userName\", \"old\");\n";
    MailProgramHome home;
    home.installThunderbird();
    write(home.dir() / ".thunderbird/k2l9xq3c.default/prefs.js", oldPrefs);
    // The install section names the profile current versions start with.
    EXPECT_EQ(thunderbirdAccount(home.environment()), kThunderbird);

    // Without one, the profile marked Default=1.
    write(home.dir() / ".thunderbird/profiles.ini",
          "[Profile0]\nName=a\nIsRelative=1\nPath=x8f3pr0b.default-release\n\n"
          "[Profile1]\nName=b\nIsRelative=1\nPath=k2l9xq3c.default\nDefault=1\n");
    EXPECT_EQ(thunderbirdAccount(home.environment()),
              (FoundAccount{"old.example", "old", std::nullopt}));

    // An absolute path, with nothing marked: the first profile.
    write(home.dir() / ".thunderbird/profiles.ini",
          "[Profile0]\nIsRelative=0\nPath=" +
              (home.dir() / ".thunderbird/k2l9xq3c.default").string() + "\n");
    EXPECT_EQ(thunderbirdAccount(home.environment()),
              (FoundAccount{"old.example", "old", std::nullopt}));
}

TEST(MailProgramFinder, SecurityAndAnUnusualPortComeAlong) {
    struct Case {
        const char* host;
        const char* socketType; // empty: not written
        const char* port;
        FoundAccount expected;
    };
    const Case cases[] = {
        {"pop.example", "", "", {"pop.example", "u", std::nullopt}},
        {"pop.example", "0", "110", {"pop.example", "u", std::nullopt}},
        {"pop.example", "2", "110", {"pop.example", "u", TlsMode::StartTls}},
        {"pop.example", "3", "995", {"pop.example", "u", TlsMode::Tls}},
        {"pop.example", "3", "1995", {"pop.example:1995", "u", TlsMode::Tls}},
        {"pop.example", "", "995", {"pop.example:995", "u", std::nullopt}},
        {"pop.example", "2", "99999", {"pop.example", "u", TlsMode::StartTls}},
        {"::1", "", "1110", {"[::1]:1110", "u", std::nullopt}},
    };
    auto pref = [](const std::string& name, const std::string& value) {
        return "user_pref(\"mail.server.server1." + name + "\", " + value + ");\n";
    };
    for (const Case& c : cases) {
        MailProgramHome home;
        home.installThunderbird();
        std::string prefs = pref("type", "\"pop3\"") + pref("userName", "\"u\"") +
                            pref("hostname", "\"" + std::string(c.host) + "\"");
        if (*c.socketType) prefs += pref("socketType", c.socketType);
        if (*c.port) prefs += pref("port", c.port);
        write(home.dir() / ".thunderbird/x8f3pr0b.default-release/prefs.js", prefs);
        EXPECT_EQ(thunderbirdAccount(home.environment()), c.expected)
            << c.host << " " << c.socketType << " " << c.port;
    }
}

TEST(MailProgramFinder, MissingOrMalformedFilesGiveNothing) {
    const std::pair<const char*, const char*> broken[] = {
        {".thunderbird/profiles.ini", "[Profile0]\nPath=gone.default\nDefault=1\n"},
        {".thunderbird/profiles.ini", "\x01\x02 not an ini file [[[\n=\n"},
        {".config/evolution/sources/a.source",
         "[Mail Account]\nBackendName=pop\n[Authentication]\nHost=\nUser=bob\n"},
        {".config/evolution/sources/a.source",
         "[Data Source]\nEnabled=false\n[Mail Account]\n"
         "BackendName=pop\n[Authentication]\nHost=h\nUser=u\n"},
        {".config/evolution/sources/a.source", "[Mail Account]\nBackendName=imapx\n"
                                               "[Authentication]\nHost=h\nUser=u\n"},
        {".claws-mail/accountrc", "[Account: 1]\nprotocol=3\nreceive_server=imap.example\n"
                                  "user_id=u\n"},
        {".claws-mail/accountrc", "[Account: 1]\nprotocol=0\nreceive_server=pop.example\n"},
        {".claws-mail/accountrc", "protocol=0\nreceive_server=pop.example\nuser_id=u\n"},
    };
    for (const auto& [file, text] : broken) {
        MailProgramHome home;
        write(home.dir() / file, text);
        EXPECT_EQ(installedMailAccount(home.environment()), std::nullopt) << file << ": " << text;
    }
    // A profile whose prefs.js holds no POP3 server, or stops halfway through a line.
    for (const char* prefs : {"user_pref(\"mail.server.server1.type\", \"imap\");\n",
                              "user_pref(\"mail.server.server1.type\", \"pop3\");\n"
                              "user_pref(\"mail.server.server1.hostname\", \"pop.exa"}) {
        MailProgramHome home;
        home.installThunderbird();
        write(home.dir() / ".thunderbird/x8f3pr0b.default-release/prefs.js", prefs);
        EXPECT_EQ(thunderbirdAccount(home.environment()), std::nullopt) << prefs;
    }
    // No usable HOME at all.
    for (const Environment& env : {Environment{}, Environment{{"HOME", "relative/home"}}})
        EXPECT_EQ(installedMailAccount(env), std::nullopt);
}

TEST(MailProgramFinder, EvolutionHonoursTheConfigFolderSetting) {
    MailProgramHome home;
    home.install("1b8e5f4e2c0d.source", "elsewhere/evolution/sources/1b8e5f4e2c0d.source");
    Environment env = home.environment();
    EXPECT_EQ(evolutionAccount(env), std::nullopt);
    env["XDG_CONFIG_HOME"] = (home.dir() / "elsewhere").string();
    EXPECT_EQ(evolutionAccount(env), kEvolution);
}

TEST(MailProgramFinder, ExecLinesLoseTheirFieldCodes) {
    const std::pair<const char*, const char*> cases[] = {
        {"thunderbird %u", "thunderbird"},
        {"/usr/bin/evolution %U", "/usr/bin/evolution"},
        {"claws-mail --compose %u", "claws-mail --compose"},
        {"kmail -caption %c --icon %i %F", "kmail -caption --icon"},
        {"mailer --percent=100%% %u", "mailer --percent=100%"},
        {"env GTK_THEME=x  prog  %f", "env GTK_THEME=x prog"},
        {"prog %", "prog %"},
        {"", ""},
    };
    for (const auto& [exec, expected] : cases)
        EXPECT_EQ(execWithoutFieldCodes(exec), expected) << exec;
}

class MailPathTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(bin()); }
    fs::path bin() const { return m_home.dir() / "bin"; }
    void program(const char* name, const std::string& script = "exit 0\n") const {
        write(bin() / name, "#!/bin/sh\n" + script);
        ::chmod((bin() / name).c_str(), 0755);
    }
    // A stand-in xdg-mime that answers the mailto query with `id`.
    void mailtoHandler(const std::string& id) const {
        program("xdg-mime", "[ \"$1 $2 $3\" = \"query default x-scheme-handler/mailto\" ] || "
                            "exit 1\necho " +
                                id + "\n");
    }
    Environment environment() const {
        Environment env = m_home.environment();
        env["PATH"] = bin().string();
        env["XDG_DATA_DIRS"] = (m_home.dir() / "system").string();
        return env;
    }
    MailProgramHome m_home;
};

TEST_F(MailPathTest, TheMailtoHandlersCommandComesFirst) {
    program("thunderbird");
    mailtoHandler("org.example.Mailer.desktop");
    write(m_home.dir() / "system/applications/org.example.Mailer.desktop",
          "[Desktop Entry]\nType=Application\nName=Mailer\nExec=/opt/mailer/run --new %u\n"
          "[Desktop Action Compose]\nExec=/opt/mailer/run --compose\n");
    EXPECT_EQ(GetMailPath(environment()), "/opt/mailer/run --new");
    // The user's own entry hides the system's.
    write(m_home.dir() / ".local/share/applications/org.example.Mailer.desktop",
          "[Desktop Entry]\nExec=my-mailer %U\n");
    EXPECT_EQ(GetMailPath(environment()), "my-mailer");
}

TEST_F(MailPathTest, WithoutAHandlerTheFirstKnownProgramOnThePath) {
    program("kmail");
    program("claws-mail");
    EXPECT_EQ(GetMailPath(environment()), (bin() / "claws-mail").string());
    // A handler whose desktop entry is nowhere, or a reply that is not a plain id, is no handler.
    for (const char* id : {"gone.desktop", "../../etc/passwd", "/abs/x.desktop"}) {
        mailtoHandler(id);
        EXPECT_EQ(GetMailPath(environment()), (bin() / "claws-mail").string()) << id;
    }
    program("thunderbird");
    EXPECT_EQ(GetMailPath(environment()), (bin() / "thunderbird").string());
    fs::remove_all(bin());
    EXPECT_EQ(GetMailPath(environment()), "");
}

} // namespace
} // namespace mv
