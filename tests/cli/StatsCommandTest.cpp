#include "cli/CliRunner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace mv {
namespace {

using test::CliResult;
using test::CliRunner;
using ::testing::HasSubstr;

const std::string kData = std::string(MV_TEST_DATA) + "/stats/";

class StatsCommandTest : public ::testing::Test {
protected:
    StatsCommandTest() { m_cli.clock().set(*encodeDate(2024, 5, 20) + 0.5); }
    CliResult stats(std::vector<std::string> words) {
        words.insert(words.begin(), "stats");
        return m_cli.run(words);
    }
    CliRunner m_cli;
};

TEST_F(StatsCommandTest, PrintsEveryFigureAsText) {
    CliResult r = stats({"--log", kData + "monday.txt"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(r.out.starts_with("All mailboxes from 1/1/1998 thru 5/20/2024\n\n")) << r.out;
    for (const char* line : {"\nDay of week     E-mail Check  Number Found  Number Deleted\n",
                             "\nMonday                     1             3               1\n",
                             "\n5:00 PM                    1             3               1\n",
                             "\nDay by day: E-mail Check\n5/13/2024            1\n",
                             "\nDay by day: Number Found\n5/13/2024            3\n",
                             "\nDay by day: Number Deleted\n5/13/2024            1\n",
                             "\nNormal E-mail        2    67 %\nSpam Deleted         1    33 %\n",
                             "\nTop 10 Spam Domains\n       1  bulk.example\n",
                             "\nTop 10 Spammers\n       1  spammer@bulk.example\n"})
        EXPECT_THAT(r.out, HasSubstr(line));
}

TEST_F(StatsCommandTest, JsonHoldsTheSameFigures) {
    CliResult r = stats({"--log", kData + "monday.txt", "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    for (const char* part :
         {"{\n  \"heading\": \"All mailboxes from 1/1/1998 thru 5/20/2024\",\n"
          "  \"mailbox\": \"All mailboxes\",\n  \"from\": \"1998-01-01\",\n"
          "  \"to\": \"2024-05-20\",\n",
          "{\"label\": \"Monday\", \"checks\": 1, \"found\": 3, \"deleted\": 1}",
          "{\"label\": \"5:00 PM\", \"checks\": 1, \"found\": 3, \"deleted\": 1}",
          "\"checksByDay\": [\n    {\"date\": \"2024-05-13\", \"value\": 1}\n  ],\n",
          "\"deletedShare\": {\"normal\": 2, \"deleted\": 1},\n",
          "\"topDomains\": [\n    {\"entry\": \"bulk.example\", \"count\": 1}\n  ],\n",
          "\"topSpammers\": [\n    {\"entry\": \"spammer@bulk.example\", \"count\": 1}\n  ]\n}\n"})
        EXPECT_THAT(r.out, HasSubstr(part));
}

TEST_F(StatsCommandTest, JsonEscapesLogTexts) {
    const auto log = m_cli.home() / "quoted.txt";
    std::ofstream(log) << "MAIL CHECK 1 msg(s) for \"a\\\"b\xe9\" on server h at Mon 5/13/2024 "
                          "5:04 PM\r\n";
    CliResult r = stats({"--log", log.string(), "--mailbox", "a\\\"b\xe9", "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("\"mailbox\": \"a\\\\\\\"b\xc3\xa9\""));
}

TEST_F(StatsCommandTest, MailboxAndRangeChooseTheRecords) {
    struct Case {
        std::vector<std::string> words;
        const char* heading;
        const char* tuesday; // the Tuesday row of the weekday table
    };
    const Case cases[] = {
        {{"--mailbox", "JOHN"},
         "john from 1/1/1998 thru 5/20/2024",
         "Tuesday                    2             6               3"},
        {{"--mailbox", "mary"},
         "Mary from 1/1/1998 thru 5/20/2024",
         "Tuesday                    0             0               0"},
        {{"--from", "5/15/2024", "--to", "2024-05-20"},
         "All mailboxes from 5/15/2024 thru 5/20/2024",
         "Tuesday                    0             0               0"},
        {{"--from", "5/16/2024", "--to", "5/14/2024"},
         "All mailboxes from 5/16/2024 thru 5/16/2024",
         "Tuesday                    0             0               0"},
        {{"--days", "6"},
         "All mailboxes from 5/14/2024 thru 5/20/2024",
         "Tuesday                    2             6               3"},
        {{"--days", "5"},
         "All mailboxes from 5/15/2024 thru 5/20/2024",
         "Tuesday                    0             0               0"},
        {{"--months", "1"},
         "All mailboxes from 4/20/2024 thru 5/20/2024",
         "Tuesday                    2             6               3"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> words{"--log", kData + "mixed.txt"};
        words.insert(words.end(), c.words.begin(), c.words.end());
        CliResult r = stats(words);
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_TRUE(r.out.starts_with(std::string(c.heading) + "\n")) << r.out;
        EXPECT_THAT(r.out, HasSubstr(c.tuesday)) << c.heading;
    }
}

TEST_F(StatsCommandTest, UsageErrors) {
    struct Case {
        std::vector<std::string> words;
        const char* message;
    };
    const Case cases[] = {
        {{"--from", "5/1/2024"}, "--from and --to go together"},
        {{"--to", "5/1/2024"}, "--from and --to go together"},
        {{"--months", "1", "--days", "2"}, "choose one of --from/--to, --months and --days"},
        {{"--from", "1/1/2024", "--to", "2/1/2024", "--days", "2"},
         "choose one of --from/--to, --months and --days"},
        {{"--months", "13"}, "--months must be from 1 to 12, not 13"},
        {{"--months", "0"}, "--months must be from 1 to 12, not 0"},
        {{"--days", "366"}, "--days must be from 1 to 365, not 366"},
        {{"--days", "x"}, "--days must be from 1 to 365, not x"},
        {{"--from", "yesterday", "--to", "5/1/2024"}, "unreadable date yesterday"},
        {{"--csv"}, "unknown option --csv"},
    };
    for (const Case& c : cases) {
        CliResult r = stats(c.words);
        EXPECT_EQ(r.code, 2) << c.message;
        EXPECT_TRUE(r.err.starts_with("mailvane-cli: " + std::string(c.message) + "\n")) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(StatsCommandTest, LogFromTheSettingsOrTheDefault) {
    CliResult r = stats({});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "The activity log file does not exist!  Either you have cleared/deleted the "
                     "activity log or you have not yet begun to use Mailvane.\n");

    std::filesystem::copy_file(kData + "monday.txt", m_cli.home() / "logfile.txt");
    r = stats({});
    EXPECT_EQ(r.code, 0) << r.err;

    const auto kept = m_cli.home() / "logs" / "activity.txt";
    std::filesystem::create_directories(kept.parent_path());
    std::filesystem::copy_file(kData + "mixed.txt", kept);
    m_cli.settings().writeString(Setting::Logfile, kept.string());
    r = stats({});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("Wednesday                  1             2               1"));
}

TEST_F(StatsCommandTest, ReadFailuresAndUnknownMailboxes) {
    CliResult r = stats({"--log", kData});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Could not open Activity log file for reading!\n");

    r = stats({"--log", kData + "mixed.txt", "--mailbox", "nobody"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "No check of mailbox nobody in the activity log\n");
    EXPECT_EQ(r.out, "");
}

} // namespace
} // namespace mv
