#include "mail/BodyCodecs.h"

#include "base/Text.h"
#include "mail/MailErrors.h"

#include <algorithm>
#include <array>

namespace mv {

namespace {

constexpr char kBase64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr signed char kInvalid = -1;
constexpr signed char kPad = -2;

constexpr std::array<signed char, 256> makeBase64Table() {
    std::array<signed char, 256> table{};
    for (auto& v : table)
        v = kInvalid;
    for (int i = 0; i < 64; ++i)
        table[static_cast<unsigned char>(kBase64Alphabet[i])] = static_cast<signed char>(i);
    table['='] = kPad;
    return table;
}
constexpr auto kBase64Table = makeBase64Table();

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isTrimmable(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isTrimmable(s.back()))
        s.remove_suffix(1);
    return s;
}

// Values of the uuencode alphabet: the grave accent and the blank are 0, codes 33 to 95 are 1
// to 63.
int uuValue(char c) {
    auto code = static_cast<unsigned char>(c);
    if (code == '`') return 0;
    if (code >= 32 && code <= 95) return code - 32;
    throw EMessageParserError("Invalid Character");
}

char uuCharacter(unsigned value) {
    return value == 0 ? '`' : static_cast<char>(value + 32);
}

constexpr char kHexDigits[] = "0123456789ABCDEF";

void appendEscaped(std::string& out, unsigned char c) {
    out += '=';
    out += kHexDigits[c >> 4];
    out += kHexDigits[c & 15];
}

// The quoted-printable form of byte i of a line: every byte that is not printable ASCII, and "=",
// as "=XX"; the blank and code 127 stay as they are unless they end the line. A line that is a
// lone "." is escaped too.
void appendToken(std::string& out, std::string_view line, std::size_t i) {
    auto c = static_cast<unsigned char>(line[i]);
    bool last = i + 1 == line.size();
    bool trailingBlank = last && (c == ' ' || c == '\t');
    if (c < 32 || c == '=' || c >= 128 || trailingBlank || line == ".")
        appendEscaped(out, c);
    else
        out += static_cast<char>(c);
}

// Appends one line of text as quoted-printable lines of at most 65 characters, each but the last
// ending in a soft break. A cut goes before the last blank of the piece, so the blank starts the
// next one; escapes are never split.
void encodeParagraph(std::string_view text, std::vector<std::string>& lines) {
    constexpr std::size_t kMaxLine = 65;
    std::string line, token;
    std::size_t lastBlank = std::string::npos; // position in `line` of its last blank
    std::size_t lastBlankIndex = 0;            // index in `text` of that blank
    std::size_t i = 0;
    while (i < text.size()) {
        token.clear();
        appendToken(token, text, i);
        if (line.size() + token.size() <= kMaxLine) {
            if (token == " ") lastBlank = line.size(), lastBlankIndex = i;
            line += token;
            ++i;
            continue;
        }
        if (lastBlank != std::string::npos && lastBlank > 0) {
            line.erase(lastBlank);
            i = lastBlankIndex;
        }
        line += '=';
        lines.push_back(std::move(line));
        line.clear();
        lastBlank = std::string::npos;
    }
    lines.push_back(std::move(line));
}

} // namespace

void Base64Decoder::addLine(std::string_view line) {
    line = trimmed(line);
    const char* p = line.data();
    const char* end = p + line.size();
    // Whole groups go four characters at a time while no bits are pending.
    if (m_bits == 0) {
        while (end - p >= 4) {
            int a = kBase64Table[static_cast<unsigned char>(p[0])];
            int b = kBase64Table[static_cast<unsigned char>(p[1])];
            int c = kBase64Table[static_cast<unsigned char>(p[2])];
            int d = kBase64Table[static_cast<unsigned char>(p[3])];
            if ((a | b | c | d) < 0) break;
            unsigned v =
                (unsigned(a) << 18) | (unsigned(b) << 12) | (unsigned(c) << 6) | unsigned(d);
            char bytes[3] = {static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                             static_cast<char>(v)};
            m_out.append(bytes, 3);
            p += 4;
        }
    }
    for (; p < end; ++p) {
        int v = kBase64Table[static_cast<unsigned char>(*p)];
        if (v == kInvalid) throw EMessageParserError("Invalid Character");
        if (v == kPad) {
            m_accumulator = 0;
            m_bits = 0;
            continue;
        }
        m_accumulator = ((m_accumulator << 6) | static_cast<unsigned>(v)) & 0xFFFFFF;
        m_bits += 6;
        if (m_bits >= 8) {
            m_bits -= 8;
            m_out += static_cast<char>((m_accumulator >> m_bits) & 0xFF);
        }
    }
}

std::string EncodeBase64Text(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                     (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                     static_cast<unsigned char>(bytes[i + 2]);
        out += kBase64Alphabet[(v >> 18) & 63];
        out += kBase64Alphabet[(v >> 12) & 63];
        out += kBase64Alphabet[(v >> 6) & 63];
        out += kBase64Alphabet[v & 63];
    }
    std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kBase64Alphabet[(v >> 18) & 63];
        out += kBase64Alphabet[(v >> 12) & 63];
        out += rest == 2 ? kBase64Alphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

bool IsUUBegin(std::string_view line) {
    if (line.size() <= 8 || !startsWithNoCase(line, "BEGIN")) return false;
    std::string rest = trim(line.substr(5));
    if (rest.size() < 3) return false;
    for (int i = 0; i < 3; ++i)
        if (rest[i] < '0' || rest[i] > '9') return false;
    return true;
}

std::string UUFileName(std::string_view line) {
    std::string rest = trimLeft(line.substr(std::min<std::size_t>(5, line.size())));
    std::size_t modeEnd = rest.find(' ');
    if (modeEnd == std::string::npos) return {};
    std::string_view name = std::string_view(rest).substr(modeEnd + 1);
    if (!name.empty() && name.front() == '"') {
        std::size_t close = name.find('"', 1);
        return close == std::string_view::npos ? std::string()
                                               : std::string(name.substr(1, close - 1));
    }
    return std::string(name.substr(0, name.find(' ')));
}

void DecodeUULine(std::string_view line, std::string& out) {
    if (line.empty()) return;
    // Up to one group of blanks lost in transport is made good; a count beyond that gives only
    // the bytes the line holds, so a short line cannot swell into many bytes.
    std::size_t held = (line.size() - 1) * 3 / 4 + 3;
    auto count = std::min(static_cast<std::size_t>(uuValue(line[0])), held);
    std::size_t produced = 0;
    for (std::size_t pos = 1; produced < count; pos += 4) {
        unsigned v = 0;
        for (std::size_t k = 0; k < 4; ++k)
            v = (v << 6) |
                static_cast<unsigned>(pos + k < line.size() ? uuValue(line[pos + k]) : 0);
        for (int shift = 16; shift >= 0 && produced < count; shift -= 8, ++produced)
            out += static_cast<char>((v >> shift) & 0xFF);
    }
}

std::string EncodeUULine(std::string_view bytes) {
    std::string out(1, uuCharacter(static_cast<unsigned>(bytes.size())));
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        unsigned v = 0;
        for (std::size_t k = 0; k < 3; ++k)
            v = (v << 8) | (i + k < bytes.size() ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        for (int shift = 18; shift >= 0; shift -= 6)
            out += uuCharacter((v >> shift) & 63);
    }
    return out;
}

void DecodeQuotedPrintableLine(std::string_view line, std::string& out) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    bool softBreak = !line.empty() && line.back() == '=';
    if (softBreak) line.remove_suffix(1);
    std::size_t i = 0;
    while (i < line.size()) {
        std::size_t equals = line.find('=', i);
        if (equals == std::string_view::npos) equals = line.size();
        out.append(line.substr(i, equals - i)); // plain text goes over in runs
        i = equals;
        if (i == line.size()) break;
        int hi = i + 1 < line.size() ? hexValue(line[i + 1]) : -1;
        int lo = i + 2 < line.size() ? hexValue(line[i + 2]) : -1;
        if (hi >= 0 && lo >= 0) {
            out += static_cast<char>(hi * 16 + lo);
            i += 3;
        } else {
            out += '=';
            ++i;
        }
    }
    if (!softBreak && (line.empty() || line.back() != '\x1A')) out += "\r\n";
}

std::vector<std::string> EncodeQuotedPrintable(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = start;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        encodeParagraph(bytes.substr(start, end - start), lines);
        if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() &&
            bytes[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

} // namespace mv
