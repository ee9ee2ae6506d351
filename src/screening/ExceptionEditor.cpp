#include "screening/ExceptionEditor.h"

#include "base/Text.h"
#include "screening/Conditions.h"

namespace mv {

const std::vector<std::string_view>& ExceptionEditor::fieldNames() {
    static const std::vector<std::string_view> names = {
        "Subject:", "CC:", "Reply-To:", "To:", kAnyHeader};
    return names;
}

void ExceptionEditor::fillFromRow(const RuleRow& row) {
    const std::string_view what = cellOf(row, col::kExceptWhat);
    const std::string_view matches = cellOf(row, col::kExceptMatches);
    if (what == kDomainName) {
        kind = Kind::Domain;
        domain = matches;
    } else if (what == kEmailAddress) {
        kind = Kind::Address;
        address = matches;
    } else {
        kind = Kind::Field;
        text = matches;
        // Rows from files name the subject without its colon. A field name the drop-down does
        // not offer is kept as it stands rather than lost on the way back.
        if (what == kSubjectException || what.empty())
            fieldName = "Subject:";
        else
            fieldName = what;
    }
    condition = conditionChoiceOf(cellOf(row, col::kExceptCondition), kExceptionConditionChoices)
                    .value_or(0);
    caseMatters = cellOf(row, col::kExceptCase) == kYes;
    // An empty, broken or out-of-range picture cell shows the default picture.
    picture = RuleSet::exceptionPicture(cellOf(row, col::kExceptPictureIndex))
                  .value_or(kPictureFirstException);
}

std::optional<EditorRefusal> ExceptionEditor::confirm() {
    // A blank address or domain would accept every message ("starts with" / "ends with" nothing).
    switch (kind) {
    case Kind::Address:
        if (trimsToNothing(address))
            return EditorRefusal{EditorField::Address, "The email line cannot be blank"};
        break;
    case Kind::Domain:
        if (trimsToNothing(domain))
            return EditorRefusal{EditorField::Domain, "The domain line cannot be blank"};
        break;
    case Kind::Field:
        if (trimsToNothing(text))
            return EditorRefusal{EditorField::Text, "The subject line cannot be blank"};
        break;
    }
    // A pasted address or domain often carries blanks, with which it would never match: a
    // "starts with" or "ends with" test on an address has no use for them.
    address = trim(address);
    domain = trim(domain);
    return std::nullopt;
}

void ExceptionEditor::writeBack(RuleRow& row) const {
    switch (kind) {
    case Kind::Address:
        setCell(row, col::kExceptWhat, kEmailAddress);
        setCell(row, col::kExceptMatches, address);
        break;
    case Kind::Domain:
        setCell(row, col::kExceptWhat, kDomainName);
        setCell(row, col::kExceptMatches, domain);
        break;
    case Kind::Field:
        setCell(row, col::kExceptWhat, fieldName);
        setCell(row, col::kExceptMatches, text);
        break;
    }
    setCell(row, col::kExceptCondition,
            kind == Kind::Field ? choiceWord(condition) : conditionWord(MatchCondition::Equals));
    setCell(row, col::kExceptCase, yesNo(caseMatters));
    keepOrStartHits(row, kTable);
    setCell(row, col::kExceptPictureIndex, std::to_string(picture));
}

} // namespace mv
