#include "cli/StatsCommand.h"

#include "app/ActivityLog.h"
#include "base/Text.h"
#include "stats/ActivityStatistics.h"
#include "stats/StampConverter.h"

#include <cmath>
#include <iomanip>
#include <ostream>

namespace mv::cli {

namespace {

// Errors go to the error stream; on a terminal the reading shows its progress there too.
class StreamListener : public LogReadListener {
public:
    StreamListener(std::ostream& err, bool showProgress)
        : m_err(err), m_showProgress(showProgress) {}
    void showError(std::string_view text) override { m_err << text << "\n"; }
    void progressStarted(std::uintmax_t maximum) override { m_maximum = maximum; }
    void progressAt(std::uintmax_t position) override {
        if (!m_showProgress || m_maximum == 0) return;
        int percent = static_cast<int>(position * 100 / m_maximum);
        if (percent == m_percent) return;
        m_percent = percent;
        m_err << "\rReading the activity log " << percent << "%" << std::flush;
    }
    void progressEnded() override {
        if (m_percent >= 0) m_err << "\n";
    }

private:
    std::ostream& m_err;
    bool m_showProgress;
    std::uintmax_t m_maximum = 0;
    int m_percent = -1;
};

int numberIn(const std::string& text, std::string_view option, int low, int high) {
    std::optional<long long> n = parseInteger(text);
    if (!n || *n < low || *n > high)
        throw UsageError(std::string(option) + " must be from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not " + text);
    return static_cast<int>(*n);
}

struct RangeOptions {
    std::optional<std::string> from, to, months, days;
};

// The range the options choose, as the date-range choices compute it; empty for the whole log.
std::optional<DateRange> chosenRange(const RangeOptions& o, const RegionalSettings& regional,
                                     DateTime now) {
    if (o.from.has_value() != o.to.has_value()) throw UsageError("--from and --to go together");
    if (int(o.from.has_value()) + int(o.months.has_value()) + int(o.days.has_value()) > 1)
        throw UsageError("choose one of --from/--to, --months and --days");
    if (o.months) return rangePreviousMonths(now, numberIn(*o.months, "--months", 1, 12));
    if (o.days) return rangePreviousDays(now, numberIn(*o.days, "--days", 1, 365));
    if (!o.from) return std::nullopt;
    StampConverter dates(regional);
    auto date = [&dates](const std::string& text) {
        std::optional<DateTime> d = dates.date(text);
        if (!d) throw UsageError("unreadable date " + text);
        return *d;
    };
    return rangeBetween(date(*o.from), date(*o.to));
}

// The log the program writes now: the settings' log file with its naming, or the default one.
std::filesystem::path currentLog(const CommandContext& context, const RegionalSettings& regional) {
    GeneralSettings general = context.settings.ReadGeneralSettings();
    if (trim(general.logfile).empty()) return context.home.defaultLogFile();
    return workOutLogName(general.logfile, general.logNaming, context.home.programDir(),
                          context.clock.now(), regional);
}

// The figures of one run, gathered for either output.
struct Report {
    std::string heading, mailbox;
    DateRange range;
    Readings readings;
    PieShares pie;
};

int percentOf(long long part, long long whole) {
    return whole == 0 ? 0
                      : static_cast<int>(std::lround(100.0 * static_cast<double>(part) /
                                                     static_cast<double>(whole)));
}

void printFigures(std::ostream& out, std::string_view title,
                  const std::vector<LabelledFigures>& rows) {
    out << std::left << std::setw(14) << title << std::right << std::setw(14) << "E-mail Check"
        << std::setw(14) << "Number Found" << std::setw(16) << "Number Deleted"
        << "\n";
    for (const LabelledFigures& r : rows)
        out << std::left << std::setw(14) << displayText(r.label) << std::right << std::setw(14)
            << r.figures.checks << std::setw(14) << r.figures.found << std::setw(16)
            << r.figures.deleted << "\n";
}

void printDays(std::ostream& out, std::string_view series, const std::vector<DayPoint>& points,
               const RegionalSettings& regional) {
    out << "Day by day: " << series << "\n";
    for (const DayPoint& p : points)
        out << std::left << std::setw(14) << formatShortDate(p.day, regional) << std::right
            << std::setw(8) << p.value << "\n";
}

void printTop(std::ostream& out, std::string_view title, const std::vector<TopEntry>& top) {
    out << title << "\n";
    for (const TopEntry& e : top)
        out << std::right << std::setw(8) << e.count << "  " << displayText(e.entry) << "\n";
}

void printText(std::ostream& out, const Report& r, const RegionalSettings& regional) {
    out << displayText(r.heading) << "\n\n";
    printFigures(out, "Day of week", r.readings.byWeekday);
    out << "\n";
    printFigures(out, "Hour of day", r.readings.byHalfHour);
    out << "\n";
    printDays(out, "E-mail Check", r.readings.checksByDay, regional);
    printDays(out, "Number Found", r.readings.foundByDay, regional);
    printDays(out, "Number Deleted", r.readings.deletedByDay, regional);
    const long long total = r.pie.normal + r.pie.deleted;
    out << "\n% Deleted\n";
    out << std::left << std::setw(14) << kNormalSlice << std::right << std::setw(8) << r.pie.normal
        << std::setw(6) << percentOf(r.pie.normal, total) << " %\n";
    out << std::left << std::setw(14) << kDeletedSlice << std::right << std::setw(8)
        << r.pie.deleted << std::setw(6) << percentOf(r.pie.deleted, total) << " %\n\n";
    printTop(out, "Top 10 Spam Domains", r.readings.topDomains);
    out << "\n";
    printTop(out, "Top 10 Spammers", r.readings.topSenders);
}

// A JSON string; log texts that are not UTF-8 are taken as Latin-1.
std::string json(std::string_view text) {
    std::string out = "\"";
    for (unsigned char c : displayText(text)) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            static constexpr char hex[] = "0123456789abcdef";
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string isoDate(DateTime value) {
    return json(formatDateTime("yyyy-mm-dd", value, {}));
}

template <class Item, class Write>
void jsonList(std::ostream& out, const std::vector<Item>& items, Write write) {
    out << "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        out << (i ? ",\n    " : "\n    ");
        write(items[i]);
    }
    out << (items.empty() ? "]" : "\n  ]");
}

void printJson(std::ostream& out, const Report& r) {
    auto figures = [&out](std::string_view key, const std::vector<LabelledFigures>& rows) {
        out << "  " << json(key) << ": ";
        jsonList(out, rows, [&out](const LabelledFigures& f) {
            out << "{\"label\": " << json(f.label) << ", \"checks\": " << f.figures.checks
                << ", \"found\": " << f.figures.found << ", \"deleted\": " << f.figures.deleted
                << "}";
        });
        out << ",\n";
    };
    auto days = [&out](std::string_view key, const std::vector<DayPoint>& points) {
        out << "  " << json(key) << ": ";
        jsonList(out, points, [&out](const DayPoint& p) {
            out << "{\"date\": " << isoDate(p.day) << ", \"value\": " << p.value << "}";
        });
        out << ",\n";
    };
    auto top = [&out](std::string_view key, const std::vector<TopEntry>& entries) {
        out << "  " << json(key) << ": ";
        jsonList(out, entries, [&out](const TopEntry& e) {
            out << "{\"entry\": " << json(e.entry) << ", \"count\": " << e.count << "}";
        });
    };
    out << "{\n  \"heading\": " << json(r.heading) << ",\n  \"mailbox\": " << json(r.mailbox)
        << ",\n  \"from\": " << isoDate(r.range.start) << ",\n  \"to\": " << isoDate(r.range.end)
        << ",\n";
    figures("dayOfWeek", r.readings.byWeekday);
    figures("hourOfDay", r.readings.byHalfHour);
    days("checksByDay", r.readings.checksByDay);
    days("foundByDay", r.readings.foundByDay);
    days("deletedByDay", r.readings.deletedByDay);
    out << "  \"deletedShare\": {\"normal\": " << r.pie.normal << ", \"deleted\": " << r.pie.deleted
        << "},\n";
    top("topDomains", r.readings.topDomains);
    out << ",\n";
    top("topSpammers", r.readings.topSenders);
    out << "\n}\n";
}

} // namespace

int StatsCommand::run(Arguments& args, CommandContext& context) {
    std::optional<std::string> log = args.option("--log");
    std::optional<std::string> mailbox = args.option("--mailbox");
    RangeOptions rangeOptions{args.option("--from"), args.option("--to"), args.option("--months"),
                              args.option("--days")};
    bool asJson = args.flag("--json");
    args.finish();

    RegionalSettings regional = context.regional;
    regional.shortDateFormat = withFourDigitYear(regional.shortDateFormat);
    std::optional<DateRange> range = chosenRange(rangeOptions, regional, context.clock.now());

    ActivityStatistics stats(regional, context.clock);
    StreamListener listener(context.err, context.errorIsTerminal);
    if (!stats.readInLogFile(log ? std::filesystem::path(*log) : currentLog(context, regional),
                             listener))
        return 1;
    if (mailbox && !stats.selectMailbox(*mailbox)) {
        context.err << "No check of mailbox " << *mailbox << " in the activity log\n";
        return 1;
    }
    if (range) stats.setRange(*range);

    Grids grids = stats.fillInGrids();
    Report report{stats.heading(), stats.selectedMailbox(), stats.range(), stats.PlotReadings(),
                  stats.RecomputePie(grids)};
    if (asJson)
        printJson(context.out, report);
    else
        printText(context.out, report, regional);
    return 0;
}

} // namespace mv::cli
