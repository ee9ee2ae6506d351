#pragma once
// The known-spammer page of the spam settings: `known.lst` shown as plain lines, edited as text,
// and rebuilt into the rule set's sorted known-spammer list on save. Lives as long as the settings
// dialog (or one command-line call); the list and its file belong to the rule set.
#include "screening/RuleSet.h"

#include <string>
#include <string_view>
#include <vector>

namespace mv {

inline constexpr std::string_view kBlacklistMissing =
    "Could not locate the known spammer blacklist!";
inline constexpr std::string_view kRebuildingList = "Re-building list ... stand by";

// Holds an "@" and nothing but numeric characters (digits and '_') before the first one, an empty
// part included: such entries are throw-away addresses that would only bloat the list.
bool isNumericAddress(std::string_view text);

// The entries the edited lines give, in the order of the lines: a line equal to the line before it
// (case ignored) is a repeat, a numeric address is dropped, and so is a blank line, since an empty
// entry would put every message without a sender on the blacklist.
std::vector<std::string> knownEntriesFromLines(const std::vector<std::string>& lines);

class KnownListPage {
public:
    explicit KnownListPage(RuleSet& rules) : m_rules(rules) {}

    // Shows the file's lines. A missing file cannot be edited: the page then shows
    // kBlacklistMissing and hides its edit buttons. Throws FileError when it cannot be read.
    void load();
    bool fileMissing() const { return m_missing; }
    const std::vector<std::string>& lines() const { return m_lines; }
    // The count label above "Spammers": the number of lines shown.
    std::string countText() const { return std::to_string(m_lines.size()); }

    // An edit is pending from beginEdit until save or cancelEdit.
    bool editing() const { return m_editing; }
    void beginEdit();
    // The user's text while editing; ignored otherwise.
    void setLines(std::vector<std::string> lines);
    // Drops the edit and shows the file again.
    void cancelEdit();
    // Only while editing: rebuilds the known-spammer list from the lines (the screening pass sees
    // it at once), writes it to the file when the file exists, and shows the file again. Throws
    // FileError when the file cannot be written; the list is then rebuilt, the old file intact
    // and the edit still pending with its lines.
    void save();

private:
    RuleSet& m_rules;
    std::vector<std::string> m_lines;
    bool m_missing = true;
    bool m_editing = false;
};

} // namespace mv
