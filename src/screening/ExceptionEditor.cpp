#include "screening/ExceptionEditor.h"

#include "base/Text.h"

namespace mv {

namespace {
constexpr std::string_view kEmailAddress = "E-mail address";
constexpr std::string_view kDomainName = "Domain name";

// The hidden picture cell; an empty, broken or out-of-range cell shows the default picture.
int pictureOf(std::string_view cell) {
    const auto value = parseInteger(cell);
    if (!value || *value < kPictureFirstException || *value > kPictureLastException)
        return kPictureFirstException;
    return static_cast<int>(*value);
}

bool isBlankEntry(std::string_view text) {
    return trim(text).empty();
}
} // namespace

const std::vector<std::string_view>& ExceptionEditor::fieldNames() {
    static const std::vector<std::string_view> names = {
        "Subject:", "CC:", "Reply-To:", "To:", "Any Header"};
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
        if (what == "Subject" || what.empty())
            fieldName = "Subject:";
        else
            fieldName = what;
    }
    condition = conditionChoiceOf(cellOf(row, col::kExceptCondition), kExceptionConditionChoices)
                    .value_or(0);
    caseMatters = cellOf(row, col::kExceptCase) == kYes;
    picture = pictureOf(cellOf(row, col::kExceptPictureIndex));
}

std::optional<EditorRefusal> ExceptionEditor::confirm() {
    // A blank address or domain would accept every message ("starts with" / "ends with" nothing).
    switch (kind) {
    case Kind::Address:
        if (isBlankEntry(address))
            return EditorRefusal{EditorField::Address, "The email line cannot be blank"};
        break;
    case Kind::Domain:
        if (isBlankEntry(domain))
            return EditorRefusal{EditorField::Domain, "The domain line cannot be blank"};
        break;
    case Kind::Field:
        if (isBlankEntry(text))
            return EditorRefusal{EditorField::Text, "The subject line cannot be blank"};
        break;
    }
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
    setCell(row, col::kExceptCondition, kind == Kind::Field ? choiceWord(condition) : "Equals");
    setCell(row, col::kExceptCase, yesNo(caseMatters));
    if (cellOf(row, col::kExceptHits).empty()) setCell(row, col::kExceptHits, "0");
    setCell(row, col::kExceptPictureIndex, std::to_string(picture));
}

} // namespace mv
