#include "screening/HeaderEditor.h"

#include "base/Text.h"

namespace mv {

HeaderEditor::HeaderEditor(std::vector<MailboxChoice> mailboxes)
    : mailbox(mailboxes.empty() ? std::nullopt : std::optional<std::size_t>(0)),
      m_mailboxes(std::move(mailboxes)) {}

std::vector<std::string> HeaderEditor::mailboxLines() const {
    std::vector<std::string> lines;
    for (const MailboxChoice& m : m_mailboxes)
        lines.push_back(std::to_string(m.number) + ") " + m.userName + " - server " + m.server);
    return lines;
}

void HeaderEditor::fillFromRow(const RuleRow& row) {
    countryButtonShown = false;
    condition = conditionChoiceOf(cellOf(row, col::kWhat), kHeaderConditionChoices);
    headerText = cellOf(row, col::kMatches);
    caseMatters = cellOf(row, col::kCase) == kYes;
    deleteMark = cellOf(row, col::kDelete) == kYes;
    kind = Kind::MessageHeader;
    const std::string_view matches = cellOf(row, col::kMatches);
    if (matches == kNotReplyTo) {
        kind = Kind::SenderNotReplyTo;
    } else if (matches == kEqualsTo) {
        kind = Kind::SenderEqualsTo;
    } else if (cellOf(row, col::kWhat).find(kToDoesNotContain) != std::string_view::npos) {
        kind = Kind::ToDoesNotContain;
        const MailboxCell cell = splitMailboxCell(matches);
        toText = cell.address;
        // A row for a mailbox that is no longer configured selects none, so OK asks for one
        // instead of quietly moving the rule to another mailbox.
        mailbox.reset();
        const std::optional<long long> number = parseInteger(cell.number);
        for (std::size_t i = 0; number && i < m_mailboxes.size(); ++i)
            if (m_mailboxes[i].number == *number) mailbox = i;
    }
    if (kind != Kind::MessageHeader) headerText.clear();
}

void HeaderEditor::applyCountry(const CountryChoice& country) {
    kind = Kind::MessageHeader;
    condition = kEndsWithChoice;
    headerText = country.suffix;
    caseMatters = false;
    countryName = country.name;
}

std::optional<EditorRefusal> HeaderEditor::confirm() {
    toText = trim(toText);
    headerText = trim(headerText);
    if (kind == Kind::MessageHeader) {
        if (!condition) return noConditionRefusal();
        if (headerText.empty())
            return EditorRefusal{EditorField::HeaderText, "The header text cannot be blank"};
    }
    if (kind == Kind::ToDoesNotContain) {
        if (toText.empty())
            return EditorRefusal{EditorField::ToText, "The TO field cannot be blank"};
        if (!mailbox || *mailbox >= m_mailboxes.size())
            return EditorRefusal{EditorField::Mailbox, "Choose the mailbox that the rule is for"};
    }
    return std::nullopt;
}

void HeaderEditor::writeBack(RuleRow& row) const {
    setCell(row, col::kDelete, yesNo(deleteMark));
    keepOrStartHits(row, kTable);
    if (kind == Kind::MessageHeader) {
        setCell(row, col::kWhat, choiceWord(condition.value_or(0)));
        setCell(row, col::kMatches, headerText);
        setCell(row, col::kCase, yesNo(caseMatters));
        return;
    }
    // The other kinds compare addresses, where case never matters.
    setCell(row, col::kCase, kNo);
    if (kind == Kind::ToDoesNotContain) {
        const int number = m_mailboxes.at(mailbox.value()).number;
        setCell(row, col::kWhat, kToDoesNotContain);
        setCell(row, col::kMatches, mailboxCell(toText, number));
    } else {
        setCell(row, col::kWhat, kSenderRow);
        setCell(row, col::kMatches, kind == Kind::SenderNotReplyTo ? kNotReplyTo : kEqualsTo);
    }
}

} // namespace mv
