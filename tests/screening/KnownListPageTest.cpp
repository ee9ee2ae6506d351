#include "screening/KnownListPage.h"

#include "TempDir.h"
#include "base/Files.h"
#include "support/FullDisk.h"


#include <gtest/gtest.h>

namespace mv {
namespace {

using Lines = std::vector<std::string>;

struct NumericCase {
    const char* text;
    bool numeric;
};

class NumericAddress : public ::testing::TestWithParam<NumericCase> {};

TEST_P(NumericAddress, DigitsAndUnderscoreBeforeTheAt) {
    EXPECT_EQ(isNumericAddress(GetParam().text), GetParam().numeric) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NumericAddress,
    ::testing::Values(NumericCase{"12345@spam.example", true}, NumericCase{"@spam.example", true},
                      NumericCase{"1_2@x", true}, NumericCase{"12a45@spam.example", false},
                      NumericCase{"12345", false}, NumericCase{"spam.example", false},
                      NumericCase{"12@34@x", true}));

struct RebuildCase {
    const char* name;
    Lines lines;
    Lines entries;
};

class KnownEntries : public ::testing::TestWithParam<RebuildCase> {};

TEST_P(KnownEntries, DropRepeatsNumericAndBlankLines) {
    EXPECT_EQ(knownEntriesFromLines(GetParam().lines), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KnownEntries,
    ::testing::Values(
        RebuildCase{"RepeatIgnoringCase", {"b", "A", "a", "12345@x.example", "c"}, {"b", "A", "c"}},
        RebuildCase{"RepeatsOnlyWhenAdjacent", {"a", "b", "a"}, {"a", "b", "a"}},
        RebuildCase{"DroppedLineStillCountsAsPrevious", {"1@x", "1@X", "d"}, {"d"}},
        RebuildCase{"BlankLinesDropped", {"a", "", "  ", "", "b", "\t"}, {"a", "b"}},
        RebuildCase{"EmptyView", {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

class KnownListPageTest : public ::testing::Test {
protected:
    test::TempDir home;
    RuleSet rules{home.path()};
    KnownListPage page{rules};
};

TEST_F(KnownListPageTest, MissingFileCannotBeEdited) {
    page.load();
    EXPECT_TRUE(page.fileMissing());
    page.beginEdit();
    EXPECT_FALSE(page.editing());
    EXPECT_EQ(page.countText(), "0");
}

TEST_F(KnownListPageTest, SaveRebuildsListAndWritesItSorted) {
    home.write("known.lst", "x.example\r\n");
    page.load();
    EXPECT_EQ(page.lines(), (Lines{"x.example"}));
    page.beginEdit();
    page.setLines({"b", "A", "a", "12345@spam.example", "@spam.example", "", "c"});
    page.save();
    EXPECT_FALSE(page.editing());
    EXPECT_EQ(rules.known().entries(), (Lines{"A", "b", "c"}));
    EXPECT_EQ(home.read("known.lst"), "A\r\nb\r\nc\r\n");
    EXPECT_EQ(page.lines(), (Lines{"A", "b", "c"}));
    EXPECT_EQ(page.countText(), "3");
}

TEST_F(KnownListPageTest, SaveWithoutEditKeepsTheList) {
    home.write("known.lst", "x.example\r\n");
    rules.LoadUpKnownList();
    page.save(); // never loaded, never edited: nothing to rebuild from
    EXPECT_EQ(rules.known().entries(), (Lines{"x.example"}));
}

TEST_F(KnownListPageTest, CancelDropsTheEdit) {
    home.write("known.lst", "x.example\r\n");
    page.load();
    page.beginEdit();
    page.setLines({"y.example"});
    page.cancelEdit();
    EXPECT_FALSE(page.editing());
    EXPECT_EQ(page.lines(), (Lines{"x.example"}));
    page.setLines({"typed while not editing"});
    EXPECT_EQ(page.lines(), (Lines{"x.example"}));
}

TEST_F(KnownListPageTest, FailedSaveKeepsTheEditPending) {
    home.write("known.lst", "x.example\r\n");
    page.load();
    page.beginEdit();
    page.setLines({"y.example", "z.example"});
    {
        test::FullDisk full; // the write fails, the old file stays
        EXPECT_THROW(page.save(), FileError);
    }
    EXPECT_TRUE(page.editing());
    EXPECT_EQ(page.lines(), (Lines{"y.example", "z.example"}));
    EXPECT_EQ(home.read("known.lst"), "x.example\r\n");

    page.save();
    EXPECT_FALSE(page.editing());
    EXPECT_EQ(home.read("known.lst"), "y.example\r\nz.example\r\n");
}

} // namespace
} // namespace mv
