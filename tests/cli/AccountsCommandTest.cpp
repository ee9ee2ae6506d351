#include "cli/CliRunner.h"

#include "base/Files.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

using test::CliResult;
using test::CliRunner;

const std::string kPrint = "AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:"
                           "89:AB:CD:EF:01:23:45:67:89";

TEST(AccountsCommand, SetListChooseClear) {
    CliRunner cli;
    EXPECT_EQ(cli.run({"accounts", "list"}).out, "No mailbox is set up.\n");

    CliResult r = cli.run({"accounts", "set", "3", "--server", "[::1]:1110", "--user", "bob",
                           "--password-stdin", "--security", "TLS", "--fingerprint",
                           "abcdef0123456789abcdef0123456789abcdef0123456789abcdef0123456789"},
                          "s3cret\r\n");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "3) Mailbox bob - Server [::1]:1110 (tls, fingerprint " + kPrint + ")\n");
    EXPECT_EQ(cli.run({"accounts", "set", "1", "--server", "pop.one", "--user", "ann",
                       "--password-stdin"},
                      "pw\n")
                  .code,
              0);

    EXPECT_EQ(cli.run({"accounts", "list"}).out,
              "* 1) Mailbox ann - Server pop.one (starttls)\n"
              "  3) Mailbox bob - Server [::1]:1110 (tls, fingerprint " +
                  kPrint + ")\n");
    MailboxAccount stored = cli.settings().readServerSettings().accounts[3];
    EXPECT_EQ(stored.password, "s3cret");
    EXPECT_EQ(stored.security, TlsMode::Tls);

    EXPECT_EQ(cli.run({"accounts", "choose", "3"}).code, 0);
    EXPECT_EQ(cli.settings().readServerSettings().accounts.which, 3);
    EXPECT_EQ(cli.run({"accounts", "clear", "3"}).code, 0);
    EXPECT_EQ(cli.run({"accounts", "list"}).out, "  1) Mailbox ann - Server pop.one (starttls)\n");
}

TEST(AccountsCommand, SetChangesOnlyWhatIsGiven) {
    CliRunner cli;
    cli.run({"accounts", "set", "2", "--server", "pop", "--user", "ann", "--password-stdin"}, "pw");
    CliResult r = cli.run({"accounts", "set", "2", "--security", "none", "--fingerprint", ""});
    EXPECT_EQ(r.code, 0) << r.err;
    MailboxAccount a = cli.settings().readServerSettings().accounts[2];
    EXPECT_EQ(a.server, "pop");
    EXPECT_EQ(a.user, "ann");
    EXPECT_EQ(a.password, "pw");
    EXPECT_EQ(a.security, TlsMode::None);
}

TEST(AccountsCommand, RefusesInvalidAccounts) {
    struct Case {
        std::vector<std::string> words;
        std::string input;
        int code;
        std::string err; // its first line
    };
    const Case cases[] = {
        {{"set", "5", "--server", "pop"}, "", 1, "Mailbox 5 has a server pop but no mailbox"},
        {{"set", "5", "--user", "ann"}, "", 1, "Mailbox 5 ann has a blank server"},
        {{"set", "5", "--server", "pop", "--user", "ann"},
         "",
         1,
         "Mailbox 5 - there is no password set"},
        {{"set", "5", "--server", "pop", "--user", "ann", "--password-stdin"},
         "\n",
         1,
         "Mailbox 5 - there is no password set"},
        {{"set", "5", "--server", "pop:99999", "--user", "ann"},
         "",
         2,
         "mailvane-cli: server must be host, host:port or [IPv6]:port, not pop:99999"},
        {{"set", "5", "--server", "pop", "--security", "ssl"},
         "",
         2,
         "mailvane-cli: security mode must be tls, starttls, starttls-if-offered or none"},
        {{"set", "5", "--fingerprint", "12:34"},
         "",
         2,
         "mailvane-cli: fingerprint must be the 64 hexadecimal digits of a SHA-256 hash"},
        {{"set", "5", "--user", "a\r\nPASS x"},
         "",
         2,
         "mailvane-cli: user name must not contain a line break"},
        {{"set", "0", "--server", "pop"},
         "",
         2,
         "mailvane-cli: mailbox number must be from 1 to 12, not 0"},
        {{"choose", "4"}, "", 1, "Mailbox 4 is not set up."},
        {{"rename", "4"}, "", 2, "mailvane-cli: unknown accounts action rename"},
    };
    for (const Case& c : cases) {
        CliRunner cli;
        std::vector<std::string> words = c.words;
        words.insert(words.begin(), "accounts");
        CliResult r = cli.run(words, c.input);
        EXPECT_EQ(r.code, c.code) << c.err;
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')), c.err);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(cli.settings().readServerSettings().accounts[5], MailboxAccount{}) << c.err;
    }
}

TEST(AccountsCommand, ListShowsUnreadableStoredValuesOnStderr) {
    CliRunner cli;
    writeFileAtomically(cli.home() / "settings.ini",
                        "[Server]\r\nServer2=pop\r\nMailbox2=ann\r\nPasswd2=nothex\r\n");
    CliResult r = cli.run({"accounts", "list"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "  2) Mailbox ann - Server pop (starttls, no password)\n");
    EXPECT_EQ(r.err, "The stored password of mailbox 2 cannot be read; please enter it again.\n");
}

TEST(AccountsCommand, ListSaysWhenTheSettingsFileIsDamaged) {
    CliRunner cli;
    writeFileAtomically(cli.home() / "settings.ini", "\x1f\x8b\x08garbage\r\n");
    CliResult r = cli.run({"accounts", "list"});
    EXPECT_TRUE(
        r.err.starts_with("The file " + (cli.home() / "settings.ini").string() +
                          " could not be read: line 1 is neither a section, a key=value line nor a "
                          "comment. It was kept as "))
        << r.err;
}

} // namespace
} // namespace mv
