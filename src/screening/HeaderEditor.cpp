#include "screening/HeaderEditor.h"

#include "base/Text.h"

namespace mv {

namespace {
constexpr std::string_view kSender = "Sender";
constexpr std::string_view kNotReplyTo = "does not match Reply-to";
constexpr std::string_view kEqualsTo = "equals To field";
constexpr std::string_view kToDoesNotContain = "To does not contain";

std::string_view beforeSeparator(std::string_view text) {
    return text.substr(0, text.find(kMailboxSeparator));
}
} // namespace

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
        toText = beforeSeparator(matches);
        // A row for a mailbox that is no longer configured selects none, so OK asks for one
        // instead of quietly moving the rule to another mailbox.
        mailbox.reset();
        const std::size_t sep = matches.find(kMailboxSeparator);
        const auto number = sep == std::string_view::npos
                                ? std::nullopt
                                : parseInteger(matches.substr(sep + kMailboxSeparator.size()));
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
    setCell(row, col::kWhat, choiceWord(condition.value_or(0)));
    setCell(row, col::kMatches, headerText);
    setCell(row, col::kCase, yesNo(caseMatters));
    setCell(row, col::kDelete, yesNo(deleteMark));
    if (cellOf(row, col::kHits).empty()) setCell(row, col::kHits, "0");
    switch (kind) {
    case Kind::SenderNotReplyTo:
        setCell(row, col::kWhat, kSender);
        setCell(row, col::kMatches, kNotReplyTo);
        setCell(row, col::kCase, kNo);
        break;
    case Kind::SenderEqualsTo:
        setCell(row, col::kWhat, kSender);
        setCell(row, col::kMatches, kEqualsTo);
        setCell(row, col::kCase, kNo);
        break;
    case Kind::ToDoesNotContain: {
        const int number = m_mailboxes.at(mailbox.value()).number;
        setCell(row, col::kWhat, kToDoesNotContain);
        setCell(row, col::kMatches,
                std::string(beforeSeparator(toText)) + std::string(kMailboxSeparator) +
                    std::to_string(number));
        setCell(row, col::kCase, kNo);
        break;
    }
    case Kind::MessageHeader:
        break;
    }
}

} // namespace mv
