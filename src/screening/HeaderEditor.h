#pragma once
// The header rule editor ("Header characteristics") as a model: one of four rule kinds with the
// fields of that kind, filled for a new rule or from a header-table row, checked on OK and written
// back. The configured mailboxes are handed in by the caller, which reads them from the settings.
// Lives while its dialog is open.
#include "screening/CountryList.h"
#include "screening/EditorChoices.h"

namespace mv {

// One configured mailbox as the "For Mailbox:" drop-down offers it.
struct MailboxChoice {
    int number = 0; // 1 to 12
    std::string userName, server;
};

// The text between the address and the mailbox number of a "To does not contain" row.
inline constexpr std::string_view kMailboxSeparator = " - MailBox #";

struct HeaderEditor {
    static constexpr TableId kTable = TableId::Header;

    enum class Kind { SenderNotReplyTo, SenderEqualsTo, ToDoesNotContain, MessageHeader };

    // `mailboxes`: the configured mailboxes in number order; the drop-down starts at the first.
    explicit HeaderEditor(std::vector<MailboxChoice> mailboxes = {});

    Kind kind = Kind::MessageHeader;
    std::optional<int> condition = 0;
    std::string headerText = "X-1";
    bool caseMatters = false;
    bool deleteMark = true;
    std::string toText;
    std::optional<std::size_t> mailbox; // index into mailboxes(); none when none fits
    bool countryButtonShown = true;
    std::string countryName;

    const std::vector<MailboxChoice>& mailboxes() const { return m_mailboxes; }
    // The drop-down's lines: "1) user - server pop.example.com".
    std::vector<std::string> mailboxLines() const;

    void fillFromRow(const RuleRow& row);
    // "Block out a country": a "Message Header" / "Ends with" rule on the country's suffix.
    void applyCountry(const CountryChoice& country);
    // A "To does not contain" rule without a mailbox is refused: the screening pass could never
    // tell which mailbox's messages it is for.
    std::optional<EditorRefusal> confirm();
    void writeBack(RuleRow& row) const;

private:
    std::vector<MailboxChoice> m_mailboxes;
};

} // namespace mv
