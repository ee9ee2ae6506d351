#include "stats/LogEntries.h"

#include "base/Text.h"

#include <array>
#include <cstring>
#include <optional>

namespace mv {

namespace {

constexpr std::string_view kCheckStart = "MAIL CHECK ";
constexpr std::string_view kDeletionStart = "DELETE SPAM";
constexpr std::string_view kDeletionStamp = "DELETE SPAM on ";
constexpr std::string_view kOnServer = " on server ";
constexpr std::string_view kAt = " at ";
constexpr std::string_view kUserStart = "for \"";
// Every value of a deletion entry's indented lines starts nine characters after its label
// ("Server:  ", "Mailbox: ", "Sender:  ", "Size:    ").
constexpr std::size_t kLabelWidth = 9;

// The word after the day name that starts at index `from` ("Mon 5/13/2024 ..." gives the date).
// Any length of day name is skipped, since not every language abbreviates to three letters.
std::string_view dateAfterDayName(std::string_view line, std::size_t from) {
    std::size_t blank = line.find(' ', from);
    if (blank == std::string_view::npos) return {};
    return getUntilCh(line, blank + 2, ' ');
}

// The text after a label, from the label's position plus the fixed width; empty when the text
// ends there.
std::string_view afterLabel(std::string_view line, std::size_t labelPos) {
    std::size_t start = labelPos + kLabelWidth;
    return start < line.size() ? line.substr(start) : std::string_view();
}

// At most the length of a short text field, never cutting a UTF-8 sequence.
std::string_view shortText(std::string_view s) {
    return s.size() <= kShortTextMax ? s : s.substr(0, cutShort(s).size());
}

// Where `label` starts when the line, blanks at its start aside, begins with it.
std::optional<std::size_t> labelAt(std::string_view line, std::string_view label) {
    std::size_t start = line.find_first_not_of(' ');
    if (start == std::string_view::npos || line.substr(start, label.size()) != label)
        return std::nullopt;
    return start;
}

} // namespace

std::string_view getUntilCh(std::string_view line, std::size_t p, char c) {
    if (p < 1 || p >= line.size()) return {};
    std::size_t begin = p - 1;
    std::size_t end = std::min(line.find(c, begin), line.size() - 1);
    return line.substr(begin, end - begin);
}

std::string_view extractTime(std::string_view line) {
    std::size_t last = line.rfind(' ');
    if (last == std::string_view::npos || last == 0) return {};
    std::size_t secondLast = line.rfind(' ', last - 1);
    if (secondLast == std::string_view::npos) return {};
    std::string_view time = line.substr(secondLast + 1);
    while (!time.empty() && isTrimmable(time.front()))
        time.remove_prefix(1);
    while (!time.empty() && isTrimmable(time.back()))
        time.remove_suffix(1);
    return time;
}

std::pair<std::string_view, std::size_t> LogLines::front() const {
    const char* data = m_rest.data();
    const char* lf = static_cast<const char*>(std::memchr(data, '\n', m_rest.size()));
    std::size_t end = lf ? static_cast<std::size_t>(lf - data) : m_rest.size();
    const char* cr = static_cast<const char*>(std::memchr(data, '\r', end));
    if (cr && cr + 1 != data + end) { // a lone CR ends its line too
        std::size_t at = static_cast<std::size_t>(cr - data);
        return {m_rest.substr(0, at), at + 1};
    }
    std::size_t length = cr ? end - 1 : end;
    return {m_rest.substr(0, length), std::min(end + 1, m_rest.size())};
}

std::string_view LogLines::peek() const {
    return front().first;
}

std::string_view LogLines::next() {
    auto [line, taken] = front();
    m_rest.remove_prefix(taken);
    return line;
}

bool startsEntry(std::string_view line) {
    static constexpr std::array<std::string_view, 5> starts{
        kCheckStart, kDeletionStart, "ERROR ", "OPERATION CANCELED FOR ", "Automatic mode "};
    for (std::string_view s : starts)
        if (line.starts_with(s)) return true;
    return false;
}

bool isCheckEntry(std::string_view line) {
    return line.starts_with(kCheckStart);
}
bool isDeletionEntry(std::string_view line) {
    return line.starts_with(kDeletionStart);
}

CheckRecord parseCheckEntry(std::string_view line) {
    CheckRecord r;
    r.count = getUntilCh(line, kCheckStart.size() + 1, ' ');
    std::size_t serverPos = line.rfind(kOnServer);
    std::size_t userPos = line.find(kUserStart);
    if (userPos != std::string_view::npos) {
        std::size_t start = userPos + kUserStart.size();
        // The writer puts the name between quotes as it stands, quotes inside it included, so
        // the closing quote is the one right before " on server ".
        bool closedBeforeServer =
            serverPos != std::string_view::npos && serverPos > start && line[serverPos - 1] == '"';
        r.mailbox = closedBeforeServer ? line.substr(start, serverPos - 1 - start)
                                       : getUntilCh(line, start + 1, '"');
    }
    if (serverPos == std::string_view::npos) return r;
    r.server = getUntilCh(line, serverPos + kOnServer.size() + 1, ' ');
    std::size_t atPos = line.find(kAt, serverPos + kOnServer.size());
    if (atPos != std::string_view::npos) {
        r.date = dateAfterDayName(line, atPos + kAt.size());
        r.time = extractTime(line);
    }
    return r;
}

DeletionRecord readDeletionEntry(std::string_view line, LogLines& lines, std::size_t& consumed) {
    DeletionRecord r;
    if (line.starts_with(kDeletionStamp)) r.date = dateAfterDayName(line, kDeletionStamp.size());
    r.time = extractTime(line);
    bool haveServer = false, haveSender = false;
    consumed = 0;
    while (!lines.atEnd() && !startsEntry(lines.peek())) {
        std::string_view l = lines.next();
        ++consumed;
        if (auto pos = labelAt(l, "Server:"); pos && !haveServer) {
            haveServer = true;
            r.server = getUntilCh(l, *pos + kLabelWidth + 1, ' ');
            std::size_t mailboxPos = l.find("Mailbox:", *pos);
            if (mailboxPos != std::string_view::npos)
                r.mailbox = shortText(afterLabel(l, mailboxPos));
        } else if (auto pos = labelAt(l, "Sender:"); pos && !haveSender) {
            haveSender = true;
            r.sender = shortText(afterLabel(l, *pos));
            std::size_t at = r.sender.find('@');
            if (at != std::string_view::npos) r.domain = r.sender.substr(at + 1);
        } else if (auto pos = labelAt(l, "Size:")) {
            r.size = getUntilCh(l, *pos + kLabelWidth + 1, ' ');
            break; // the entry's last line
        }
    }
    return r;
}

} // namespace mv
