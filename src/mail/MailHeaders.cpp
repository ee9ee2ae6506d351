#include "mail/MailHeaders.h"

#include "base/Text.h"
#include "mail/EncodedWords.h"

namespace mv {

namespace {
std::string fieldKey(std::string_view name) {
    std::string key(name);
    if (key.empty() || key.back() != ':') key += ':';
    return key;
}

bool isContinuation(std::string_view line) {
    return !line.empty() && (line[0] == ' ' || line[0] == '\t');
}

// The text after the first colon; one blank or tab right after it belongs to the separator.
std::string afterColon(std::string_view line) {
    std::size_t colon = line.find(':');
    std::size_t start = colon + 1;
    if (start < line.size() && (line[start] == ' ' || line[start] == '\t')) ++start;
    return std::string(line.substr(start));
}

// Splits at commas outside double quotes.
std::vector<std::string> splitItems(std::string_view value) {
    std::vector<std::string> items;
    std::string current;
    bool quoted = false;
    for (char c : value) {
        if (c == '"') quoted = !quoted;
        if (c == ',' && !quoted) {
            items.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!trim(current).empty()) items.push_back(current);
    return items;
}
} // namespace

void TMailHeaders::insert(std::size_t i, std::string line) {
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(i), std::move(line));
}

void TMailHeaders::remove(std::size_t i) {
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(i));
}

int TMailHeaders::indexOf(std::string_view line) const {
    for (std::size_t i = 0; i < m_lines.size(); ++i)
        if (m_lines[i] == line) return static_cast<int>(i);
    return -1;
}

void TMailHeaders::loadFromText(std::string_view text) { m_lines = splitLines(text); }

std::string TMailHeaders::text() const {
    std::string out;
    for (const std::string& line : m_lines) out += line + "\r\n";
    return out;
}

int TMailHeaders::findField(std::string_view name) const {
    std::string key = fieldKey(name);
    for (std::size_t i = 0; i < m_lines.size(); ++i)
        if (startsWithNoCase(m_lines[i], key)) return static_cast<int>(i);
    return -1;
}

std::string TMailHeaders::unfoldedValue(std::size_t index) const {
    std::string value = trim(afterColon(m_lines[index]));
    for (std::size_t i = index + 1; i < m_lines.size() && isContinuation(m_lines[i]); ++i)
        value += " " + trim(m_lines[i]);
    return value;
}

std::string TMailHeaders::GetFieldValue(std::string_view name) const {
    int index = findField(name);
    if (index < 0) return {};
    std::string value = unfoldedValue(static_cast<std::size_t>(index));
    std::string bare(name);
    if (!bare.empty() && bare.back() == ':') bare.pop_back();
    if (equalsNoCase(bare, "Content-Type") || equalsNoCase(bare, "X-UIDL")) return value;
    return DecodeHeaderText(cutShort(value));
}

std::string TMailHeaders::GetWholeFieldValue(std::string_view name) const {
    int index = findField(name);
    return index < 0 ? std::string() : unfoldedValue(static_cast<std::size_t>(index));
}

std::vector<std::string> TMailHeaders::GetFieldValues(std::string_view prefix) const {
    std::vector<std::string> result;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (!startsWithNoCase(m_lines[i], prefix)) continue;
        if (m_lines[i].find(':') == std::string::npos) break;
        for (const std::string& item : splitItems(unfoldedValue(i)))
            result.push_back(trim(DecodeHeaderText(cutShort(trim(item)))));
    }
    return result;
}

void TMailHeaders::RemoveField(std::string_view name) {
    int index = findField(name);
    if (index < 0) return;
    auto first = m_lines.begin() + index;
    auto last = first + 1;
    while (last != m_lines.end() && isContinuation(*last)) ++last;
    m_lines.erase(first, last);
}

void TMailHeaders::TruncateAtBlankLine() {
    for (std::size_t i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].empty()) {
            m_lines.resize(i);
            return;
        }
}

} // namespace mv
