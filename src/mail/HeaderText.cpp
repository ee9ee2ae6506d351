#include "mail/HeaderText.h"

#include "base/Files.h"
#include "base/Text.h"
#include "mail/EncodedWords.h"

namespace mv {

namespace {

// The parameter value that begins at `start`, just after its equals sign: a quoted text without
// its quotes, else a token up to a blank or ";".
std::string valueAt(std::string_view value, std::size_t start) {
    std::string_view rest = value.substr(std::min(start, value.size()));
    if (rest.starts_with('"')) return std::string(rest.substr(1, rest.find('"', 1) - 1));
    return std::string(rest.substr(0, rest.find_first_of(" \t;")));
}

// "%XX" escapes turned into their bytes; a "%" without two hex digits stays as it is.
std::string percentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        int high = i + 2 < text.size() && text[i] == '%' ? hexValue(text[i + 1]) : -1;
        int low = high >= 0 ? hexValue(text[i + 2]) : -1;
        if (low < 0) {
            out += text[i];
            continue;
        }
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

// The charset named before the first "'" of an extended value, and the value without its
// "charset'language'" prefix; no charset when there is no prefix.
std::pair<std::string_view, std::string_view> splitCharset(std::string_view text) {
    std::size_t first = text.find('\'');
    std::size_t second = first == std::string_view::npos ? first : text.find('\'', first + 1);
    if (second == std::string_view::npos) return {{}, text};
    return {text.substr(0, first), text.substr(second + 1)};
}

// The parameter written in the extended form: "name*=charset'lang'text", or split into sections
// "name*0*=charset'lang'text", "name*1=text" ... joined in number order; "*=" values are
// percent-encoded. The text comes back in UTF-8, as encoded words in header fields do.
std::string extendedParameter(std::string_view name, std::string_view value) {
    std::string key = std::string(name) + "*";
    if (std::size_t p = findNoCase(value, key + "="); p != std::string_view::npos) {
        std::string text = valueAt(value, p + key.size() + 1);
        auto [charset, encoded] = splitCharset(text);
        return ConvertToUtf8(charset, percentDecoded(encoded));
    }
    std::string charset, bytes;
    for (std::size_t k = 0;; ++k) {
        std::string section = key + std::to_string(k);
        std::size_t p = findNoCase(value, section + "*=");
        bool encoded = p != std::string_view::npos;
        if (!encoded) p = findNoCase(value, section + "=");
        if (p == std::string_view::npos) break;
        std::string text = valueAt(value, p + section.size() + (encoded ? 2 : 1));
        if (!encoded) {
            bytes += text;
            continue;
        }
        std::string_view rest = text;
        if (k == 0) {
            auto [named, after] = splitCharset(text);
            charset = named;
            rest = after;
        }
        bytes += percentDecoded(rest);
    }
    return ConvertToUtf8(charset, bytes);
}

} // namespace

std::string GetParameter(std::string_view name, std::string_view value) {
    std::size_t p = findNoCase(value, name);
    if (p == std::string_view::npos) return {};
    if (value.substr(p + name.size()).starts_with('*')) return extendedParameter(name, value);
    std::size_t start = p + name.size() + 1;
    if (start > value.size()) return {};
    std::string rest = trim(value.substr(start));
    if (rest.empty()) return {};
    std::string result;
    if (rest[0] == '"') {
        std::size_t close = rest.find('"', 1);
        result = rest.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    } else {
        result = rest.substr(0, rest.find(' '));
    }
    if (!result.empty() && result.back() == ';') result.pop_back();
    return trim(result);
}

std::string GetMimeType(std::string_view value) {
    std::string type = trim(value);
    return trim(type.substr(0, type.find_first_of(" ;")));
}

std::string ExtractWord(std::string_view text, int skip, bool firstWordOnly) {
    std::string s(text);
    for (int i = 0; i < skip; ++i) {
        std::size_t blank = s.find(' ');
        if (blank == std::string::npos) return {};
        s = trim(s.substr(blank + 1));
    }
    if (firstWordOnly) s = s.substr(0, s.find(' '));
    return trim(s);
}

void SaveLinesToFile(const std::vector<std::string>& lines, const std::filesystem::path& path) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    writeFileAtomically(path, text);
}

} // namespace mv
