#pragma once
// Turns the date and time texts of log entries into values. The regional settings the statistics
// run under are tried first, then the other common formats, so that a log written under other
// settings (day-first dates, 24-hour times, dots or dashes) still counts where its texts allow.
// Lives as long as one reading of the log or one command; remembers the last date it converted,
// because entries come in long runs of the same day.
#include "base/DateTime.h"
#include "base/RegionalSettings.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

class StampConverter {
public:
    explicit StampConverter(const RegionalSettings& current);

    // The date, or empty when no format reads it.
    std::optional<DateTime> date(std::string_view text);

    struct Time {
        std::string_view text;         // what was read: the input, or its last word
        std::optional<DateTime> value; // fraction of a day; empty when nothing reads
    };
    // A time of day. A text of two words whose first is not part of the time (the date that
    // precedes a 24-hour time in the stamp) is read by its last word, which becomes the text.
    Time time(std::string_view text) const;

private:
    std::optional<DateTime> timeIn(std::string_view text) const;

    std::vector<RegionalSettings> m_formats; // the current settings first
    std::string m_lastText;
    std::optional<DateTime> m_lastValue;
};

} // namespace mv
