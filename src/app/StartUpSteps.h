#pragma once
// The steps of the main window's creation that stand on their own: the four-digit year, the
// removal of saved messages and the first-time header rule.
#include "app/settings/HomeFolder.h"
#include "app/settings/MailboxAccounts.h"
#include "base/RegionalSettings.h"
#include "screening/RuleSet.h"

namespace mv {

// The program's short date format with a four-digit year.
void fix2000(RegionalSettings& regional);
// Removes every saved message msg_N.eml from the program directory.
void CleanUpEMLFiles(const HomeFolder& home);
// The first-time header rule "To does not contain" the user name of mailbox 1, put on top of the
// header rules. Only once a user name exists: with an empty one the rule would mark every message
// of mailbox 1. True when the rule was added (the caller clears its first-time flag and saves).
bool AddMyselfFromPopToHeader(RuleSet& rules, const MailboxAccounts& accounts);

} // namespace mv
