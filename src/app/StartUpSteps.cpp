#include "app/StartUpSteps.h"

#include "base/DateTime.h"
#include "base/Text.h"
#include "screening/RuleRows.h"

#include <algorithm>
#include <filesystem>

namespace mv {

void fix2000(RegionalSettings& regional) {
    regional.shortDateFormat = withFourDigitYear(regional.shortDateFormat);
}

void CleanUpEMLFiles(const HomeFolder& home) {
    // Every msg_N.eml, not only 0 to 100: a mailbox may list more messages than that.
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(home.programDir(), ec)) {
        std::string name = entry.path().filename().string();
        if (!name.starts_with("msg_") || !name.ends_with(".eml")) continue;
        std::string number = name.substr(4, name.size() - 8);
        if (number.empty() || !std::all_of(number.begin(), number.end(), isDigitChar)) continue;
        std::error_code ignored; // a file that cannot go now goes at the next start
        std::filesystem::remove(entry.path(), ignored);
    }
}

bool AddMyselfFromPopToHeader(RuleSet& rules, const MailboxAccounts& accounts) {
    const std::string& user = accounts[1].user;
    if (trim(user).empty()) return false;
    rules.header().insertRow(1);
    putRuleRow(rules.header(), TableId::Header, 1,
               {"", "To does not contain", user + " - MailBox #1", std::string(kNo),
                std::string(kYes), "0"});
    return true;
}

} // namespace mv
