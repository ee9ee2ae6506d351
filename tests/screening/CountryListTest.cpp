#include "screening/CountryList.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace mv {
namespace {

std::string codeOf(const std::string& row) {
    return row.substr(0, row.find('\t'));
}

TEST(CountryList, HasTwoHundredFortyThreeRowsOfCodeTabName) {
    const auto& rows = countryRows();
    ASSERT_EQ(rows.size(), 243u);
    for (const std::string& row : rows) {
        EXPECT_EQ(std::count(row.begin(), row.end(), '\t'), 1) << row;
        EXPECT_EQ(row.find('\t'), 2u) << row;
    }
    EXPECT_EQ(rows.front(), "AF\tAfghanistan");
    EXPECT_EQ(rows.back(), "ZW\tZimbabwe");
}

struct ListedRow {
    int row; // counted from 1, as the list shows them
    const char* code;
    const char* name;
};

class CountryListDifference : public ::testing::TestWithParam<ListedRow> {};

TEST_P(CountryListDifference, IsKeptWhereItStands) {
    const ListedRow& c = GetParam();
    EXPECT_EQ(countryRows().at(static_cast<std::size_t>(c.row - 1)),
              std::string(c.code) + "\t" + c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CountryListDifference,
    ::testing::Values(ListedRow{13, "AC", "Ascension Island"},
                      ListedRow{50, "CD", "Congo, Democratic People's Republic"},
                      ListedRow{63, "TP", "East Timor"},
                      ListedRow{96, "VA", "Holy See (Vatican City State)"},
                      ListedRow{155, "AN", "Netherlands Antilles"},
                      ListedRow{157, "NZ", "New Zealand "}, ListedRow{195, "Sb", "Solomon Islands"},
                      ListedRow{226, "UK", "United Kingdom"},
                      ListedRow{232, "VA", "Vatican City State (Holy See)"},
                      ListedRow{240, "YU", "Yugoslavia"}, ListedRow{241, "ZR", "Zaire"}));

TEST(CountryList, LacksTodaysCodesThatItNeverHad) {
    for (const char* code :
         {"GB", "GG", "AX", "RS", "ME", "PS", "TL", "SS", "BL", "MF", "BQ", "CW", "SX"})
        EXPECT_TRUE(std::none_of(countryRows().begin(), countryRows().end(),
                                 [&](const std::string& r) { return codeOf(r) == code; }))
            << code;
}

TEST(CountryList, ChoiceGivesSuffixAsListedAndName) {
    EXPECT_EQ(chooseCountry(0), (CountryChoice{".AF", "Afghanistan"}));
    EXPECT_EQ(chooseCountry(240), (CountryChoice{".ZR", "Zaire"}));
    EXPECT_EQ(chooseCountry(194), (CountryChoice{".Sb", "Solomon Islands"}));
    EXPECT_EQ(countryChoice("NZ\tNew Zealand "), (CountryChoice{".NZ", "New Zealand "}));
}

TEST(CountryList, OkWithoutSelectionGivesNothing) {
    EXPECT_FALSE(chooseCountry(-1));
    EXPECT_FALSE(chooseCountry(243));
}

} // namespace
} // namespace mv
