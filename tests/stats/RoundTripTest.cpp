// Logs written by the check engine's log writer read back to the right figures, whichever of the
// two regional settings wrote them and whichever reads them.
#include "app/ActivityLog.h"
#include "stats/ActivityStatistics.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace mv {
namespace {

DateTime at(int y, int mo, int d, int h, int mi) {
    return *encodeDate(y, mo, d) + *encodeTime(h, mi);
}

class IgnoreErrors : public LogReadListener {
public:
    void showError(std::string_view text) override { ADD_FAILURE() << text; }
};

// A week of one user's log: checks, deletions, an error with its cancel, the automatic switch.
void writeWeek(const std::filesystem::path& path, const RegionalSettings& regional) {
    FixedClock clock(at(2024, 5, 13, 17, 4)); // a Monday
    ActivityLog log(clock, regional);
    log.setPath(path);
    log.writeAutomaticMode(true);
    log.writeCheck(3, "john", "pop.example.com");
    log.writeDeletions({deletionEntry({"pop.example.com", "john", "Cheap\r\npills",
                                       "A@Spam.example", "2048", "5/13/2024 4:58:11 PM"},
                                      log.stamp()),
                        deletionEntry({"pop.example.com", "john", "Again", "a@spam.example", "1024",
                                       "5/13/2024 4:59:00 PM"},
                                      log.stamp())});
    clock.set(at(2024, 5, 14, 0, 15)); // Tuesday, a quarter past midnight
    log.writeCheck(0, "john", "pop.example.com");
    clock.set(at(2024, 5, 19, 23, 45)); // Sunday night
    log.writeCancel("mary \"m\"", "mail.example.org");
    log.writeError("Operation has been canceled", "mary \"m\"", "mail.example.org");
    log.writeCheck(5, "mary \"m\"", "mail.example.org");
    log.writeDeletions({deletionEntry(
        {"mail.example.org", "mary \"m\"", "Hi", "b@other.example", "999", "5/19/2024"},
        log.stamp())});
    log.writeAutomaticMode(false);
}

TEST(RoundTrip, WrittenLogsReadBackToTheirFigures) {
    struct Case {
        const char* name;
        RegionalSettings writer, reader;
    };
    const RegionalSettings us = RegionalSettings::usEnglish();
    const RegionalSettings dayFirst = RegionalSettings::dayFirst24Hour();
    const Case cases[] = {
        {"US 12-hour", us, us},
        {"day-first 24-hour", dayFirst, dayFirst},
        {"US log, day-first reader", us, dayFirst},
        {"day-first log, US reader", dayFirst, us},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = std::filesystem::path(::testing::TempDir()) /
                    ("round-trip-log-" + std::to_string(::getpid()) + ".txt");
        std::filesystem::remove(path);
        writeWeek(path, c.writer);

        FixedClock now(at(2024, 6, 1, 12, 0));
        ActivityStatistics stats(c.reader, now);
        IgnoreErrors listener;
        ASSERT_TRUE(stats.readInLogFile(path, listener));
        EXPECT_EQ(stats.mailboxes(),
                  (std::vector<std::string>{"All mailboxes", "john", "mary \"m\""}));

        Grids grids = stats.fillInGrids();
        ASSERT_EQ(grids.traffic.size(), 3u);
        ASSERT_EQ(grids.deleted.size(), 3u);
        EXPECT_EQ(grids.deleted[2]->mailbox, "mary \"m\"");
        EXPECT_EQ(grids.deleted[0]->size, "2048");

        Readings r = stats.PlotReadings();
        struct Expected {
            int weekday, slot;
            Figures figures;
        };
        const Expected expected[] = {{1, 34, {1, 3, 2}}, {2, 0, {1, 0, 0}}, {0, 47, {1, 5, 1}}};
        for (const Expected& e : expected) {
            for (const Figures& f :
                 {r.byWeekday[e.weekday].figures, r.byHalfHour[e.slot].figures}) {
                EXPECT_EQ(f.checks, e.figures.checks) << e.weekday;
                EXPECT_EQ(f.found, e.figures.found) << e.weekday;
                EXPECT_EQ(f.deleted, e.figures.deleted) << e.weekday;
            }
        }
        ASSERT_EQ(r.topSenders.size(), 2u);
        EXPECT_EQ(r.topSenders[0].entry, "a@spam.example");
        EXPECT_EQ(r.topSenders[0].count, 2);
        EXPECT_EQ(r.checksByDay.size(), 3u);
        EXPECT_EQ(r.foundByDay.size(), 2u); // the Tuesday found nothing
        EXPECT_EQ(r.deletedByDay.size(), 2u);

        PieShares pie = stats.RecomputePie(grids);
        EXPECT_EQ(pie.normal, 5);
        EXPECT_EQ(pie.deleted, 3);

        ASSERT_TRUE(stats.selectMailbox("MARY \"M\""));
        stats.setRange(rangePreviousDays(*encodeDate(2024, 5, 20), 7));
        EXPECT_EQ(stats.fillInGrids().traffic.size(), 1u);
        stats.setRange(rangeBetween(*encodeDate(2024, 5, 13), *encodeDate(2024, 5, 18)));
        EXPECT_EQ(stats.fillInGrids().traffic.size(), 0u);
    }
}

} // namespace
} // namespace mv
