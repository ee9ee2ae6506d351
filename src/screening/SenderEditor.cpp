#include "screening/SenderEditor.h"

#include "base/Text.h"

namespace mv {

namespace {
constexpr std::string_view kEmailAddress = "E-mail address";
constexpr std::string_view kDomainName = "Domain name";
} // namespace

std::string_view SenderEditor::partWord(Part p) {
    return p == Part::EmailAddress ? kEmailAddress : kDomainName;
}

bool SenderEditor::textShown() const {
    return condition && *condition < kTextConditionChoices;
}

void SenderEditor::fillFromRow(const RuleRow& row) {
    countryButtonShown = false;
    part = cellOf(row, col::kWhat) == kEmailAddress ? Part::EmailAddress : Part::DomainName;
    condition = conditionChoiceOf(cellOf(row, col::kSenderCondition), kSenderConditionChoices);
    deleteMark = cellOf(row, col::kDelete) == kYes;
    text = textShown() ? std::string(cellOf(row, col::kSenderMatches)) : std::string();
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
    setCell(row, col::kWhat, partWord(part));
    setCell(row, col::kSenderCondition, choiceWord(condition.value_or(0)));
    setCell(row, col::kSenderMatches, textShown() ? text : std::string());
    setCell(row, col::kDelete, yesNo(deleteMark));
    if (cellOf(row, col::kHits).empty()) setCell(row, col::kHits, "0");
}

} // namespace mv
