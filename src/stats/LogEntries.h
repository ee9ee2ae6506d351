#pragma once
// The two activity-log entries the statistics count, taken apart by their fixed texts: a mail check
// ("MAIL CHECK 3 msg(s) for "user" on server host at Mon 5/13/2024 5:04 PM") and a deletion
// ("DELETE SPAM on " + stamp and the four indented lines after it). Pure text work on the log's
// own bytes: every field is a view into the log text, which must outlive the records. Converting
// the date and time texts is the StampConverter's job.
#include "base/DateTime.h"

#include <optional>
#include <string_view>

namespace mv {

struct CheckRecord {
    std::string_view count; // the number of messages listed, as written
    std::string_view mailbox;
    std::string_view server;
    std::string_view date;
    std::string_view time;
    // Filled by the reader from the texts above; empty when they do not convert.
    std::optional<DateTime> dateValue, timeValue;
    long long found = 0; // the count as a number
};

struct DeletionRecord {
    std::string_view mailbox;
    std::string_view server;
    std::string_view date;
    std::string_view time;
    std::string_view size;
    std::string_view sender; // as written; the reader lower-cases it in the log text
    std::string_view domain; // after the sender's first at sign; empty without one
    std::optional<DateTime> dateValue, timeValue; // as for CheckRecord
};

// The log's lines, one at a time; a line ends at CR LF, a lone LF or a lone CR.
class LogLines {
public:
    explicit LogLines(std::string_view text) : m_rest(text) {}
    bool atEnd() const { return m_rest.empty(); }
    std::string_view peek() const;
    std::string_view next();

private:
    // The line at the start of the rest, and how many characters it takes with its line end.
    std::pair<std::string_view, std::size_t> front() const;
    std::string_view m_rest;
};

// From 1-based position p, the characters up to (not including) the first c. The line's last
// character is never included, and a p at or past it gives nothing.
std::string_view getUntilCh(std::string_view line, std::size_t p, char c);

// The last two blank-separated words of a line, trimmed ("5:04 PM"; under 24-hour settings the
// date and the time). Empty when the line has fewer than two blanks.
std::string_view extractTime(std::string_view line);

// True for the first line of any entry the log writer produces (checks, deletions, errors,
// cancels, automatic-mode switches). A deletion entry never reaches past such a line.
bool startsEntry(std::string_view line);

bool isCheckEntry(std::string_view line);
bool isDeletionEntry(std::string_view line);

// The fields of a "MAIL CHECK" line. The user name is found between `for "` and `" on server`,
// so a name holding double quotes or " at " still comes out whole.
CheckRecord parseCheckEntry(std::string_view line);

// The fields of a deletion entry from its first line and the lines after it that belong to it:
// up to and including its Size line, never a line that starts another entry, never past the end.
// A field whose line is missing stays empty. `consumed` receives the number of lines taken.
DeletionRecord readDeletionEntry(std::string_view line, LogLines& lines, std::size_t& consumed);

} // namespace mv
