// mailvane-cli's check, show, log, auto and demo commands, run in-process against a real Dovecot.
#include "base/Files.h"
#include "cli/CliRunner.h"
#include "mail/ViewerText.h"
#include "support/DovecotSuite.h"
#include "support/HostileServer.h"
#include "support/SilentUdpPort.h"

#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>

namespace mv {
namespace {

using test::DovecotServer;

class CliCommandsTest : public test::DovecotSuite {
protected:
    void SetUp() override {
        DovecotSuite::SetUp();
        if (IsSkipped()) return;
        writeFileAtomically(cli.home() / "mailvane.ini", "[Known]\r\nValid=0\r\n");
        writeFileAtomically(cli.home() / "subj.lst",
                            "6,2\r\n1,1,Contains\r\n2,1,viagra\r\n3,1,No\r\n4,1,Yes\r\n5,1,0\r\n");
        SettingsStore settings = cli.settings();
        settings.saveAccount(1, {server->plainServer(), DovecotServer::kUser,
                                 DovecotServer::kPassword, TlsMode::None, ""});
        settings.writeString(Setting::Logfile, (cli.home() / "log.txt").string());
        server->deliver("Subject: Hello\r\nFrom: a@example.com\r\n\r\nHi there\r\n");
        server->deliver("Subject: viagra \"now\"\r\nFrom: s@spam.example\r\n\r\nBuy\r\n");
    }
    test::CliRunner cli;
};

TEST_F(CliCommandsTest, CheckPrintsTheListAndTheTotal) {
    auto r = cli.run({"check", "--explain"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Mailbox 1: bob on " + server->plainServer()), std::string::npos);
    EXPECT_NE(r.out.find("   2 delete"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("      Delete   :  Subject Contains \"viagra\""), std::string::npos);
    EXPECT_TRUE(r.out.ends_with("Message Total: 2 Number Marked: 1\n")) << r.out;
    EXPECT_EQ(server->messagesOnDisk(), 2u);
}

TEST_F(CliCommandsTest, CheckJson) {
    auto r = cli.run({"check", "--json"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find("\"messages\"")),
              "{\"mailbox\":1,\"server\":\"" + server->plainServer() + "\",\"user\":\"bob\",");
    EXPECT_NE(r.out.find("{\"number\":2,\"index\":1,\"subject\":\"viagra \\\"now\\\"\","
                         "\"sender\":\"s@spam.example\""),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"mark\":0,\"delete\":true,\"reasons\":[]}],\"deleted\":0}\n"),
              std::string::npos)
        << r.out;
    auto all = cli.run({"check", "--all", "--json"});
    EXPECT_TRUE(all.out.starts_with("[{\"mailbox\":1,")) << all.out;
}

TEST_F(CliCommandsTest, DeleteWithoutTerminalOrYesDeletesNothing) {
    auto r = cli.run({"check", "--delete"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("Really delete 1 messages from server? - no terminal to ask"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(server->messagesOnDisk(), 2u);
}

TEST_F(CliCommandsTest, MarkUnmarkAndDelete) {
    auto r = cli.run({"check", "--mark", "1", "--unmark", "2", "--delete", "--yes"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("There were 1 messages deleted"), std::string::npos) << r.out;
    ASSERT_EQ(server->messagesOnDisk(), 1u);
    auto left = cli.run({"show", "1", "--headers"});
    EXPECT_NE(left.out.find("Subject : viagra \"now\" Sender : s@spam.example"), std::string::npos)
        << left.out;
    std::string log = cli.run({"log"}).out;
    EXPECT_NE(log.find("DELETE SPAM on "), std::string::npos) << log;
    EXPECT_NE(log.find("   Subject: Hello\r\n"), std::string::npos);
    EXPECT_EQ(cli.run({"check", "--mark", "7", "--delete", "--yes"}).code, 1);
    EXPECT_EQ(cli.run({"check", "--mark", "x"}).code, 2);
}

TEST_F(CliCommandsTest, ShowPrintsTheBody) {
    auto unlisted = cli.run({"show", "1"});
    EXPECT_EQ(unlisted.code, 1);
    EXPECT_EQ(unlisted.err, "Error: mailbox 1 has no listing to show from; list it first with: "
                            "mailvane-cli check --mailbox 1\n");
    ASSERT_EQ(cli.run({"check"}).code, 0);
    auto r = cli.run({"show", "1"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Hi there\n");
    EXPECT_EQ(cli.run({"show", "3"}).code, 1);
}

// Lines that start with a dot reach the screen as sent, while the saved file keeps the server's
// bytes: each such line stuffed with a second dot and the reply's closing "." line.
TEST_F(CliCommandsTest, ShowGivesDottedLinesAsSent) {
    server->deliver("Subject: Dots\r\n\r\n.hidden\r\n..two\r\n.\r\nlast..\r\n.\r\n");
    ASSERT_EQ(cli.run({"check"}).code, 0);
    auto r = cli.run({"show", "3"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, ".hidden\n..two\n.\nlast..\n.\n");
    std::string saved = readFile(cli.home() / "msg_2.eml").value();
    EXPECT_TRUE(saved.ends_with("\r\n\r\n..hidden\r\n...two\r\n..\r\nlast..\r\n..\r\n.\r\n"))
        << saved;
}

// Shapes of mail met in the wild, delivered to the server and shown by number: the text is the one
// the viewer gives for the file itself, and holds what only a right decoding shows; where the
// header fields are what goes wrong, `show N --headers` holds the line they give.
TEST_F(CliCommandsTest, ShowDecodesRealWorldMail) {
    struct Case {
        const char* file;
        const char* shown;
        const char* headerLine = nullptr;
    };
    const Case cases[] = {
        {"forward_single.eml", "Subject: Original\n\nOriginal text\n"},
        {"forward_first.eml", "Subject: Original\n\nOriginal text\n"},
        {"forward_mixed.eml", "See below.\n\n-------- Forwarded message --------\n"},
        {"nested_mixed.eml", "Text inside a nested mixed part\n"},
        {"nested_deep.eml", "Deep plain text\n"},
        {"no_subtype.eml", "Text of a type without subtype\n"},
        {"garbage_type.eml", "Text of an unreadable type\n"},
        {"rfc2231_signed.eml", "Signed caf\xC3\xA9 text\n"},
        {"rfc2231_long.eml", "Two files with long names.\n"},
        {"multipart_named.eml", "The guide is attached.\n"},
        {"no_mime_version.eml", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, Bob\n"},
        {"quoted_local.eml", "could not be delivered.\n",
         "Subject : Undeliverable: Test Sender : \"System Administrator\"@example.com\n"},
        {"cr_subject.eml", "Subject: Bericht  Erg\xC3\xA4nzung!\n\nReport text\n",
         "Subject : Fwd: Bericht  Erg\xC3\xA4nzung! Sender : ann@example.com\n"},
        {"utf7_signature.eml", "> Are you coming at 5 + 1?\n-- \nAnn \xEF\xBF\xBD sent"},
    };
    std::vector<std::string> raw;
    for (const Case& c : cases) {
        raw.push_back(readFile(std::string(MV_TEST_DATA) + "/mail/" + c.file).value());
        server->deliver(raw.back());
    }
    ASSERT_EQ(cli.run({"check"}).code, 0);
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const Case& c = cases[i];
        std::string number = std::to_string(i + 3); // after the two of SetUp
        auto r = cli.run({"show", number});
        EXPECT_EQ(r.code, 0) << c.file << r.err;
        EXPECT_EQ(r.out, viewerText(raw[i]) + "\n") << c.file;
        EXPECT_NE(r.out.find(c.shown), std::string::npos) << c.file << "\n" << r.out;
        if (!c.headerLine) continue;
        auto headers = cli.run({"show", number, "--headers"});
        EXPECT_NE(headers.out.find(c.headerLine), std::string::npos) << c.file << "\n"
                                                                      << headers.out;
    }
}

// Viewing downloads the one message, checked against the saved listing: no new listing, no
// screening, no name-server query.
TEST_F(CliCommandsTest, ShowNeitherListsNorScreens) {
    ASSERT_EQ(cli.run({"check"}).code, 0);
    test::SilentUdpPort nameServer;
    writeFileAtomically(cli.home() / "mailvane.ini", "[Known]\r\nValid=1\r\n");
    SettingsStore settings = cli.settings();
    settings.writeString(Setting::DNSAddress, "127.0.0.1");
    settings.writeInteger(Setting::DNSPort, nameServer.port());
    server->deliver("Subject: Later\r\nFrom: l@late.example\r\n\r\nArrived later\r\n");

    auto r = cli.run({"show", "2"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Buy\n");
    auto headers = cli.run({"show", "2", "--headers"});
    EXPECT_NE(headers.out.find("Subject : viagra \"now\" Sender : s@spam.example\n"),
              std::string::npos)
        << headers.out;
    EXPECT_FALSE(nameServer.received());
    std::string log = cli.run({"log"}).out;
    ASSERT_NE(log.find("MAIL CHECK"), std::string::npos) << log;
    EXPECT_EQ(log.find("MAIL CHECK"), log.rfind("MAIL CHECK")) << log; // the one check only
    // The message that arrived after the listing is not in it.
    EXPECT_EQ(cli.run({"show", "3"}).code, 1);
}

TEST_F(CliCommandsTest, ShowRefusesAMessageNoLongerTheOneListed) {
    std::filesystem::path third = server->deliver("Subject: Third\r\n\r\nthird\r\n");
    ASSERT_EQ(cli.run({"check"}).code, 0);
    server->removeOnDisk(third);
    server->deliver("Subject: Fourth\r\n\r\nfourth\r\n"); // now number 3 on the server
    auto r = cli.run({"show", "3"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("Message 3 (\"Third\") is no longer the one listed; the mailbox changed "
                         "on the server, so it was not downloaded"),
              std::string::npos)
        << r.err;
}

TEST_F(CliCommandsTest, AutoOnceAndLogClear) {
    auto r = cli.run({"auto", "--once"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Mailvane - Now checking e-mail for bob\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Mailvane - MailBox bob - 2 messages\n"), std::string::npos) << r.out;
    EXPECT_NE(cli.run({"log"}).out.find("MAIL CHECK 2 msg(s)"), std::string::npos);
    EXPECT_EQ(cli.run({"log", "--clear"}).code, 0);
    EXPECT_EQ(cli.run({"log"}).code, 1);
}

// Automatic checking from the command line is for that run only: with Kill on it deletes, and a
// later desktop start still finds manual mode.
TEST_F(CliCommandsTest, AutoWithKillLeavesTheStoredModeAlone) {
    cli.settings().writeBool(Setting::Kill, true);
    auto r = cli.run({"auto", "--once"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(server->messagesOnDisk(), 1u);
    GeneralSettings stored = cli.settings().ReadGeneralSettings();
    EXPECT_FALSE(stored.automatic);
    EXPECT_EQ(stored.count, 1);
}

// A LIST reply whose size cannot be read: the row's size is unknown, not 0, so the limit for
// small messages passes it over, and the explanation says why.
TEST(CheckCommandTest, UnreadableSizeIsUnknownToTheSizeLimits) {
    test::HostileServer server([](test::HostilePeer& peer, const std::atomic<bool>&) {
        peer.send("+OK ready\r\n");
        for (std::string line = peer.readLine(); !line.empty(); line = peer.readLine()) {
            std::string verb = line.substr(0, line.find(' '));
            if (verb == "CAPA")
                peer.send("+OK\r\nUSER\r\n.\r\n");
            else if (verb == "STAT")
                peer.send("+OK 1 20\r\n");
            else if (verb == "LIST")
                peer.send("+OK 1 1e20\r\n");
            else if (verb == "TOP")
                peer.send("+OK\r\nSubject: s\r\n\r\n.\r\n");
            else
                peer.send("+OK\r\n");
        }
    });
    test::CliRunner cli;
    writeFileAtomically(cli.home() / "mailvane.ini",
                        "[Known]\r\nValid=0\r\n[Smaller]\r\nQSmaller=1\r\nNum=6000\r\nCheck=1\r\n");
    SettingsStore settings = cli.settings();
    settings.saveAccount(1, {server.address(), "bob", "secret", TlsMode::None, ""});
    auto r = cli.run({"check", "--json", "--explain"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("\"size\":null,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"mark\":-1,\"delete\":false"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"Size unknown: the server gave no size that could be read"),
              std::string::npos)
        << r.out;
}

// An exception spares the sender of the "viagra" message. When a rule file cannot be read in
// any of the ways a home file goes bad, the list is still shown, but neither a deletion by hand
// nor an automatic run with Kill deletes anything, the file is named, and the command fails.
TEST_F(CliCommandsTest, NothingIsDeletedWhileARuleFileCannotBeRead) {
    namespace fs = std::filesystem;
    const fs::path home = cli.home();
    const std::string exception =
        "7,2\r\n0,1,E-mail address\r\n1,1,Equals\r\n2,1,s@spam.example\r\n3,1,No\r\n4,1,0\r\n";
    struct Case {
        const char* file;
        std::function<void(const fs::path&)> damage;
    };
    const Case cases[] = {
        {"except.lst", [](const fs::path& f) { writeFileAtomically(f, "\x93\x07\xfe\x01zq"); }},
        {"except.lst", [](const fs::path& f) { writeFileAtomically(f, ""); }},
        {"except.lst", [](const fs::path& f) { fs::create_directory(f); }},
        {"except.lst", [](const fs::path& f) { fs::create_symlink("/dev/zero", f); }},
        {"known.lst", [](const fs::path& f) { ASSERT_EQ(::mkfifo(f.c_str(), 0600), 0); }},
    };
    cli.settings().writeBool(Setting::Kill, true);
    for (const Case& c : cases) {
        writeFileAtomically(home / "except.lst", exception);
        fs::remove(home / c.file);
        c.damage(home / c.file);
        for (const std::vector<std::string>& command :
             {std::vector<std::string>{"check", "--delete", "--yes"},
              std::vector<std::string>{"auto", "--once"}}) {
            auto r = cli.run(command);
            EXPECT_EQ(r.code, 1) << command[0] << " " << c.file;
            EXPECT_NE(r.err.find("Nothing was deleted, since not all rules could be read: "),
                      std::string::npos)
                << r.err;
            EXPECT_NE(r.err.find((home / c.file).string()), std::string::npos) << r.err;
            EXPECT_EQ(server->messagesOnDisk(), 2u) << command[0] << " " << c.file;
            if (command[0] == "check") {
                EXPECT_NE(r.out.find("Message Total: 2"), std::string::npos);
            }
        }
        fs::remove(home / c.file);
    }
    writeFileAtomically(home / "except.lst", exception); // the rules whole again: spared
    EXPECT_EQ(cli.run({"auto", "--once"}).code, 0);
    EXPECT_EQ(server->messagesOnDisk(), 2u);
}

TEST(DemoCommandTest, ChecksTheBundledMailbox) {
    test::CliRunner cli;
    auto r = cli.run({"demo"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Message Total: 20 Number Marked: 8"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("is on the KNOWN SPAMMER BLACKLIST"), std::string::npos);
    EXPECT_NE(r.out.find("You are a winner: claim your prize"), std::string::npos); // decoded
    EXPECT_NE(r.out.find("MAIL CHECK 20 msg(s) for \"demo\""), std::string::npos);
}

} // namespace
} // namespace mv
