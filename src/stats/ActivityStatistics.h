#pragma once
// The statistics of one activity log: the check and deletion records read from it, the mailbox
// filter list, the selected filter and date range, and the figures computed from the records the
// filter accepts (the two tables, the weekday, half-hour and day-by-day series, the top-ten lists,
// the share of deleted spam). Lives as long as one statistics view; a new reading replaces the
// records, and the records and tables it hands out stay valid until then.
#include "base/DateTime.h"
#include "base/RegionalSettings.h"
#include "stats/DateRange.h"
#include "stats/LogEntries.h"

#include <array>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

inline constexpr std::string_view kAllMailboxes = "All mailboxes";
inline constexpr std::string_view kLogMissingError =
    "The activity log file does not exist!  Either you have cleared/deleted the activity log or "
    "you have not yet begun to use Mailvane.";
inline constexpr std::string_view kLogUnreadableError =
    "Could not open Activity log file for reading!";

// What a reading of the log shows while it runs: a progress bar and an error box.
class LogReadListener {
public:
    virtual ~LogReadListener() = default;
    virtual void showError(std::string_view text) = 0;
    // The position is an estimate of the bytes read (60 per line), never past the maximum.
    virtual void progressStarted(std::uintmax_t /*maximum*/) {}
    virtual void progressAt(std::uintmax_t /*position*/) {}
    virtual void progressEnded() {}
    // Asked after every line: true stops the reading, which then keeps no records.
    virtual bool cancelled() { return false; }
};

// The accepted records in log order; "Email traffic" and "Spam Deleted" as tables.
struct Grids {
    std::vector<const CheckRecord*> traffic;
    std::vector<const DeletionRecord*> deleted;
};
inline constexpr std::array<std::string_view, 5> kTrafficColumns{"Date", "Time", "Server",
                                                                 "Mailbox", "# Mail"};
inline constexpr std::array<std::string_view, 7> kDeletedColumns{
    "Date", "Time", "Server", "Mailbox", "Size", "Sender", "Domain"};
std::array<std::string_view, 5> tableRow(const CheckRecord& r);
std::array<std::string_view, 7> tableRow(const DeletionRecord& r);

struct Figures {
    long long checks = 0;  // "E-mail Check"
    long long found = 0;   // "Number Found": the sum of the check counts
    long long deleted = 0; // "Number Deleted"

    Figures& operator+=(const Figures& other) {
        checks += other.checks;
        found += other.found;
        deleted += other.deleted;
        return *this;
    }
};
struct LabelledFigures {
    std::string label;
    Figures figures;
};
struct DayPoint {
    DateTime day;
    long long value;
};
struct TopEntry {
    std::string entry;
    long long count;
};

struct Readings {
    std::vector<LabelledFigures> byWeekday;  // seven, Sunday first, labelled with long day names
    std::vector<LabelledFigures> byHalfHour; // 48 slots from 00:00, labelled with their start
    // One point per run of consecutive records of one date that has a figure, in log order.
    std::vector<DayPoint> checksByDay, foundByDay, deletedByDay;
    // At most ten each, most frequent first, equal counts in reverse alphabetical order. An empty
    // entry (a sender without a domain) takes one of the ten places without being listed.
    std::vector<TopEntry> topSenders, topDomains;
};

inline constexpr std::string_view kNormalSlice = "Normal E-mail";
inline constexpr std::string_view kDeletedSlice = "Spam Deleted";
struct PieShares {
    long long normal = 0; // found minus deleted, never below 0
    long long deleted = 0;
};

class ActivityStatistics {
public:
    // The range starts as initialRange(clock.now()). `settings` are the program's formats (short
    // date with a four-digit year); the clock stands in for "now" wherever a text does not convert.
    ActivityStatistics(RegionalSettings settings, const Clock& clock);
    // The records point into the log text it holds.
    ActivityStatistics(const ActivityStatistics&) = delete;
    ActivityStatistics& operator=(const ActivityStatistics&) = delete;

    // Reads the log into the records and the mailbox filter list, which starts over with
    // "All mailboxes" selected. Reports a missing or unreadable file to the listener and returns
    // false, with no records; so does a reading the listener cancels, without a report.
    bool readInLogFile(const std::filesystem::path& path, LogReadListener& listener);

    const std::deque<CheckRecord>& checks() const { return m_checks; }
    const std::deque<DeletionRecord>& deletions() const { return m_deletions; }

    // "All mailboxes", then every mailbox of a check entry once, letter case aside.
    const std::vector<std::string>& mailboxes() const { return m_mailboxes; }
    const std::string& selectedMailbox() const { return m_mailboxes[m_selected]; }
    // Selects the filter entry equal to name, letter case aside; false (no change) when none is.
    bool selectMailbox(std::string_view name);

    const DateRange& range() const { return m_range; }
    void setRange(DateRange range) { m_range = range; }

    // The record filter: the date (empty = did not convert, counts as now) within the range, and
    // the mailbox the selected one unless "All mailboxes" is.
    bool qMailboxOK(std::string_view mailbox, std::optional<DateTime> date) const;

    Grids fillInGrids() const;
    Readings PlotReadings() const;
    PieShares RecomputePie(const Grids& grids) const;
    // The selected filter entry and the range: "All mailboxes from 1/1/1998 thru 5/14/2024".
    std::string heading() const;

private:
    bool readEntries(LogReadListener& listener);
    void clearRecords();
    // Lower-cases a part of the log text in place; the records' views then read it so.
    void lowerInLog(std::string_view part);
    DateTime dateOf(std::optional<DateTime> date) const;
    int slotOf(std::optional<DateTime> time) const;
    bool inRange(std::optional<DateTime> date) const;

    RegionalSettings m_settings;
    const Clock& m_clock;
    std::string m_log; // the whole log; every record's texts point into it
    // Deques: a big log grows them without moving the records already read.
    std::deque<CheckRecord> m_checks;
    std::deque<DeletionRecord> m_deletions;
    std::vector<std::string> m_mailboxes{std::string(kAllMailboxes)};
    std::size_t m_selected = 0;
    DateRange m_range;
};

} // namespace mv
