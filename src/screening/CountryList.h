#pragma once
// The country list that the sender and header editors offer to turn a country into a domain-suffix
// rule. The rows are fixed program data, each held as "code TAB name" the way the list control lays
// them out in two columns; a choice yields the suffix ("." and the code as listed) and the name.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

// What the country list hands back after OK.
struct CountryChoice {
    std::string suffix; // "." followed by the code exactly as listed (".Sb" stays mixed case)
    std::string name;
    bool operator==(const CountryChoice&) const = default;
};

// The 243 rows in their display order, alphabetical by country name.
const std::vector<std::string>& countryRows();

// The choice that one row gives: the text before its TAB is the code, the text after it the name.
CountryChoice countryChoice(std::string_view row);

// OK or a double click on the row at `selectedIndex`; nothing when no row is selected (index out
// of range), exactly like Cancel, so an accidental OK never writes an empty suffix rule.
std::optional<CountryChoice> chooseCountry(int selectedIndex);

} // namespace mv
