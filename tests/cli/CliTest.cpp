#include "cli/CliRunner.h"

#include "app/settings/HomeLock.h"
#include "cli/Arguments.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

using test::CliResult;
using test::CliRunner;

TEST(Cli, UsageAndExitCodes) {
    struct Case {
        std::vector<std::string> words;
        int code;
        const char* errStart; // what stderr starts with; empty: nothing on stderr
    };
    const Case cases[] = {
        {{}, 2, "mailvane-cli: missing command\nUsage: mailvane-cli [--home DIR] accounts list\n"},
        {{"--home"}, 2, "mailvane-cli: option --home needs a value\nUsage:"},
        {{"--help"}, 0, ""},
        {{"help"}, 0, ""},
        {{"frobnicate"}, 2, "mailvane-cli: unknown command frobnicate\nUsage:"},
        {{"--verbose", "accounts", "list"}, 2, "mailvane-cli: unknown option --verbose\n"},
        {{"accounts", "list", "--help"}, 0, ""},
        {{"accounts"},
         2,
         "mailvane-cli: missing accounts action (list, set, clear or choose)\n"
         "Usage: mailvane-cli [--home DIR] accounts list\n"
         "       mailvane-cli [--home DIR] accounts set N"},
        {{"accounts", "list", "extra"}, 2, "mailvane-cli: unexpected argument extra\n"},
        {{"accounts", "list", "--all"}, 2, "mailvane-cli: unknown option --all\n"},
    };
    for (const Case& c : cases) {
        CliRunner cli;
        CliResult r = cli.run(c.words);
        std::string shown = testing::PrintToString(c.words);
        EXPECT_EQ(r.code, c.code) << shown;
        EXPECT_TRUE(r.err.starts_with(c.errStart)) << shown << "\n" << r.err;
        if (*c.errStart == '\0') {
            EXPECT_EQ(r.err, "") << shown;
        }
    }
}

TEST(Cli, HelpListsEveryCommand) {
    CliResult r = CliRunner().run({"--help"});
    EXPECT_NE(r.out.find("mailvane-cli [--home DIR] accounts choose N\n"), std::string::npos);
    EXPECT_NE(r.out.find("mailvane-cli [--home DIR] options [KEY [VALUE]]\n"), std::string::npos);
}

TEST(Cli, HomeComesFromTheOptionOrTheEnvironment) {
    CliRunner cli;
    test::TempHome other;
    cli.m_variables = {{"MAILVANE_HOME", other.dir().string()}};
    EXPECT_EQ(cli.runBare({"options", "Minutes", "30"}).code, 0);
    EXPECT_TRUE(std::filesystem::exists(other.dir() / "settings.ini"));
    EXPECT_EQ(cli.runBare({"--home=" + cli.home().string(), "options", "Minutes"}).out, "10\n");

    cli.m_variables.clear();
    CliResult r = cli.runBare({"options"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "No home folder: set HOME or MAILVANE_HOME\n");
}

TEST(Cli, SecondProcessWaitsForTheLockThenFails) {
    CliRunner cli;
    {
        HomeLock held(cli.home() / "mailvane.lock");
        CliResult r = cli.run({"options", "Kill", "1"});
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, "Another Mailvane program is using " + cli.home().string() +
                             "; try again when it has finished.\n");
        EXPECT_EQ(cli.settings().optionText(Setting::Kill), "0");
    }
    EXPECT_EQ(cli.run({"options", "Kill", "1"}).code, 0);
}

TEST(Cli, UnreadableSettingsAreAnError) {
    CliRunner cli;
    std::filesystem::create_directory(cli.home() / "settings.ini"); // a folder in the way
    CliResult r = cli.run({"options"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.starts_with("Unable to read " + (cli.home() / "settings.ini").string()))
        << r.err;
}

TEST(Arguments, OptionsFlagsAndWordsInAnyOrder) {
    cli::Arguments args({"set", "--server=pop", "3", "--yes", "--user", "ann"});
    EXPECT_EQ(args.option("--server"), "pop");
    EXPECT_EQ(args.option("--user"), "ann");
    EXPECT_EQ(args.option("--security"), std::nullopt);
    EXPECT_TRUE(args.flag("--yes"));
    EXPECT_FALSE(args.flag("--yes"));
    EXPECT_EQ(args.next("action"), "set");
    EXPECT_EQ(args.nextMailbox(), 3);
    EXPECT_EQ(args.nextIfAny(), std::nullopt);
    EXPECT_NO_THROW(args.finish());
}

TEST(Arguments, RefusesWhatDoesNotFit) {
    struct Case {
        std::vector<std::string> words;
        std::function<void(cli::Arguments&)> use;
        const char* message;
    };
    const Case cases[] = {
        {{"--server"},
         [](cli::Arguments& a) { a.option("--server"); },
         "option --server needs a value"},
        {{"--user", "a", "--user=b"},
         [](cli::Arguments& a) { a.option("--user"); },
         "option --user is given twice"},
        {{}, [](cli::Arguments& a) { a.next("thing"); }, "missing thing"},
        {{"13"},
         [](cli::Arguments& a) { a.nextMailbox(); },
         "mailbox number must be from 1 to 12, not 13"},
        {{"4294967297"},
         [](cli::Arguments& a) { a.nextMailbox(); },
         "mailbox number must be from 1 to 12, not 4294967297"},
        {{"one"},
         [](cli::Arguments& a) { a.nextMailbox(); },
         "mailbox number must be from 1 to 12, not one"},
        {{"--what"}, [](cli::Arguments& a) { a.finish(); }, "unknown option --what"},
    };
    for (const Case& c : cases) {
        cli::Arguments args(c.words);
        try {
            c.use(args);
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const cli::UsageError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
}

} // namespace
} // namespace mv
