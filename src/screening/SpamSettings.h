#pragma once
// The spam settings dialog's own logic, without its window: what showing it, OK and Cancel do to
// the rule set and the known-spammer page, the count labels, the counter reset and the print
// titles. The desktop dialog and the command line each hold one for as long as the program (or the
// command) runs; the rule set it works on belongs to the caller.
#include "screening/KnownListPage.h"
#include "screening/RuleSet.h"

#include <string>
#include <string_view>
#include <vector>

namespace mv {

inline constexpr std::string_view kResetCounterQuestion = "Really clear out unknown count?";

// Ranges of the two size fields (whole bytes), with the steps of their spin buttons.
inline constexpr long long kSmallerLimitMax = 100000;
inline constexpr long long kLargerLimitMax = 99999999;
inline constexpr long long kSmallerLimitStep = 1;
inline constexpr long long kLargerLimitStep = 100;

// "Mailvane - Subject Line Settings", ...; the exception title ends with a space.
std::string_view printTitle(TableId id);
// The settings sub-key under which a table's column widths are remembered, with values "col0"...
std::string_view columnWidthSection(TableId id);

class SpamSettings {
public:
    explicit SpamSettings(RuleSet& rules) : m_rules(rules), m_known(rules) {}

    RuleSet& rules() { return m_rules; }
    KnownListPage& knownPage() { return m_known; }

    // Showing the dialog: what another program saved since is taken in, the known-spammer page is
    // loaded again and row 0 of every table gets its heading. Returns messages for the user (a
    // file that cannot be read).
    std::vector<std::string> show();
    // OK: neighbouring duplicate rows go, the tables and options are saved, and a pending edit of
    // the known-spammer list is saved. Returns one message per file that could not be written.
    std::vector<std::string> ok();
    // Cancel: tables and options return to what their files hold (hit counts raised since the last
    // save included), and a pending edit of the known-spammer list is dropped.
    std::vector<std::string> cancel();

    // The count label of a table and of the known-spammer page.
    std::string countText(TableId id) const;
    std::string knownCountText() const { return m_known.countText(); }

    // "Reset counter", after the user answered Yes to kResetCounterQuestion.
    void resetUnknownCounter();

private:
    RuleSet& m_rules;
    KnownListPage m_known;
};

} // namespace mv
