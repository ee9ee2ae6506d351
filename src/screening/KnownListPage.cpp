#include "screening/KnownListPage.h"

#include "base/Text.h"

#include <algorithm>

namespace mv {

bool isNumericAddress(std::string_view text) {
    const std::size_t at = text.find('@');
    if (at == std::string_view::npos) return false;
    const std::string_view local = text.substr(0, at);
    return std::all_of(local.begin(), local.end(),
                       [](char c) { return (c >= '0' && c <= '9') || c == '_'; });
}

std::vector<std::string> knownEntriesFromLines(const std::vector<std::string>& lines) {
    std::vector<std::string> entries;
    std::string previous; // upper case, empty before the first line
    for (const std::string& line : lines) {
        std::string upper = upperAscii(line);
        if (upper != previous && !isNumericAddress(line) && !trim(line).empty())
            entries.push_back(line);
        previous = std::move(upper);
    }
    return entries;
}

} // namespace mv
