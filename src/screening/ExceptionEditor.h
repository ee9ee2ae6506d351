#pragma once
// The exception editor ("Accept e-mail from") as a model: an address, a domain or a header-field
// test, with the picture that accepted messages show, filled for a new exception or from an
// exception-table row, checked on OK and written back. Lives while its dialog is open.
#include "screening/EditorChoices.h"

namespace mv {

struct ExceptionEditor {
    static constexpr TableId kTable = TableId::Exceptions;

    enum class Kind { Address, Domain, Field };

    Kind kind = Kind::Address;
    std::string address, domain, text;
    std::string fieldName = "Subject:"; // the field-name drop-down's text
    int condition = 0;                  // an unknown word keeps the first condition
    bool caseMatters = false;
    int picture = kPictureFirstException; // 3 to 14

    // The field-name drop-down: "Subject:", "CC:", "Reply-To:", "To:", "Any Header".
    static const std::vector<std::string_view>& fieldNames();
    // The selected cell of the row of twelve pictures.
    int pictureCell() const { return picture - kPictureFirstException; }
    void selectPictureCell(int cell) { picture = cell + kPictureFirstException; }

    void fillFromRow(const RuleRow& row);
    std::optional<EditorRefusal> confirm();
    // Writes columns 0 to 4 and the hidden picture column 6; column 5 shows that picture.
    void writeBack(RuleRow& row) const;
};

} // namespace mv
