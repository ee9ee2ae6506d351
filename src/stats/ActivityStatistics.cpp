#include "stats/ActivityStatistics.h"

#include "base/Files.h"
#include "base/Text.h"
#include "stats/StampConverter.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

namespace mv {

namespace {

// Counts equal entries and keeps the ten most frequent. Counting by value rather than by the
// zero-padded text of a sorted list keeps counts of 10000 and more in their place.
class TopTen {
public:
    void add(std::string_view entry) { ++m_counts[entry]; }
    std::vector<TopEntry> result() const {
        std::vector<std::pair<std::string_view, long long>> runs(m_counts.begin(), m_counts.end());
        auto before = [](const auto& a, const auto& b) {
            return a.second != b.second ? a.second > b.second : a.first > b.first;
        };
        std::size_t places = std::min<std::size_t>(10, runs.size());
        std::partial_sort(runs.begin(), runs.begin() + static_cast<std::ptrdiff_t>(places),
                          runs.end(), before);
        std::vector<TopEntry> top;
        for (std::size_t i = 0; i < places; ++i)
            if (!runs[i].first.empty()) top.push_back({std::string(runs[i].first), runs[i].second});
        return top;
    }

private:
    std::unordered_map<std::string_view, long long> m_counts;
};

// Adds the mailbox names of check entries to the filter list, each once, letter case aside.
// Entries come in runs of one mailbox, so the last name is compared before the set is asked.
class MailboxNames {
public:
    explicit MailboxNames(std::vector<std::string>& list) : m_list(list) {}
    void add(std::string_view name) {
        if (name.empty() || equalsNoCase(name, m_last)) return;
        m_last = name;
        if (m_seen.insert(upperAscii(name)).second) m_list.emplace_back(name);
    }

private:
    std::vector<std::string>& m_list;
    std::unordered_set<std::string> m_seen; // in upper case
    std::string_view m_last;
};

// The record's date and time values; a time read by its last word keeps only that word as text.
template <class Record> void convertStamp(Record& r, StampConverter& stamps) {
    r.dateValue = stamps.date(r.date);
    auto [text, value] = stamps.time(r.time);
    r.time = text;
    r.timeValue = value;
}

// Consecutive records of one date text form a day; each finished day is handed to `emit` with its
// date and the figures summed over it.
class DayRuns {
public:
    template <class Emit> void add(std::string_view dateText, DateTime date, Figures f, Emit emit) {
        if (m_open && dateText != m_text) finish(emit);
        if (!m_open) {
            m_open = true;
            m_text = dateText;
            m_date = date;
        }
        m_sum += f;
    }
    template <class Emit> void finish(Emit emit) {
        if (m_open) emit(m_date, m_sum);
        m_open = false;
        m_sum = {};
    }

private:
    bool m_open = false;
    std::string_view m_text;
    DateTime m_date = 0;
    Figures m_sum;
};

} // namespace

std::array<std::string_view, 5> tableRow(const CheckRecord& r) {
    return {r.date, r.time, r.server, r.mailbox, r.count};
}

std::array<std::string_view, 7> tableRow(const DeletionRecord& r) {
    return {r.date, r.time, r.server, r.mailbox, r.size, r.sender, r.domain};
}

ActivityStatistics::ActivityStatistics(RegionalSettings settings, const Clock& clock)
    : m_settings(std::move(settings)), m_clock(clock), m_range(initialRange(clock.now())) {}

bool ActivityStatistics::readInLogFile(const std::filesystem::path& path,
                                       LogReadListener& listener) {
    clearRecords();
    std::optional<std::string> text;
    try {
        text = readFile(path);
    } catch (const FileError&) {
        listener.showError(kLogUnreadableError);
        return false;
    }
    if (!text) {
        listener.showError(kLogMissingError);
        return false;
    }
    m_log = std::move(*text);
    if (readEntries(listener)) return true;
    clearRecords();
    return false;
}

void ActivityStatistics::clearRecords() {
    m_checks.clear();
    m_deletions.clear();
    m_log.clear();
    m_mailboxes.assign(1, std::string(kAllMailboxes));
    m_selected = 0;
}

bool ActivityStatistics::readEntries(LogReadListener& listener) {
    StampConverter stamps(m_settings);
    MailboxNames names(m_mailboxes);
    const std::uintmax_t size = m_log.size();
    listener.progressStarted(size);
    LogLines lines(m_log);
    bool cancelled = false;
    for (std::uintmax_t counter = 1; !lines.atEnd() && !cancelled; ++counter) {
        listener.progressAt(std::min(size, 60 * counter));
        cancelled = listener.cancelled();
        std::string_view line = lines.next();
        if (isCheckEntry(line)) {
            CheckRecord r = parseCheckEntry(line);
            names.add(r.mailbox);
            if (r.count.empty()) continue;
            r.found = parseIntegerOr(r.count, 0);
            convertStamp(r, stamps);
            m_checks.push_back(r);
        } else if (isDeletionEntry(line)) {
            std::size_t consumed = 0;
            DeletionRecord r = readDeletionEntry(line, lines, consumed);
            counter += consumed;
            lowerInLog(r.sender);
            convertStamp(r, stamps);
            m_deletions.push_back(r);
        }
    }
    listener.progressEnded();
    return !cancelled;
}

void ActivityStatistics::lowerInLog(std::string_view part) {
    if (part.empty()) return; // a missing field views nothing, not the log
    std::size_t offset = static_cast<std::size_t>(part.data() - m_log.data());
    m_log.replace(offset, part.size(), lowerAscii(part));
}

bool ActivityStatistics::selectMailbox(std::string_view name) {
    for (std::size_t i = 0; i < m_mailboxes.size(); ++i)
        if (equalsNoCase(m_mailboxes[i], name)) {
            m_selected = i;
            return true;
        }
    return false;
}

DateTime ActivityStatistics::dateOf(std::optional<DateTime> date) const {
    return date ? *date : m_clock.now();
}

bool ActivityStatistics::inRange(std::optional<DateTime> date) const {
    return date && *date >= m_range.start && *date <= m_range.end;
}

int ActivityStatistics::slotOf(std::optional<DateTime> time) const {
    TimeParts t = decodeTime(time ? *time : m_clock.now());
    return 2 * t.hour + (t.minute >= 30 ? 1 : 0);
}

bool ActivityStatistics::qMailboxOK(std::string_view mailbox, std::optional<DateTime> date) const {
    DateTime d = dateOf(date);
    if (d < m_range.start || d > m_range.end) return false;
    return m_selected == 0 || equalsNoCase(mailbox, selectedMailbox());
}

Grids ActivityStatistics::fillInGrids() const {
    Grids g;
    for (const CheckRecord& r : m_checks)
        if (qMailboxOK(r.mailbox, r.dateValue)) g.traffic.push_back(&r);
    for (const DeletionRecord& r : m_deletions)
        if (qMailboxOK(r.mailbox, r.dateValue)) g.deleted.push_back(&r);
    return g;
}

Readings ActivityStatistics::PlotReadings() const {
    std::array<Figures, 7> weekday{};
    std::array<Figures, 48> slot{};
    Readings out;
    auto emitChecks = [&out](DateTime day, Figures f) {
        if (f.found >= 1) out.foundByDay.push_back({day, f.found});
        if (f.checks >= 1) out.checksByDay.push_back({day, f.checks});
    };
    auto emitDeleted = [&out](DateTime day, Figures f) {
        if (f.deleted >= 1) out.deletedByDay.push_back({day, f.deleted});
    };

    DayRuns checkDays;
    for (const CheckRecord& r : m_checks) {
        if (!qMailboxOK(r.mailbox, r.dateValue)) continue;
        const Figures f{1, r.found, 0};
        DateTime date = dateOf(r.dateValue);
        weekday[dayOfWeek(date) - 1] += f;
        slot[slotOf(r.timeValue)] += f;
        checkDays.add(r.date, date, f, emitChecks);
    }
    checkDays.finish(emitChecks);

    DayRuns deletionDays;
    TopTen senders, domains;
    for (const DeletionRecord& r : m_deletions) {
        if (!qMailboxOK(r.mailbox, r.dateValue)) continue;
        senders.add(r.sender);
        domains.add(r.domain);
        const Figures f{0, 0, 1};
        DateTime date = dateOf(r.dateValue);
        weekday[dayOfWeek(date) - 1] += f;
        slot[slotOf(r.timeValue)] += f;
        deletionDays.add(r.date, date, f, emitDeleted);
    }
    deletionDays.finish(emitDeleted);

    for (int w = 0; w < 7; ++w)
        out.byWeekday.push_back({m_settings.longDayNames[w], weekday[w]});
    for (int s = 0; s < 48; ++s)
        out.byHalfHour.push_back(
            {formatShortTime(*encodeTime(s / 2, s % 2 * 30), m_settings), slot[s]});
    out.topSenders = senders.result();
    out.topDomains = domains.result();
    return out;
}

PieShares ActivityStatistics::RecomputePie(const Grids& grids) const {
    PieShares pie;
    // Unlike the filter, the pie counts only rows whose Date reads as a date in the range.
    long long found = 0;
    for (const CheckRecord* r : grids.traffic)
        if (inRange(r->dateValue)) found += r->found;
    for (const DeletionRecord* r : grids.deleted)
        if (inRange(r->dateValue)) ++pie.deleted;
    // Deletions whose check lies outside the range or the log would make the slice negative.
    pie.normal = std::max(0LL, found - pie.deleted);
    return pie;
}

std::string ActivityStatistics::heading() const {
    return selectedMailbox() + " from " + formatShortDate(m_range.start, m_settings) + " thru " +
           formatShortDate(m_range.end, m_settings);
}

} // namespace mv
