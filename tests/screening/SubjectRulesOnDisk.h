#pragma once
// The subject rules a folder's files hold now, as "pattern=hits": what two programs sharing the
// folder left there.
#include "screening/RuleRows.h"
#include "screening/RuleSet.h"

#include <filesystem>
#include <string>
#include <vector>

namespace mv::test {

inline std::vector<std::string> subjectRulesOnDisk(const std::filesystem::path& dir) {
    RuleSet rules(dir);
    rules.readSettings();
    std::vector<std::string> out;
    for (int row = 1; row < rules.subject().rowCount(); ++row)
        if (!rules.subject().isRowEmpty(row))
            out.push_back(rules.subject().cell(col::kMatches, row) + "=" +
                          rules.subject().cell(col::kHits, row));
    return out;
}

} // namespace mv::test
