#include "mail/HeaderText.h"

#include "base/Files.h"
#include "base/Text.h"

namespace mv {

std::string GetParameter(std::string_view name, std::string_view value) {
    std::size_t p = findNoCase(value, name);
    if (p == std::string_view::npos) return {};
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
    for (const std::string& line : lines) text += line + "\r\n";
    writeFileAtomically(path, text);
}

} // namespace mv
