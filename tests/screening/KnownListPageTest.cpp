#include "screening/KnownListPage.h"

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

} // namespace
} // namespace mv
