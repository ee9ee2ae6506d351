#include "screening/RuleImports.h"

#include "TempDir.h"
#include "screening/RuleRows.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

using Rows = std::vector<RuleRow>;
using Lines = std::vector<std::string>;

class RuleImportsTest : public ::testing::Test {
protected:
    void SetUp() override { rules.readSettings(); }
    Rows rulesOf(const RuleTable& t) const {
        Rows rows;
        for (int r = 1; r < t.rowCount(); ++r)
            rows.push_back(rowCells(t, r));
        return rows;
    }

    test::TempDir home;
    RuleSet rules{home.path()};
};

TEST(ImportDialog, DropsExactRepeatsOnly) {
    EXPECT_EQ(dropRepeatedLines({"free", "free", "FREE", "", "", "free"}),
              (Lines{"free", "FREE", "", "free"}));
}

TEST_F(RuleImportsTest, KeywordsBecomeWholeWordDeleteRules) {
    EXPECT_EQ(importKeywords(rules.subject(), {"free", "free", "FREE", ""}), 2);
    EXPECT_EQ(rulesOf(rules.subject()),
              (Rows{{"", "Contains (whole word)", "free", "No", "Yes", "0"},
                    {"", "Contains (whole word)", "FREE", "No", "Yes", "0"}}));
    EXPECT_EQ(rules.subject().picture(col::kPicture, 1), kPictureDelete);
    EXPECT_EQ(rules.subject().picture(col::kPicture, 2), kPictureDelete);
}

TEST_F(RuleImportsTest, KeywordsAreTrimmedAndBlankLinesSkipped) {
    EXPECT_EQ(importKeywords(rules.subject(), {"  cash  ", " \r", "\t", "\b"}), 1);
    EXPECT_EQ(rules.subject().cell(col::kMatches, 1), "cash");
    EXPECT_EQ(rules.subject().rowCount(), 2);
}

TEST_F(RuleImportsTest, AddressesAppendAfterExistingExceptions) {
    rules.exceptions().setCell(col::kExceptWhat, 1, "Domain name");
    rules.exceptions().setCell(col::kExceptMatches, 1, "old.example");
    EXPECT_EQ(importAddresses(rules.exceptions(), {"a@x.example", " ", "b@y.example "}), 2);
    const Rows rows = rulesOf(rules.exceptions());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][col::kExceptMatches], "old.example");
    EXPECT_EQ(rows[1], (RuleRow{"E-mail address", "Equals", "a@x.example", "No", "0", "", "3"}));
    EXPECT_EQ(rows[2][col::kExceptMatches], "b@y.example");
    EXPECT_EQ(rules.exceptions().picture(col::kExceptPicture, 3), kPictureFirstException);
}

TEST_F(RuleImportsTest, NothingImportedLeavesTheEmptyRow) {
    EXPECT_EQ(importAddresses(rules.exceptions(), {"", "  "}), 0);
    EXPECT_EQ(rules.exceptions().rowCount(), 2);
    EXPECT_TRUE(rules.exceptions().isRowEmpty(1));
}

} // namespace
} // namespace mv
