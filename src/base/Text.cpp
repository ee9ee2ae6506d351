#include "base/Text.h"

#include <charconv>

namespace mv {

bool isTrimmable(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string trimLeft(std::string_view s) {
    std::size_t b = 0;
    while (b < s.size() && isTrimmable(s[b])) ++b;
    return std::string(s.substr(b));
}

std::string trimRight(std::string_view s) {
    std::size_t e = s.size();
    while (e > 0 && isTrimmable(s[e - 1])) --e;
    return std::string(s.substr(0, e));
}

std::string trim(std::string_view s) { return trimLeft(trimRight(s)); }

char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

std::string upperAscii(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = upperAscii(c);
    return r;
}

std::string lowerAscii(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upperAscii(a[i]) != upperAscii(b[i])) return false;
    return true;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsNoCase(text.substr(0, prefix.size()), prefix);
}

bool endsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           equalsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

std::size_t findNoCase(std::string_view text, std::string_view needle, std::size_t from) {
    if (needle.size() > text.size()) return std::string_view::npos;
    for (std::size_t i = from; i + needle.size() <= text.size(); ++i)
        if (equalsNoCase(text.substr(i, needle.size()), needle)) return i;
    return std::string_view::npos;
}

namespace {
// Length of the UTF-8 sequence starting with lead, or 0 when lead cannot start one.
std::size_t utf8Length(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}
} // namespace

bool isValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        std::size_t n = utf8Length(static_cast<unsigned char>(s[i]));
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

std::string cutShort(std::string_view s, std::size_t max) {
    if (s.size() <= max) return std::string(s);
    std::size_t end = max;
    if (isValidUtf8(s)) // step back over continuation bytes so no character is split
        while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80) --end;
    return std::string(s.substr(0, end));
}

std::string displayText(std::string_view s) {
    if (isValidUtf8(s)) return std::string(s);
    std::string r;
    r.reserve(s.size() * 2);
    for (unsigned char c : s) {
        if (c < 0x80) {
            r += static_cast<char>(c);
        } else {
            r += static_cast<char>(0xC0 | (c >> 6));
            r += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return r;
}

std::optional<long long> parseInteger(std::string_view s) {
    std::string t = trim(s);
    std::string_view v = t;
    bool negative = false;
    if (!v.empty() && (v[0] == '-' || v[0] == '+')) {
        negative = v[0] == '-';
        v.remove_prefix(1);
    }
    int base = 10;
    if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) {
        base = 16;
        v.remove_prefix(2);
    }
    if (v.empty()) return std::nullopt;
    long long value = 0;
    auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value, base);
    if (ec != std::errc() || end != v.data() + v.size()) return std::nullopt;
    return negative ? -value : value;
}

long long parseIntegerOr(std::string_view s, long long fallback) {
    return parseInteger(s).value_or(fallback);
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = upperAscii(c);
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::string replaceAll(std::string s, std::string_view from, std::string_view to) {
    if (from.empty()) return s;
    for (std::size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size()))
        s.replace(p, from.size(), to);
    return s;
}

} // namespace mv
