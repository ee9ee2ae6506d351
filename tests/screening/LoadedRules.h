#pragma once
// A fixture with a freshly loaded rule set, and the rule rows of a table as cells.
#include "TempDir.h"
#include "screening/RuleRows.h"

#include <gtest/gtest.h>

#include <vector>

namespace mv::test {

// A rule set loaded from an empty temporary home, as the settings dialog has it (a heading row
// and one empty rule row per table); lives for one test.
class LoadedRulesTest : public ::testing::Test {
protected:
    void SetUp() override { rules.readSettings(); }

    TempDir home;
    RuleSet rules{home.path()};
};

// Rows 1 on, heading left out.
inline std::vector<RuleRow> rulesOf(const RuleTable& table) {
    std::vector<RuleRow> rows;
    for (int r = 1; r < table.rowCount(); ++r)
        rows.push_back(rowCells(table, r));
    return rows;
}

} // namespace mv::test
