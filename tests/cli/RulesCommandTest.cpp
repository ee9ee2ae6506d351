#include "cli/CliRunner.h"

#include "base/Files.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

using test::CliResult;
using test::CliRunner;

void copyFixture(const CliRunner& cli, const char* name) {
    std::filesystem::copy_file(std::filesystem::path(MV_TEST_DATA) / "screening" / name,
                               cli.home() / name);
}

TEST(RulesCommand, ListsOneTableOrAll) {
    CliRunner cli;
    copyFixture(cli, "subj.lst");
    CliResult r = cli.run({"rules", "list", "subject"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "#\tWhat\tMatches\tCase\tDel?\tHits\n1\tContains\tfree\tNo\tYes\t4\n");

    r = cli.run({"rules", "list"});
    EXPECT_EQ(r.out,
              "[subject]\n#\tWhat\tMatches\tCase\tDel?\tHits\n1\tContains\tfree\tNo\tYes\t4\n"
              "\n[header]\n#\tWhat\tMatches\tCase\tDel?\tHits\n"
              "\n[sender]\n#\tWhat\tCondition\tMatches\tDel?\tHits\n"
              "\n[exceptions]\n#\tWhat\tCondition\tMatches\tCase?\tHits\tPicture\n");
    EXPECT_EQ(cli.run({"rules", "list", "bodies"}).code, 2);
}

TEST(RulesCommand, ShowsEachRuleOnOneLine) {
    CliRunner cli;
    // A rule text holding a line break (stored as TAB) and an exception of the old 5-column layout.
    writeFileAtomically(cli.home() / "header.lst",
                        "6,2\r\n1,1,Contains\r\n2,1,X-A:\tX-B\r\n3,1,No\r\n4,1,No\r\n5,1,0\r\n");
    writeFileAtomically(cli.home() / "except.lst",
                        "5,2\r\n0,1,Domain name\r\n1,1,Equals\r\n2,1,friend.org\r\n3,1,No\r\n"
                        "4,1,2\r\n");
    CliResult r = cli.run({"rules", "list", "header"});
    EXPECT_EQ(r.out, "#\tWhat\tMatches\tCase\tDel?\tHits\n1\tContains\tX-A: X-B\tNo\tNo\t0\n");
    r = cli.run({"rules", "list", "exceptions"});
    EXPECT_EQ(r.out, "#\tWhat\tCondition\tMatches\tCase?\tHits\tPicture\n"
                     "1\tDomain name\tEquals\tfriend.org\tNo\t2\t3\n");
}

TEST(RulesCommand, CorruptTableIsReportedAndFails) {
    CliRunner cli;
    writeFileAtomically(cli.home() / "from.lst", "0,0\r\n");
    CliResult r = cli.run({"rules", "list", "sender"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err,
              "File contains no data or corrupt file " + (cli.home() / "from.lst").string() + "\n");
    EXPECT_EQ(cli.run({"rules", "list", "subject"}).code, 0) << "other tables still list";
}

TEST(RulesCommand, ImportsKeywordsAndAddresses) {
    CliRunner cli;
    copyFixture(cli, "subj.lst");
    writeFileAtomically(cli.home() / "words.txt", "free\r\nfree\r\nFREE\r\n  \r\n cash \r\n");
    CliResult r = cli.run({"rules", "import-keywords", (cli.home() / "words.txt").string()});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "3 subject rules added.\n");
    EXPECT_EQ(cli.run({"rules", "list", "subject"}).out,
              "#\tWhat\tMatches\tCase\tDel?\tHits\n1\tContains\tfree\tNo\tYes\t4\n"
              "2\tContains (whole word)\tfree\tNo\tYes\t0\n"
              "3\tContains (whole word)\tFREE\tNo\tYes\t0\n"
              "4\tContains (whole word)\tcash\tNo\tYes\t0\n");

    r = cli.run({"rules", "import-addresses", "-"}, "ann@friend.org\n");
    EXPECT_EQ(r.out, "1 exception added.\n");
    EXPECT_EQ(cli.run({"rules", "list", "exceptions"}).out,
              "#\tWhat\tCondition\tMatches\tCase?\tHits\tPicture\n"
              "1\tE-mail address\tEquals\tann@friend.org\tNo\t0\t3\n");
}

TEST(RulesCommand, ImportNeverSavesOverATableThatDidNotLoad) {
    CliRunner cli;
    writeFileAtomically(cli.home() / "subj.lst", "garbage\r\n");
    CliResult r = cli.run({"rules", "import-keywords", "-"}, "free\n");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(readFile(cli.home() / "subj.lst"), "garbage\r\n");

    r = cli.run({"rules", "import-keywords", (cli.home() / "missing.txt").string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "File " + (cli.home() / "missing.txt").string() + " not found\n");
}

} // namespace
} // namespace mv
