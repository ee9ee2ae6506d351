#pragma once
// The sender rule editor ("Sender characteristics") as a model: which part of the address the rule
// looks at, the condition, the text and the mark, filled for a new rule or from a sender-table row,
// checked on OK and written back. Lives while its dialog is open.
#include "screening/CountryList.h"
#include "screening/EditorChoices.h"

namespace mv {

struct SenderEditor {
    static constexpr TableId kTable = TableId::Sender;

    enum class Part { EmailAddress, DomainName };

    Part part = Part::DomainName;
    std::optional<int> condition = 2; // "Equals (exact match)" for a new rule
    std::string text;
    bool deleteMark = true;
    bool countryButtonShown = true; // only while a new rule is being made
    std::string countryName;        // shown beside the fields after "Block out a country"

    static std::string_view partWord(Part part); // "E-mail address" / "Domain name"

    // The text field is shown only for the text conditions.
    bool textShown() const;

    void fillFromRow(const RuleRow& row);
    // "Block out a country": a "Domain name" / "Ends with" rule on the country's suffix.
    void applyCountry(const CountryChoice& country);
    std::optional<EditorRefusal> confirm();
    void writeBack(RuleRow& row) const;
};

} // namespace mv
