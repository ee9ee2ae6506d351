#include "screening/KnownListPage.h"

#include "base/Files.h"
#include "base/Text.h"
#include "screening/Conditions.h"

#include <algorithm>

namespace mv {

bool isNumericAddress(std::string_view text) {
    const std::size_t at = text.find('@');
    if (at == std::string_view::npos) return false;
    const std::string_view local = text.substr(0, at);
    return std::all_of(local.begin(), local.end(), isNumericChar);
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

void KnownListPage::load() {
    // The rule set's list starts from the same file, so a save makes the edit to what another
    // program saved since, not to an older list.
    if (std::optional<std::string> problem = m_rules.LoadUpKnownList()) throw FileError(*problem);
    const std::optional<std::string> text = readFile(m_rules.knownPath());
    m_missing = !text;
    m_lines = text ? splitLines(*text) : std::vector<std::string>{};
}

void KnownListPage::beginEdit() {
    if (!m_missing) m_editing = true;
}

void KnownListPage::setLines(std::vector<std::string> lines) {
    if (m_editing) m_lines = std::move(lines);
}

void KnownListPage::cancelEdit() {
    m_editing = false;
    load();
}

void KnownListPage::save() {
    if (!m_editing) return; // without an edit there are no lines to rebuild the list from
    m_rules.known().assign(knownEntriesFromLines(m_lines));
    // A failed write keeps the edit pending, the typed lines with it, so the user can try again.
    if (fileExists(m_rules.knownPath())) m_rules.saveKnownList();
    m_editing = false;
    load();
}

} // namespace mv
