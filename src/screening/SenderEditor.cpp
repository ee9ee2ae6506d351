#include "screening/SenderEditor.h"

#include "base/Text.h"

namespace mv {

namespace {
enum Column : std::size_t { kWhat = 1, kCondition = 2, kMatches = 3, kDelete = 4, kHits = 5 };
constexpr std::string_view kEmailAddress = "E-mail address";
constexpr std::string_view kDomainName = "Domain name";
} // namespace

std::string_view SenderEditor::partWord(Part p) {
    return p == Part::EmailAddress ? kEmailAddress : kDomainName;
}

bool SenderEditor::textShown() const { return condition && *condition < kTextConditionChoices; }

void SenderEditor::fillFromRow(const RuleRow& row) {
    countryButtonShown = false;
    part = cellOf(row, kWhat) == kEmailAddress ? Part::EmailAddress : Part::DomainName;
    condition = conditionChoiceOf(cellOf(row, kCondition), kSenderConditionChoices);
    deleteMark = cellOf(row, kDelete) == kYes;
    text = textShown() ? std::string(cellOf(row, kMatches)) : std::string();
}

void SenderEditor::applyCountry(const CountryChoice& country) {
    part = Part::DomainName;
    condition = kEndsWithChoice;
    text = country.suffix;
    countryName = country.name;
}

std::optional<EditorRefusal> SenderEditor::confirm() {
    if (!condition) return noConditionRefusal();
    text = textShown() ? trim(text) : std::string();
    if (textShown() && text.empty())
        return EditorRefusal{EditorField::Text, "The Sender field cannot be left blank."};
    return std::nullopt;
}

void SenderEditor::writeBack(RuleRow& row) const {
    setCell(row, kWhat, partWord(part));
    setCell(row, kCondition, conditionWord(condition.value_or(0)));
    setCell(row, kMatches, textShown() ? text : std::string());
    setCell(row, kDelete, yesNo(deleteMark));
    if (cellOf(row, kHits).empty()) setCell(row, kHits, "0");
}

} // namespace mv
