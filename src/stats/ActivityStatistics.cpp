#include "stats/ActivityStatistics.h"

#include "base/Files.h"
#include "base/Text.h"
#include "stats/StampConverter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

namespace mv {

namespace {

// The log's lines; a line ends at CR LF, a lone LF or a lone CR.
std::vector<std::string_view> logLines(std::string_view text) {
    std::vector<std::string_view> lines;
    lines.reserve(text.size() / 48);
    while (!text.empty()) {
        const char* lf = static_cast<const char*>(std::memchr(text.data(), '\n', text.size()));
        std::size_t end = lf ? static_cast<std::size_t>(lf - text.data()) : text.size();
        const char* cr = static_cast<const char*>(std::memchr(text.data(), '\r', end));
        if (cr && cr + 1 != text.data() + end) { // a lone CR ends its line too
            end = static_cast<std::size_t>(cr - text.data());
            lines.push_back(text.substr(0, end));
            text.remove_prefix(end + 1);
            continue;
        }
        lines.push_back(text.substr(0, cr ? end - 1 : end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return lines;
}

// Counts the equal entries and keeps the ten most frequent. Counting by value rather than by the
// zero-padded text of a sorted list keeps counts of 10000 and more in their place.
std::vector<TopEntry> topTen(const std::vector<std::string_view>& entries) {
    std::unordered_map<std::string_view, long long> counts;
    for (std::string_view e : entries) ++counts[e];
    std::vector<std::pair<std::string_view, long long>> runs(counts.begin(), counts.end());
    auto before = [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second > b.second : a.first > b.first;
    };
    std::size_t places = std::min<std::size_t>(10, runs.size());
    std::partial_sort(runs.begin(), runs.begin() + static_cast<std::ptrdiff_t>(places), runs.end(),
                      before);
    std::vector<TopEntry> top;
    for (std::size_t i = 0; i < places; ++i)
        if (!runs[i].first.empty()) top.push_back({std::string(runs[i].first), runs[i].second});
    return top;
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
        m_sum.checks += f.checks;
        m_sum.found += f.found;
        m_sum.deleted += f.deleted;
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
    m_checks.clear();
    m_deletions.clear();
    m_mailboxes.assign(1, std::string(kAllMailboxes));
    m_selected = 0;
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
    readEntries(*text, listener);
    return true;
}

void ActivityStatistics::readEntries(std::string_view text, LogReadListener& listener) {
    StampConverter stamps(m_settings);
    std::unordered_set<std::string> seen; // mailbox names in upper case
    const std::uintmax_t size = text.size();
    listener.progressStarted(size);
    std::vector<std::string_view> lines = logLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        listener.progressAt(std::min<std::uintmax_t>(size, 60 * (i + 1)));
        std::string_view line = lines[i];
        if (isCheckEntry(line)) {
            CheckRecord r = parseCheckEntry(line);
            if (!r.mailbox.empty() && seen.insert(upperAscii(r.mailbox)).second)
                m_mailboxes.push_back(r.mailbox);
            if (r.count.empty()) continue;
            r.found = parseIntegerOr(r.count, 0);
            r.dateValue = stamps.date(r.date);
            StampConverter::Time t = stamps.time(r.time);
            r.time = t.text;
            r.timeValue = t.value;
            m_checks.push_back(std::move(r));
        } else if (isDeletionEntry(line)) {
            std::span<const std::string_view> rest(lines.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                                   lines.end());
            std::size_t length = deletionEntryLength(rest);
            DeletionRecord r = parseDeletionEntry(line, rest.first(length));
            i += length;
            r.dateValue = stamps.date(r.date);
            StampConverter::Time t = stamps.time(r.time);
            r.time = t.text;
            r.timeValue = t.value;
            m_deletions.push_back(std::move(r));
        }
    }
    listener.progressEnded();
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
        Figures f{1, r.found, 0};
        DateTime date = dateOf(r.dateValue);
        Figures& w = weekday[dayOfWeek(date) - 1];
        Figures& s = slot[slotOf(r.timeValue)];
        w.checks += 1, w.found += r.found;
        s.checks += 1, s.found += r.found;
        checkDays.add(r.date, date, f, emitChecks);
    }
    checkDays.finish(emitChecks);

    DayRuns deletionDays;
    std::vector<std::string_view> senders, domains;
    for (const DeletionRecord& r : m_deletions) {
        if (!qMailboxOK(r.mailbox, r.dateValue)) continue;
        senders.push_back(r.sender);
        domains.push_back(r.domain);
        DateTime date = dateOf(r.dateValue);
        weekday[dayOfWeek(date) - 1].deleted += 1;
        slot[slotOf(r.timeValue)].deleted += 1;
        deletionDays.add(r.date, date, {0, 0, 1}, emitDeleted);
    }
    deletionDays.finish(emitDeleted);

    for (int w = 0; w < 7; ++w) out.byWeekday.push_back({m_settings.longDayNames[w], weekday[w]});
    for (int s = 0; s < 48; ++s)
        out.byHalfHour.push_back(
            {formatShortTime(*encodeTime(s / 2, s % 2 * 30), m_settings), slot[s]});
    out.topSenders = topTen(senders);
    out.topDomains = topTen(domains);
    return out;
}

PieShares ActivityStatistics::RecomputePie(const Grids& grids) const {
    PieShares pie;
    long long found = 0;
    for (const CheckRecord* r : grids.traffic)
        if (!r->date.empty() && inRange(r->dateValue)) found += r->found;
    for (const DeletionRecord* r : grids.deleted)
        if (!r->date.empty() && inRange(r->dateValue)) ++pie.deleted;
    // Deletions whose check lies outside the range or the log would make the slice negative.
    pie.normal = std::max(0LL, found - pie.deleted);
    return pie;
}

std::string ActivityStatistics::heading() const {
    return selectedMailbox() + " from " + formatShortDate(m_range.start, m_settings) + " thru " +
           formatShortDate(m_range.end, m_settings);
}

} // namespace mv
