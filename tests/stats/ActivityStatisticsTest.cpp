#include "stats/ActivityStatistics.h"

#include "base/Files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace mv {
namespace {

const std::filesystem::path kData = std::filesystem::path(MV_TEST_DATA) / "stats";

DateTime date(int y, int m, int d) {
    return *encodeDate(y, m, d);
}

class RecordingListener : public LogReadListener {
public:
    void showError(std::string_view text) override { errors.emplace_back(text); }
    void progressStarted(std::uintmax_t max) override { maximum = max; }
    void progressAt(std::uintmax_t position) override { positions.push_back(position); }
    void progressEnded() override { ended = true; }

    std::vector<std::string> errors;
    std::uintmax_t maximum = 0;
    std::vector<std::uintmax_t> positions;
    bool ended = false;
};

class ActivityStatisticsTest : public ::testing::Test {
protected:
    ActivityStatistics& read(const std::string& file,
                             RegionalSettings rs = RegionalSettings::usEnglish()) {
        m_stats.emplace(std::move(rs), m_clock);
        EXPECT_TRUE(m_stats->readInLogFile(kData / file, m_listener)) << file;
        return *m_stats;
    }
    // A log file of the given text in the test's temporary folder.
    std::filesystem::path writeLog(std::string_view text) {
        auto path = std::filesystem::path(::testing::TempDir()) /
                    ("stats-log-" + std::to_string(::getpid()) + ".txt");
        writeFileAtomically(path, text);
        return path;
    }

    FixedClock m_clock{date(2024, 6, 1) + 0.5};
    RecordingListener m_listener;
    std::optional<ActivityStatistics> m_stats;
};

TEST_F(ActivityStatisticsTest, MissingOrUnreadableLogIsReported) {
    struct Case {
        std::filesystem::path path;
        std::string_view error;
    };
    const Case cases[] = {
        {kData / "no-such-log.txt", kLogMissingError},
        {"", kLogMissingError},
        {kData, kLogUnreadableError}, // a folder opens but does not read
    };
    for (const Case& c : cases) {
        ActivityStatistics stats(RegionalSettings::usEnglish(), m_clock);
        RecordingListener listener;
        EXPECT_FALSE(stats.readInLogFile(c.path, listener));
        EXPECT_EQ(listener.errors, std::vector<std::string>{std::string(c.error)});
        EXPECT_TRUE(stats.checks().empty());
        EXPECT_EQ(stats.mailboxes(), std::vector<std::string>{"All mailboxes"});
    }
    EXPECT_EQ(kLogMissingError, "The activity log file does not exist!  Either you have "
                                "cleared/deleted the activity log or you have not yet begun to "
                                "use Mailvane.");
}

TEST_F(ActivityStatisticsTest, ProgressEstimatesSixtyBytesALine) {
    read("monday.txt");
    EXPECT_EQ(m_listener.maximum, std::filesystem::file_size(kData / "monday.txt"));
    // The check line, then the deletion line with its four lines.
    EXPECT_EQ(m_listener.positions, (std::vector<std::uintmax_t>{60, 120}));
    EXPECT_TRUE(m_listener.ended);
    EXPECT_TRUE(m_listener.errors.empty());
}

TEST_F(ActivityStatisticsTest, OneCheckAndOneDeletionOnAMondayAfternoon) {
    ActivityStatistics& s = read("monday.txt");
    Grids grids = s.fillInGrids();
    ASSERT_EQ(grids.traffic.size(), 1u);
    ASSERT_EQ(grids.deleted.size(), 1u);
    EXPECT_EQ(
        tableRow(*grids.traffic[0]),
        (std::array<std::string_view, 5>{"5/13/2024", "5:04 PM", "pop.example.com", "john", "3"}));
    EXPECT_EQ(tableRow(*grids.deleted[0]),
              (std::array<std::string_view, 7>{"5/13/2024", "5:04 PM", "pop.example.com", "john",
                                               "2048", "spammer@bulk.example", "bulk.example"}));

    Readings r = s.PlotReadings();
    ASSERT_EQ(r.byWeekday.size(), 7u);
    EXPECT_EQ(r.byWeekday[1].label, "Monday");
    EXPECT_EQ(r.byWeekday[0].label, "Sunday");
    const Figures expected{1, 3, 1};
    for (int w = 0; w < 7; ++w) {
        const Figures& f = r.byWeekday[w].figures;
        const Figures want = w == 1 ? expected : Figures{};
        EXPECT_EQ(std::tie(f.checks, f.found, f.deleted),
                  std::tie(want.checks, want.found, want.deleted))
            << w;
    }
    ASSERT_EQ(r.byHalfHour.size(), 48u);
    EXPECT_EQ(r.byHalfHour[0].label, "12:00 AM");
    EXPECT_EQ(r.byHalfHour[34].label, "5:00 PM");
    EXPECT_EQ(r.byHalfHour[35].label, "5:30 PM");
    for (int slot = 0; slot < 48; ++slot) {
        const Figures& f = r.byHalfHour[slot].figures;
        EXPECT_EQ(f.checks + f.found + f.deleted, slot == 34 ? 5 : 0) << slot;
    }
    EXPECT_EQ(r.byHalfHour[34].figures.found, 3);

    PieShares pie = s.RecomputePie(grids);
    EXPECT_EQ(pie.normal, 2);
    EXPECT_EQ(pie.deleted, 1);
}

TEST_F(ActivityStatisticsTest, MailboxFilterListKeepsEachNameOnce) {
    ActivityStatistics& s = read("mixed.txt");
    EXPECT_EQ(s.mailboxes(), (std::vector<std::string>{"All mailboxes", "john", "Mary", "ghost"}));
    EXPECT_EQ(s.selectedMailbox(), "All mailboxes");
    EXPECT_EQ(s.checks().size(), 3u); // the check without a count is left out
    EXPECT_EQ(s.deletions().size(), 4u);
    EXPECT_FALSE(s.selectMailbox("nobody"));
    EXPECT_EQ(s.selectedMailbox(), "All mailboxes");
}

TEST_F(ActivityStatisticsTest, UnselectedMailboxesCountNowhere) {
    ActivityStatistics& s = read("mixed.txt");
    ASSERT_TRUE(s.selectMailbox("MARY"));
    EXPECT_EQ(s.selectedMailbox(), "Mary");
    Grids grids = s.fillInGrids();
    ASSERT_EQ(grids.traffic.size(), 1u);
    EXPECT_EQ(grids.traffic[0]->mailbox, "Mary");
    ASSERT_EQ(grids.deleted.size(), 1u);
    EXPECT_EQ(grids.deleted[0]->mailbox, "MARY");
    Readings r = s.PlotReadings();
    EXPECT_EQ(r.byWeekday[3].figures.checks, 1); // Wednesday
    EXPECT_EQ(r.byWeekday[2].figures.checks, 0); // john's Tuesday
    EXPECT_EQ(r.byHalfHour[47].figures.found, 2);
    ASSERT_EQ(r.topSenders.size(), 1u);
    EXPECT_EQ(r.topSenders[0].entry, "b@other.example");
    PieShares pie = s.RecomputePie(grids);
    EXPECT_EQ(pie.normal, 1);
    EXPECT_EQ(pie.deleted, 1);
    EXPECT_EQ(s.heading(), "Mary from 1/1/1998 thru 6/1/2024");
    EXPECT_EQ(s.mailboxes().size(), 4u); // still offered
}

TEST_F(ActivityStatisticsTest, TopTenCountsSendersAndDomains) {
    Readings r = read("mixed.txt").PlotReadings();
    auto entries = [](const std::vector<TopEntry>& top) {
        std::vector<std::pair<std::string, long long>> v;
        for (const TopEntry& e : top)
            v.emplace_back(e.entry, e.count);
        return v;
    };
    using Top = std::vector<std::pair<std::string, long long>>;
    // Equal counts in reverse alphabetical order.
    EXPECT_EQ(entries(r.topSenders),
              (Top{{"a@spam.example", 2}, {"localonly", 1}, {"b@other.example", 1}}));
    // The sender without an at sign gives an empty domain, which gets no bar.
    EXPECT_EQ(entries(r.topDomains), (Top{{"spam.example", 2}, {"other.example", 1}}));
}

TEST_F(ActivityStatisticsTest, TopTenKeepsTenPlacesAndOrdersLargeCounts) {
    std::string log;
    auto deletion = [&log](const std::string& sender) {
        log += "DELETE SPAM on Mon 5/13/2024 5:04 PM\r\n   Server:  h Mailbox: u\r\n"
               "   Subject: s\r\n   Sender:  " +
               sender + "\r\n   Size:    1  Date: d\r\n";
    };
    for (int i = 0; i < 10000; ++i)
        deletion("big@x");
    for (int i = 0; i < 9999; ++i)
        deletion("second@y");
    for (int n = 2; n <= 12; ++n)
        for (int i = 0; i < n; ++i)
            deletion("s" + std::to_string(n) + "@z");
    deletion("nodomain");
    ActivityStatistics stats(RegionalSettings::usEnglish(), m_clock);
    ASSERT_TRUE(stats.readInLogFile(writeLog(log), m_listener));
    Readings r = stats.PlotReadings();
    ASSERT_EQ(r.topSenders.size(), 10u);
    EXPECT_EQ(r.topSenders[0].entry, "big@x");
    EXPECT_EQ(r.topSenders[0].count, 10000);
    EXPECT_EQ(r.topSenders[1].entry, "second@y");
    EXPECT_EQ(r.topSenders[9].entry, "s5@z");
    ASSERT_EQ(r.topDomains.size(), 3u); // x, y, z; "nodomain" has one of the ten places
    EXPECT_EQ(r.topDomains[2].entry, "z");
    EXPECT_EQ(r.topDomains[2].count, 77);
}

TEST_F(ActivityStatisticsTest, AlternatingDaysGiveOnePointPerRun) {
    Readings r = read("mixed.txt").PlotReadings();
    auto points = [](const std::vector<DayPoint>& series) {
        std::vector<std::pair<DateTime, long long>> v;
        for (const DayPoint& p : series)
            v.emplace_back(p.day, p.value);
        return v;
    };
    using Points = std::vector<std::pair<DateTime, long long>>;
    const DateTime tue = date(2024, 5, 14), wed = date(2024, 5, 15);
    EXPECT_EQ(points(r.checksByDay), (Points{{tue, 1}, {wed, 1}, {tue, 1}}));
    EXPECT_EQ(points(r.foundByDay), (Points{{tue, 5}, {wed, 2}, {tue, 1}}));
    EXPECT_EQ(points(r.deletedByDay), (Points{{tue, 2}, {wed, 1}, {tue, 1}}));
}

TEST_F(ActivityStatisticsTest, DayWithoutFoundMessagesHasNoFoundPoint) {
    ActivityStatistics stats(RegionalSettings::usEnglish(), m_clock);
    ASSERT_TRUE(stats.readInLogFile(
        writeLog("MAIL CHECK 0 msg(s) for \"u\" on server h at Mon 5/13/2024 5:04 PM\r\n"),
        m_listener));
    Readings r = stats.PlotReadings();
    EXPECT_EQ(r.checksByDay.size(), 1u);
    EXPECT_TRUE(r.foundByDay.empty());
    EXPECT_TRUE(r.deletedByDay.empty());
}

TEST_F(ActivityStatisticsTest, DateRangeLimitsEveryFigure) {
    ActivityStatistics& s = read("mixed.txt");
    s.setRange(rangeBetween(date(2024, 5, 15), date(2024, 5, 15)));
    Grids grids = s.fillInGrids();
    EXPECT_EQ(grids.traffic.size(), 1u);
    EXPECT_EQ(grids.deleted.size(), 1u);
    Readings r = s.PlotReadings();
    EXPECT_EQ(r.byWeekday[2].figures.checks, 0);
    EXPECT_EQ(r.byWeekday[3].figures.checks, 1);
    EXPECT_EQ(s.heading(), "All mailboxes from 5/15/2024 thru 5/15/2024");
}

TEST_F(ActivityStatisticsTest, UnreadableStampsCountAsNow) {
    // 1 June 2024, the fixed clock's day, was a Saturday; its time is noon (slot 24).
    const std::string log =
        "MAIL CHECK 2 msg(s) for \"u\" on server h at Mon 99/99/2024 5:04 PM\r\n"
        "MAIL CHECK 1 msg(s) for \"u\" on server h at Mon 5/13/2024 25:99 XM\r\n";
    ActivityStatistics stats(RegionalSettings::usEnglish(), m_clock);
    ASSERT_TRUE(stats.readInLogFile(writeLog(log), m_listener));
    stats.setRange({date(1998, 1, 1), date(2030, 1, 1)});
    Grids grids = stats.fillInGrids();
    EXPECT_EQ(grids.traffic.size(), 2u);
    Readings r = stats.PlotReadings();
    EXPECT_EQ(r.byWeekday[6].figures.found, 2); // the bad date counts on the clock's Saturday
    EXPECT_EQ(r.byHalfHour[34].figures.found, 2);
    EXPECT_EQ(r.byWeekday[1].figures.found, 1);
    EXPECT_EQ(r.byHalfHour[24].figures.found, 1);   // the bad time counts at the clock's noon
    EXPECT_EQ(stats.RecomputePie(grids).normal, 1); // the pie wants a date that reads

    stats.setRange(initialRange(date(2024, 5, 31))); // ends before "now"
    EXPECT_EQ(stats.fillInGrids().traffic.size(), 1u);
}

TEST_F(ActivityStatisticsTest, CutShortDeletionDoesNotSwallowTheNextEntry) {
    ActivityStatistics& s = read("truncated.txt");
    ASSERT_EQ(s.checks().size(), 1u);
    EXPECT_EQ(s.checks()[0].count, "7");
    EXPECT_EQ(s.checks()[0].time, "5:10 PM");
    ASSERT_EQ(s.deletions().size(), 2u);
    EXPECT_EQ(s.deletions()[0].mailbox, "john");
    EXPECT_EQ(s.deletions()[0].sender, "");
    EXPECT_EQ(s.deletions()[1].sender, "z@z.example"); // the log ends before its Size line
    EXPECT_EQ(s.deletions()[1].size, "");
}

TEST_F(ActivityStatisticsTest, DayFirstLogReadsUnderEitherSettings) {
    for (const RegionalSettings& rs :
         {RegionalSettings::dayFirst24Hour(), RegionalSettings::usEnglish()}) {
        ActivityStatistics& s = read("dayfirst.txt", rs);
        Grids grids = s.fillInGrids();
        ASSERT_EQ(grids.traffic.size(), 2u);
        EXPECT_EQ(grids.traffic[0]->time, "17:04");
        Readings r = s.PlotReadings();
        EXPECT_EQ(r.byWeekday[1].figures.checks, 1); // Monday
        EXPECT_EQ(r.byWeekday[1].figures.found, 4);
        EXPECT_EQ(r.byWeekday[1].figures.deleted, 1);
        EXPECT_EQ(r.byWeekday[2].figures.found, 1); // Tuesday, a quarter past midnight
        EXPECT_EQ(r.byHalfHour[34].figures.found, 4);
        EXPECT_EQ(r.byHalfHour[0].figures.found, 1);
        EXPECT_EQ(s.RecomputePie(grids).normal, 4);
    }
    EXPECT_EQ(read("dayfirst.txt", RegionalSettings::dayFirst24Hour())
                  .PlotReadings()
                  .byHalfHour[34]
                  .label,
              "17:00");
}

TEST_F(ActivityStatisticsTest, LoneLineFeedsAndCarriageReturnsEndLines) {
    const std::string log = "MAIL CHECK 1 msg(s) for \"u\" on server h at Mon 5/13/2024 5:04 PM\n"
                            "MAIL CHECK 2 msg(s) for \"u\" on server h at Mon 5/13/2024 5:05 PM\r"
                            "MAIL CHECK 3 msg(s) for \"u\" on server h at Mon 5/13/2024 5:06 PM";
    ActivityStatistics stats(RegionalSettings::usEnglish(), m_clock);
    ASSERT_TRUE(stats.readInLogFile(writeLog(log), m_listener));
    ASSERT_EQ(stats.checks().size(), 3u);
    EXPECT_EQ(stats.checks()[1].time, "5:05 PM");
    EXPECT_EQ(stats.checks()[2].count, "3");
}

TEST_F(ActivityStatisticsTest, ScrambledLogsReadWithoutHarm) {
    // Pieces of entries in random order and cut anywhere, as a damaged or hand-edited log has.
    const std::string_view pieces[] = {
        "MAIL CHECK ", "DELETE SPAM on ", "DELETE SPAM", "   Server:  ", " Mailbox: ",
        "   Sender:  ", "   Size:    ", "  Date: ", "for \"", "\" on server ", " at ", "Mon ",
        "5/13/2024 ", "13/05/2024", "5:04 PM", "17:04", "@", "a@b", "7", " ", "\"", "\r\n",
        "\n", "\r", "ERROR x FOR u ON h AT ", "\xe9", ""};
    std::uint32_t seed = 7;
    for (int round = 0; round < 20; ++round) {
        std::string log;
        for (int i = 0; i < 400; ++i) {
            seed = seed * 1664525u + 1013904223u;
            log += pieces[(seed >> 8) % std::size(pieces)];
        }
        ActivityStatistics stats(RegionalSettings::usEnglish(), m_clock);
        ASSERT_TRUE(stats.readInLogFile(writeLog(log), m_listener));
        stats.setRange({0, date(2100, 1, 1)});
        Grids grids = stats.fillInGrids();
        Readings r = stats.PlotReadings();
        PieShares pie = stats.RecomputePie(grids);
        EXPECT_GE(pie.normal, 0);
        EXPECT_LE(r.topSenders.size(), 10u);
        for (const DeletionRecord& d : stats.deletions())
            EXPECT_EQ(d.sender.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos);
    }
}

} // namespace
} // namespace mv
