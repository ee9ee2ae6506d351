#include "mail/EncodedWords.h"

#include "base/Text.h"
#include "mail/MailErrors.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <optional>

namespace mv {

namespace {

int base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

struct EncodedWord {
    std::size_t begin = 0, end = 0; // [begin, end) covers "=?...?="
    std::string charset;
    char encoding = 0;
    std::string_view payload;
};

// The encoded word starting at `start` ("=?" there), or nothing when it is not well formed.
std::optional<EncodedWord> parseEncodedWord(std::string_view text, std::size_t start) {
    std::size_t charsetEnd = text.find('?', start + 2);
    if (charsetEnd == std::string_view::npos || charsetEnd + 2 >= text.size() ||
        text[charsetEnd + 2] != '?')
        return std::nullopt;
    std::size_t payloadStart = charsetEnd + 3;
    std::size_t close = text.find("?=", payloadStart);
    if (close == std::string_view::npos) return std::nullopt;
    EncodedWord w;
    w.begin = start;
    w.end = close + 2;
    w.charset = std::string(text.substr(start + 2, charsetEnd - start - 2));
    w.encoding = upperAscii(text[charsetEnd + 1]);
    w.payload = text.substr(payloadStart, close - payloadStart);
    return w;
}

// The decoded, converted text of a word, or nothing when its payload is malformed.
std::optional<std::string> decodeWord(const EncodedWord& w) {
    std::string bytes;
    if (w.encoding == 'B') {
        try {
            bytes = DecodeBase64Text(w.payload);
        } catch (const EMessageParserError&) {
            return std::nullopt;
        }
    } else if (w.encoding == 'Q') {
        std::string payload(w.payload); // underscores mean blanks only inside Q words
        for (char& c : payload)
            if (c == '_') c = ' ';
        bytes = DecodeQuotedText(payload);
    } else {
        return std::nullopt;
    }
    // RFC 2231 allows a language after the charset: "utf-8*en".
    std::string charset = w.charset.substr(0, w.charset.find('*'));
    // A header value is one line: a line break in a word shows as a blank, and the words after it
    // stay visible.
    std::string text = ConvertToUtf8(charset, bytes);
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return text;
}

bool onlyBlanks(std::string_view s) {
    for (char c : s)
        if (c != ' ' && c != '\t') return false;
    return true;
}

} // namespace

std::string DecodeBase64Text(std::string_view text) {
    std::string out;
    std::size_t padding = 0;
    for (std::size_t i = text.size(); i > 0 && text[i - 1] == '='; --i) ++padding;
    std::size_t dataLength = text.size() - padding;
    unsigned accumulator = 0;
    int bits = 0;
    for (std::size_t i = 0; i < dataLength; ++i) {
        int v = base64Value(text[i]);
        if (v < 0) throw EMessageParserError("Invalid Character");
        accumulator = (accumulator << 6) | static_cast<unsigned>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            if (out.size() < kShortTextMax)
                out += static_cast<char>((accumulator >> bits) & 0xFF);
        }
    }
    return out;
}

std::string DecodeQuotedText(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size() && out.size() < kShortTextMax; ++i) {
        char c = text[i];
        if (c == '=' && i + 1 < text.size()) {
            int hi = hexValue(text[i + 1]);
            int lo = i + 2 < text.size() ? hexValue(text[i + 2]) : -1;
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
            if (hi >= 0 && i + 2 == text.size()) { // a single digit at the very end
                out += static_cast<char>(hi);
                ++i;
                continue;
            }
        }
        if (c == '=' && i + 1 == text.size()) break; // a soft break, not a decoded "="
        out += c;
    }
    return out;
}

std::string ConvertToUtf8(std::string_view charset, std::string_view bytes) {
    std::string name = trim(charset);
    if (name.empty() || bytes.empty() || equalsNoCase(name, "us-ascii") ||
        (equalsNoCase(name, "utf-8") && isValidUtf8(bytes)))
        return std::string(bytes);
    iconv_t cd = iconv_open("UTF-8", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(bytes);
    std::string in(bytes);
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    std::string out(bytes.size() * 4 + 16, '\0');
    std::size_t used = 0;
    while (inLeft > 0) {
        char* outPtr = out.data() + used;
        std::size_t outLeft = out.size() - used;
        std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        used = out.size() - outLeft;
        if (rc != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG || outLeft < 3) {
            out.resize(out.size() * 2);
            continue;
        }
        // A byte that is not valid here, or an incomplete sequence at the end: one replacement
        // character for it, and on with the next byte.
        out.replace(used, 3, "\xEF\xBF\xBD");
        used += 3;
        ++inPtr;
        --inLeft;
    }
    iconv_close(cd);
    out.resize(used);
    return out;
}

std::string DecodeHeaderText(std::string_view input) {
    std::string text = cutShort(input);
    std::string out;
    std::size_t pos = 0;
    bool lastWasWord = false;
    while (pos < text.size()) {
        std::size_t start = text.find("=?", pos);
        if (start == std::string::npos) {
            out += text.substr(pos);
            break;
        }
        std::optional<EncodedWord> word = parseEncodedWord(text, start);
        std::optional<std::string> decoded = word ? decodeWord(*word) : std::nullopt;
        if (!decoded) { // not a word we can read: keep "=?" as text and look further on
            out += text.substr(pos, start + 2 - pos);
            pos = start + 2;
            lastWasWord = false;
            continue;
        }
        std::string_view gap = std::string_view(text).substr(pos, start - pos);
        if (!(lastWasWord && onlyBlanks(gap))) out += gap;
        out += *decoded;
        pos = word->end;
        lastWasWord = true;
    }
    return cutShort(trim(out));
}

} // namespace mv
