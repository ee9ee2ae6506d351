#include "stats/StampConverter.h"

namespace mv {

namespace {

RegionalSettings dateOrder(std::string format, char separator, char timeSeparator = ':') {
    RegionalSettings rs = RegionalSettings::dayFirst24Hour();
    rs.shortDateFormat = std::move(format);
    rs.dateSeparator = separator;
    rs.timeSeparator = timeSeparator;
    return rs;
}

} // namespace

StampConverter::StampConverter(const RegionalSettings& current)
    : m_formats{current,
                RegionalSettings::usEnglish(),
                RegionalSettings::dayFirst24Hour(),
                dateOrder("dd.mm.yyyy", '.', '.'),
                dateOrder("yyyy-mm-dd", '-'),
                dateOrder("dd-mm-yyyy", '-')} {}

std::optional<DateTime> StampConverter::date(std::string_view text) {
    if (text == m_lastText && !m_lastText.empty()) return m_lastValue;
    std::optional<DateTime> value;
    for (const RegionalSettings& rs : m_formats)
        if ((value = parseDate(text, rs))) break;
    m_lastText = text;
    m_lastValue = value;
    return value;
}

StampConverter::Time StampConverter::time(std::string_view text) const {
    if (auto value = timeIn(text)) return {text, value};
    std::size_t blank = text.rfind(' ');
    if (blank != std::string_view::npos) {
        std::string_view last = text.substr(blank + 1);
        if (auto value = timeIn(last)) return {last, value};
    }
    return {text, std::nullopt};
}

std::optional<DateTime> StampConverter::timeIn(std::string_view text) const {
    for (const RegionalSettings& rs : m_formats)
        if (auto value = parseTime(text, rs)) return value;
    return std::nullopt;
}

} // namespace mv
