#include "mail/HtmlText.h"

#include "base/Text.h"

#include <array>
#include <cctype>
#include <optional>
#include <utility>

namespace mv {

namespace {

constexpr std::array<std::pair<std::string_view, char32_t>, 40> kEntities{{
    {"amp", U'&'},         {"lt", U'<'},          {"gt", U'>'},          {"quot", U'"'},
    {"apos", U'\''},       {"nbsp", U' '},        {"copy", U'\u00A9'},   {"reg", U'\u00AE'},
    {"trade", U'\u2122'},  {"euro", U'\u20AC'},   {"pound", U'\u00A3'},  {"yen", U'\u00A5'},
    {"cent", U'\u00A2'},   {"sect", U'\u00A7'},   {"deg", U'\u00B0'},    {"middot", U'\u00B7'},
    {"bull", U'\u2022'},   {"hellip", U'\u2026'}, {"ndash", U'\u2013'},  {"mdash", U'\u2014'},
    {"lsquo", U'\u2018'},  {"rsquo", U'\u2019'},  {"ldquo", U'\u201C'},  {"rdquo", U'\u201D'},
    {"laquo", U'\u00AB'},  {"raquo", U'\u00BB'},  {"times", U'\u00D7'},  {"shy", U'\u00AD'},
    {"auml", U'\u00E4'},   {"ouml", U'\u00F6'},   {"uuml", U'\u00FC'},   {"Auml", U'\u00C4'},
    {"Ouml", U'\u00D6'},   {"Uuml", U'\u00DC'},   {"szlig", U'\u00DF'},  {"eacute", U'\u00E9'},
    {"egrave", U'\u00E8'}, {"aacute", U'\u00E1'}, {"ccedil", U'\u00E7'}, {"iexcl", U'\u00A1'},
}};

// Tags that end a line of text where they open or close.
constexpr std::array<std::string_view, 22> kBlockTags{
    "br", "p",  "div",   "tr",         "li",  "h1", "h2",    "h3", "h4", "h5",      "h6",
    "ul", "ol", "table", "blockquote", "pre", "hr", "title", "dt", "dd", "section", "article"};

// Tags whose content is not text for the reader.
constexpr std::array<std::string_view, 4> kHiddenTags{"script", "style", "head", "template"};

void appendUtf8(std::string& out, char32_t c) {
    if (c == 0 || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = 0xFFFD;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The character of an entity name without "&" and ";" ("amp", "#233", "#xE9"), or nothing.
std::optional<char32_t> entityValue(std::string_view name) {
    if (name.size() > 1 && name[0] == '#') {
        bool hex = name[1] == 'x' || name[1] == 'X';
        std::string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty() || digits.size() > 8) return std::nullopt;
        char32_t value = 0;
        for (char c : digits) {
            int d = c >= '0' && c <= '9'          ? c - '0'
                    : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                  : -1;
            if (d < 0) return std::nullopt;
            value = value * (hex ? 16 : 10) + static_cast<char32_t>(d);
        }
        return value;
    }
    for (const auto& [entity, value] : kEntities)
        if (entity == name) return value;
    return std::nullopt;
}

template <std::size_t N>
bool listed(const std::array<std::string_view, N>& tags, std::string_view name) {
    for (std::string_view tag : tags)
        if (equalsNoCase(tag, name)) return true;
    return false;
}

// One pass over an HTML text, building the plain text; lives for one htmlToText call.
class HtmlReader {
public:
    explicit HtmlReader(std::string_view html) : m_html(html) {}

    std::string run() {
        while (m_pos < m_html.size()) {
            char c = m_html[m_pos];
            if (c == '<')
                tag();
            else if (c == '&')
                entity();
            else
                append(c), ++m_pos;
        }
        return tidy(m_out);
    }

private:
    // Appends a text character; white space runs become one blank.
    void append(char c) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') c = ' ';
        if (c == ' ' && (m_out.empty() || m_out.back() == ' ' || m_out.back() == '\n')) return;
        m_out += c;
    }

    void lineBreak() {
        while (!m_out.empty() && m_out.back() == ' ')
            m_out.pop_back();
        m_out += '\n';
    }

    void entity() {
        // Entity names are short; looking no further keeps text full of "&" linear.
        std::size_t semicolon = m_html.substr(m_pos, 12).find(';');
        if (semicolon != std::string_view::npos) {
            if (auto value = entityValue(m_html.substr(m_pos + 1, semicolon - 1))) {
                appendUtf8(m_out, *value);
                m_pos += semicolon + 1;
                return;
            }
        }
        append('&');
        ++m_pos;
    }

    void tag() {
        if (m_html.substr(m_pos, 4) == "<!--") {
            skipPast("-->");
            return;
        }
        std::size_t nameStart = m_pos + 1;
        bool closing = nameStart < m_html.size() && m_html[nameStart] == '/';
        if (closing) ++nameStart;
        std::size_t nameEnd = nameStart;
        while (nameEnd < m_html.size() &&
               (std::isalnum(static_cast<unsigned char>(m_html[nameEnd]))))
            ++nameEnd;
        if (nameEnd == nameStart && !closing &&
            (nameStart >= m_html.size() || m_html[nameStart] != '!')) {
            append('<'); // a lone "<" in text
            ++m_pos;
            return;
        }
        std::string_view name = m_html.substr(nameStart, nameEnd - nameStart);
        skipPast(">");
        if (listed(kBlockTags, name)) lineBreak();
        if (equalsNoCase(name, "td") || equalsNoCase(name, "th")) append(' ');
        if (!closing && listed(kHiddenTags, name)) skipHidden(name);
    }

    // Skips to the end of the element `name`.
    void skipHidden(std::string_view name) {
        std::size_t pos = findNoCase(m_html, "</" + std::string(name), m_pos);
        m_pos = pos == std::string_view::npos ? m_html.size() : pos;
        skipPast(">");
    }

    void skipPast(std::string_view end) {
        std::size_t pos = m_html.find(end, m_pos);
        m_pos = pos == std::string_view::npos ? m_html.size() : pos + end.size();
    }

    // Lines trimmed, at most one empty line in a row, none at the ends.
    static std::string tidy(std::string_view text) {
        std::string out;
        int emptyRun = 0;
        for (const std::string& line : splitLines(text)) {
            std::string t = trim(line);
            if (t.empty()) {
                if (!out.empty() && ++emptyRun == 1) out += '\n';
                continue;
            }
            emptyRun = 0;
            out += t;
            out += '\n';
        }
        while (!out.empty() && out.back() == '\n')
            out.pop_back();
        return out;
    }

    std::string_view m_html;
    std::size_t m_pos = 0;
    std::string m_out;
};

} // namespace

std::string htmlToText(std::string_view html) {
    return HtmlReader(html).run();
}

} // namespace mv
