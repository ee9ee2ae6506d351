#include "cli/CliRunner.h"

#include "base/Files.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

using test::CliResult;
using test::CliRunner;

TEST(KnownCommand, AddListRemoveKeepsTheFileSorted) {
    CliRunner cli;
    CliResult r = cli.run({"known", "list"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Could not locate the known spammer blacklist!\n");

    EXPECT_EQ(cli.run({"known", "add", "spam.example"}).code, 0);
    EXPECT_EQ(cli.run({"known", "add", " Bulk@mail.example "}).code, 0);
    EXPECT_EQ(cli.run({"known", "add", "aaa.example"}).code, 0);
    r = cli.run({"known", "add", "SPAM.EXAMPLE"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "SPAM.EXAMPLE is already on the list.\n");
    EXPECT_EQ(readFile(cli.home() / "known.lst"),
              "aaa.example\r\nBulk@mail.example\r\nspam.example\r\n");
    EXPECT_EQ(cli.run({"known", "list"}).out, "aaa.example\nBulk@mail.example\nspam.example\n");

    EXPECT_EQ(cli.run({"known", "remove", "bulk@MAIL.example"}).code, 0);
    r = cli.run({"known", "remove", "bulk@mail.example"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "bulk@mail.example is not on the list.\n");
    EXPECT_EQ(readFile(cli.home() / "known.lst"), "aaa.example\r\nspam.example\r\n");
}

TEST(KnownCommand, RefusesEntriesTheListWouldDrop) {
    const std::pair<const char*, const char*> cases[] = {
        {"  ", "mailvane-cli: an empty entry would match every message without a sender"},
        {"12345@spam.example",
         "mailvane-cli: numeric addresses such as 12345@spam.example are not kept on the list"},
        {"@spam.example",
         "mailvane-cli: numeric addresses such as @spam.example are not kept on the list"},
    };
    for (auto [entry, message] : cases) {
        CliRunner cli;
        CliResult r = cli.run({"known", "add", entry});
        EXPECT_EQ(r.code, 2) << entry;
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')), message);
        EXPECT_FALSE(std::filesystem::exists(cli.home() / "known.lst"));
    }
}

} // namespace
} // namespace mv
