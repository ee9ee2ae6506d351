#include "base/RegionalSettings.h"

#include "base/Text.h"

#include <clocale>
#include <langinfo.h>
#include <locale.h>

namespace mv {

RegionalSettings RegionalSettings::usEnglish() { return {}; }

RegionalSettings RegionalSettings::dayFirst24Hour() {
    RegionalSettings rs;
    rs.shortDateFormat = "dd/mm/yyyy";
    rs.shortTimeFormat = "hh:nn";
    rs.longTimeFormat = "hh:nn:ss";
    return rs;
}

std::string withFourDigitYear(std::string format) {
    if (findNoCase(format, "yyyy") != std::string::npos) return format;
    std::size_t p = findNoCase(format, "yy");
    if (p != std::string::npos) format.insert(p, "yy");
    return format;
}

namespace {

// Converts a strftime pattern from the C library into the picture letters used here.
std::string fromStrftime(std::string_view f, const char* ampmPattern) {
    std::string out;
    for (std::size_t i = 0; i < f.size(); ++i) {
        if (f[i] != '%' || i + 1 >= f.size()) {
            bool letter = (f[i] >= 'a' && f[i] <= 'z') || (f[i] >= 'A' && f[i] <= 'Z');
            out += letter ? "'" + std::string(1, f[i]) + "'" : std::string(1, f[i]);
            continue;
        }
        char c = f[++i];
        if (c == 'E' || c == 'O') { // alternative-numerals modifiers: read the real conversion
            if (i + 1 >= f.size()) break;
            c = f[++i];
        }
        switch (c) {
        case 'd': out += "dd"; break;
        case 'e': out += "d"; break;
        case 'm': out += "mm"; break;
        case 'b': case 'h': out += "mmm"; break;
        case 'B': out += "mmmm"; break;
        case 'y': out += "yy"; break;
        case 'Y': out += "yyyy"; break;
        case 'a': out += "ddd"; break;
        case 'A': out += "dddd"; break;
        case 'H': out += "hh"; break;
        case 'k': out += "h"; break;
        case 'I': out += "hh"; break;
        case 'l': out += "h"; break;
        case 'M': out += "nn"; break;
        case 'S': out += "ss"; break;
        case 'p': case 'P': out += "AMPM"; break;
        case 'D': out += "mm/dd/yy"; break;
        case 'F': out += "yyyy-mm-dd"; break;
        case 'T': out += "hh:nn:ss"; break;
        case 'R': out += "hh:nn"; break;
        case 'r': out += fromStrftime(ampmPattern, "%I:%M:%S %p"); break;
        default: break;
        }
    }
    return trim(out);
}

// The long time format without its seconds.
std::string dropSeconds(std::string format) {
    for (const char* s : {":ss", ":s", ".ss"}) {
        std::size_t p = format.find(s);
        if (p != std::string::npos) return format.erase(p, std::string_view(s).size());
    }
    return format;
}

} // namespace

RegionalSettings RegionalSettings::fromLocale() {
    RegionalSettings rs;
    locale_t loc = newlocale(LC_TIME_MASK, "", nullptr);
    if (loc == nullptr) return rs;
    auto info = [loc](nl_item item) { return std::string(nl_langinfo_l(item, loc)); };
    std::string ampm = info(T_FMT_AMPM);
    std::string date = fromStrftime(info(D_FMT), ampm.c_str());
    std::string time = fromStrftime(info(T_FMT), ampm.c_str());
    if (!date.empty()) rs.shortDateFormat = date;
    if (!time.empty()) {
        rs.longTimeFormat = time;
        rs.shortTimeFormat = dropSeconds(time);
    }
    for (char c : rs.shortDateFormat)
        if (c == '/' || c == '.' || c == '-') {
            rs.dateSeparator = c;
            break;
        }
    if (!info(AM_STR).empty()) rs.timeAMString = info(AM_STR);
    if (!info(PM_STR).empty()) rs.timePMString = info(PM_STR);
    for (int d = 0; d < 7; ++d) {
        rs.shortDayNames[d] = info(ABDAY_1 + d);
        rs.longDayNames[d] = info(DAY_1 + d);
    }
    for (int m = 0; m < 12; ++m) {
        rs.shortMonthNames[m] = info(ABMON_1 + m);
        rs.longMonthNames[m] = info(MON_1 + m);
    }
    freelocale(loc);
    return rs;
}

namespace {

bool hasAmPm(std::string_view pattern) {
    return findNoCase(pattern, "am/pm") != std::string_view::npos ||
           findNoCase(pattern, "a/p") != std::string_view::npos ||
           findNoCase(pattern, "ampm") != std::string_view::npos;
}

std::string twoDigits(int v) {
    return (v < 10 ? "0" : "") + std::to_string(v);
}

class Formatter {
public:
    Formatter(DateTime value, const RegionalSettings& rs)
        : m_date(decodeDate(value)), m_time(decodeTime(value)), m_value(value), m_rs(rs) {}

    std::string run(std::string_view pattern, int depth = 0) {
        std::string out;
        const bool twelveHour = hasAmPm(pattern);
        bool lastWasHour = false;
        std::size_t i = 0;
        auto count = [&](char c) {
            std::size_t n = 0;
            while (i + n < pattern.size() && upperAscii(pattern[i + n]) == upperAscii(c)) ++n;
            return n;
        };
        while (i < pattern.size()) {
            char c = pattern[i];
            char u = upperAscii(c);
            if (c == '"' || c == '\'') {
                std::size_t end = pattern.find(c, i + 1);
                if (end == std::string_view::npos) end = pattern.size();
                out += pattern.substr(i + 1, end - i - 1);
                i = end + 1;
                continue;
            }
            if (startsWithNoCase(pattern.substr(i), "am/pm")) {
                out += m_time.hour < 12 ? (c == 'A' ? "AM" : "am") : (c == 'A' ? "PM" : "pm");
                i += 5;
                continue;
            }
            if (startsWithNoCase(pattern.substr(i), "a/p")) {
                out += m_time.hour < 12 ? (c == 'A' ? "A" : "a") : (c == 'A' ? "P" : "p");
                i += 3;
                continue;
            }
            if (startsWithNoCase(pattern.substr(i), "ampm")) {
                out += m_time.hour < 12 ? m_rs.timeAMString : m_rs.timePMString;
                i += 4;
                continue;
            }
            std::size_t n = count(c);
            bool hour = false;
            switch (u) {
            case 'D': out += days(n, depth); break;
            case 'M':
                out += lastWasHour ? minutes(n) : months(n);
                break;
            case 'Y': out += n <= 2 ? twoDigits(m_date.year % 100) : std::to_string(m_date.year);
                break;
            case 'H': {
                int h = m_time.hour;
                if (twelveHour) h = h % 12 == 0 ? 12 : h % 12;
                out += n >= 2 ? twoDigits(h) : std::to_string(h);
                hour = true;
                n = std::min<std::size_t>(n, 2);
                break;
            }
            case 'N': out += minutes(n); n = std::min<std::size_t>(n, 2); break;
            case 'S':
                out += n >= 2 ? twoDigits(m_time.second) : std::to_string(m_time.second);
                n = std::min<std::size_t>(n, 2);
                break;
            case 'Z': {
                std::string ms = std::to_string(m_time.millisecond);
                out += n >= 3 ? std::string(3 - ms.size(), '0') + ms : ms;
                n = std::min<std::size_t>(n, 3);
                break;
            }
            case 'T':
                if (depth < 2)
                    out += run(n >= 2 ? m_rs.longTimeFormat : m_rs.shortTimeFormat, depth + 1);
                n = std::min<std::size_t>(n, 2);
                break;
            case '/': out += m_rs.dateSeparator; n = 1; break;
            case ':': out += m_rs.timeSeparator; n = 1; break;
            default: out += c; n = 1; break;
            }
            if (u != ' ') lastWasHour = hour || (lastWasHour && (u == ':' || u == '/'));
            i += n;
        }
        return out;
    }

private:
    std::string days(std::size_t& n, int depth) {
        switch (n) {
        case 1: return std::to_string(m_date.day);
        case 2: return twoDigits(m_date.day);
        case 3: return m_rs.shortDayNames[dayOfWeek(m_value) - 1];
        case 4: return m_rs.longDayNames[dayOfWeek(m_value) - 1];
        default:
            n = 5;
            return depth < 2 ? run(m_rs.shortDateFormat, depth + 1) : std::string();
        }
    }
    std::string months(std::size_t& n) {
        switch (n) {
        case 1: return std::to_string(m_date.month);
        case 2: return twoDigits(m_date.month);
        case 3: return m_rs.shortMonthNames[m_date.month - 1];
        default: n = 4; return m_rs.longMonthNames[m_date.month - 1];
        }
    }
    std::string minutes(std::size_t n) {
        return n >= 2 ? twoDigits(m_time.minute) : std::to_string(m_time.minute);
    }

    DateParts m_date;
    TimeParts m_time;
    DateTime m_value;
    const RegionalSettings& m_rs;
};

// Splits at any character that is not a digit; each run of digits is one number.
std::vector<int> numbersIn(std::string_view text, std::size_t maxCount) {
    std::vector<int> numbers;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] < '0' || text[i] > '9') {
            ++i;
            continue;
        }
        long v = 0;
        std::size_t start = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < 9)
            v = v * 10 + (text[i++] - '0');
        numbers.push_back(static_cast<int>(v));
        if (numbers.size() > maxCount) return {};
    }
    return numbers;
}

} // namespace

std::string formatDateTime(std::string_view pattern, DateTime value, const RegionalSettings& rs) {
    return Formatter(value, rs).run(pattern);
}

std::string formatShortDate(DateTime value, const RegionalSettings& rs) {
    return formatDateTime(rs.shortDateFormat, value, rs);
}
std::string formatShortTime(DateTime value, const RegionalSettings& rs) {
    return formatDateTime(rs.shortTimeFormat, value, rs);
}
std::string formatLongTime(DateTime value, const RegionalSettings& rs) {
    return formatDateTime(rs.longTimeFormat, value, rs);
}

std::optional<DateTime> parseDate(std::string_view text, const RegionalSettings& rs,
                                  DateTime today) {
    std::string t = trim(text);
    for (char c : t) // only digits, blanks and the date separator belong in a short date
        if (!(c >= '0' && c <= '9') && c != rs.dateSeparator && c != ' ') return std::nullopt;
    std::vector<int> n = numbersIn(t, 3);
    if (n.size() < 2 || n.size() > 3) return std::nullopt;
    // The order of day, month and year follows the first of each letter in the format.
    std::string order;
    for (char c : upperAscii(rs.shortDateFormat))
        if ((c == 'D' || c == 'M' || c == 'Y') && order.find(c) == std::string::npos) order += c;
    if (order.size() != 3) order = "MDY";
    int day = 0, month = 0, year = decodeDate(today).year;
    bool yearGiven = n.size() == 3;
    std::size_t k = 0;
    std::size_t yearDigits = 4;
    for (char c : order) {
        if (c == 'Y' && !yearGiven) continue;
        int v = n[k++];
        if (c == 'D') day = v;
        if (c == 'M') month = v;
        if (c == 'Y') year = v;
    }
    if (yearGiven) { // count the year's own digits to tell "05" from "2005"
        std::size_t pos = 0, idx = 0, yearIndex = order.find('Y');
        while (pos < t.size()) {
            while (pos < t.size() && !(t[pos] >= '0' && t[pos] <= '9')) ++pos;
            std::size_t start = pos;
            while (pos < t.size() && t[pos] >= '0' && t[pos] <= '9') ++pos;
            if (idx++ == yearIndex) yearDigits = pos - start;
        }
        if (yearDigits <= 2) year += year < 50 ? 2000 : 1900;
    }
    return encodeDate(year, month, day);
}

std::optional<DateTime> parseTime(std::string_view text, const RegionalSettings& rs) {
    std::string t = trim(text);
    int pmShift = -1; // -1 no marker, 0 AM, 12 PM
    auto takeMarker = [&](const std::string& marker, int shift) {
        if (marker.empty()) return;
        if (endsWithNoCase(t, marker)) {
            t = trim(t.substr(0, t.size() - marker.size()));
            pmShift = shift;
        } else if (startsWithNoCase(t, marker)) {
            t = trim(t.substr(marker.size()));
            pmShift = shift;
        }
    };
    for (const auto& [marker, shift] :
         {std::pair{rs.timeAMString, 0}, {rs.timePMString, 12}, {std::string("AM"), 0},
          {std::string("PM"), 12}}) {
        if (pmShift >= 0) break;
        takeMarker(marker, shift);
    }
    if (t.empty()) return std::nullopt;
    for (char c : t)
        if (!(c >= '0' && c <= '9') && c != rs.timeSeparator && c != ':') return std::nullopt;
    std::vector<int> n = numbersIn(t, 3);
    if (n.empty() || n.size() > 3) return std::nullopt;
    int hour = n[0], minute = n.size() > 1 ? n[1] : 0, second = n.size() > 2 ? n[2] : 0;
    if (pmShift >= 0) {
        if (hour < 1 || hour > 12) return std::nullopt;
        hour = hour % 12 + pmShift;
    }
    return encodeTime(hour, minute, second);
}

} // namespace mv
