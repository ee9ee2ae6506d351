#include "app/ActivityLog.h"
#include "base/Files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace mv {
namespace {

namespace fs = std::filesystem;

DateTime at(int y, int mo, int d, int h, int mi) {
    return *encodeDate(y, mo, d) + *encodeTime(h, mi);
}

class ActivityLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("mv_log_" + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    std::string read(const fs::path& p) { return readFile(p).value_or("<missing>"); }

    fs::path m_dir;
    FixedClock m_clock{at(1998, 3, 16, 17, 4)}; // a Monday
    RegionalSettings m_regional = RegionalSettings::usEnglish();
};

TEST_F(ActivityLogTest, StampIsDayShortDateAndShortTime) {
    EXPECT_EQ(logStamp(m_clock.now(), m_regional), "Mon 3/16/1998 5:04 PM");
    EXPECT_EQ(logStamp(m_clock.now(), RegionalSettings::dayFirst24Hour()), "Mon 16/03/1998 17:04");
}

TEST_F(ActivityLogTest, EntryTextsToTheCharacter) {
    const std::string s = "Mon 3/16/1998 5:04 PM";
    EXPECT_EQ(checkEntry(3, "bob", "pop.example.com", s),
              "MAIL CHECK 3 msg(s) for \"bob\" on server pop.example.com at " + s);
    EXPECT_EQ(checkEntry(0, "a\"b", "h", s),
              "MAIL CHECK 0 msg(s) for \"a\"b\" on server h at " + s);
    EXPECT_EQ(errorEntry("Operation timed out", "bob", "h", s),
              "ERROR Operation timed out FOR bob ON h AT " + s);
    EXPECT_EQ(cancelEntry("bob", "h", s), "OPERATION CANCELED FOR bob ON h AT " + s);
    EXPECT_EQ(automaticModeEntry(true, s), "Automatic mode enabled at " + s);
    EXPECT_EQ(automaticModeEntry(false, s), "Automatic mode disabled at " + s);
    EXPECT_EQ(deletionEntry({"h", "bob", "Win\tnow", "x@y.com", "1234", "3/16/1998 5:00:01 PM"}, s),
              (std::vector<std::string>{"DELETE SPAM on " + s, "   Server:  h Mailbox: bob",
                                        "   Subject: Win\tnow", "   Sender:  x@y.com",
                                        "   Size:    1234  Date: 3/16/1998 5:00:01 PM"}));
}

TEST_F(ActivityLogTest, LineBreaksInTextsBecomeBlanks) {
    auto entry = deletionEntry({"h", "bob", "Hi\r\nMAIL CHECK 99 msg(s)", "a@b\nc", "1", "d"}, "S");
    EXPECT_EQ(entry[2], "   Subject: Hi  MAIL CHECK 99 msg(s)");
    EXPECT_EQ(entry[3], "   Sender:  a@b c");
    EXPECT_EQ(errorEntry("bad\r\nreply", "u", "h", "S"), "ERROR bad  reply FOR u ON h AT S");
}

TEST_F(ActivityLogTest, AppendsEntriesWithCrLf) {
    ActivityLog log(m_clock, m_regional);
    log.setPath(m_dir / "logfile.txt");
    log.writeCheck(2, "bob", "h");
    log.writeDeletions({deletionEntry({"h", "bob", "s", "x@y", "10", "d"}, log.stamp())});
    log.writeCancel("bob", "h");
    log.writeError("Operation has been canceled", "bob", "h");
    log.writeAutomaticMode(true);
    EXPECT_EQ(read(m_dir / "logfile.txt"),
              "MAIL CHECK 2 msg(s) for \"bob\" on server h at Mon 3/16/1998 5:04 PM\r\n"
              "DELETE SPAM on Mon 3/16/1998 5:04 PM\r\n"
              "   Server:  h Mailbox: bob\r\n"
              "   Subject: s\r\n"
              "   Sender:  x@y\r\n"
              "   Size:    10  Date: d\r\n"
              "OPERATION CANCELED FOR bob ON h AT Mon 3/16/1998 5:04 PM\r\n"
              "ERROR Operation has been canceled FOR bob ON h AT Mon 3/16/1998 5:04 PM\r\n"
              "Automatic mode enabled at Mon 3/16/1998 5:04 PM\r\n");
}

TEST_F(ActivityLogTest, BlankPathWritesNothing) {
    ActivityLog log(m_clock, m_regional);
    int reports = 0;
    log.onFailure([&](const std::string&) { ++reports; });
    EXPECT_TRUE(log.append({"x"}));
    log.writeCheck(1, "u", "h");
    EXPECT_EQ(reports, 0);
    EXPECT_TRUE(fs::is_empty(m_dir));
}

TEST_F(ActivityLogTest, UnopenableLogIsReportedOnce) {
    ActivityLog log(m_clock, m_regional);
    std::vector<std::string> reports;
    log.onFailure([&](const std::string& m) { reports.push_back(m); });
    log.setPath(m_dir / "missing" / "logfile.txt");
    log.writeCheck(1, "u", "h");
    log.writeError("e", "u", "h");
    EXPECT_FALSE(log.append({"x"}));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find((m_dir / "missing" / "logfile.txt").string()), std::string::npos);

    log.setPath(m_dir / "logfile.txt"); // a working path writes again
    log.writeCheck(1, "u", "h");
    EXPECT_EQ(reports.size(), 1u);
    EXPECT_NE(read(m_dir / "logfile.txt").find("MAIL CHECK 1"), std::string::npos);
}

TEST_F(ActivityLogTest, LogNaming) {
    struct Case {
        const char* field;
        LogNaming naming;
        DateTime now;
        const char* expected;
    };
    const Case cases[] = {
        {"/logs/logfile.txt", LogNaming::AsIs, at(1998, 3, 5, 9, 0), "/logs/logfile.txt"},
        {"/logs/logfile.txt", LogNaming::Month, at(1998, 3, 5, 9, 0), "/logs/Mar98.txt"},
        {"/logs/logfile.txt", LogNaming::Quarter, at(1998, 3, 5, 9, 0), "/logs/Q1_98.txt"},
        {"/logs/Jan98.txt", LogNaming::Quarter, at(2005, 12, 31, 9, 0), "/logs/Q4_05.txt"},
        {"", LogNaming::AsIs, at(1998, 3, 5, 9, 0), "/home/mv/logfile.txt"},
        {"", LogNaming::Month, at(2026, 12, 9, 9, 0), "/home/mv/Dec26.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(workOutLogName(c.field, c.naming, "/home/mv", c.now, m_regional).string(),
                  c.expected)
            << c.field;
}

} // namespace
} // namespace mv
