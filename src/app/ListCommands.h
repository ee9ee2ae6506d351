#pragma once
// The commands on the listed messages: marks by hand, the header and body viewers, the reasons for
// a mark, and the quick-add of rules from selected messages. They work on what the last check left
// in the controller and contact the server only to download a body. A selection is the row indexes
// in list order. Like the controller's own commands, they are refused while an operation runs (a
// viewer would stand modal in the middle of its wait). The quick-adds edit the rules through the
// controller's editRules, so a rule the other program added is kept. Lives as long as the
// controller it is given.
#include "app/CheckController.h"

#include <optional>
#include <string>
#include <vector>

namespace mv {

// The header viewer's text for one message: its subject and sender between two lines of stars,
// then its header lines.
std::string headerBlockText(const std::string& subject, const std::string& sender,
                            const TMailHeaders& headers);

class ListCommands {
public:
    explicit ListCommands(CheckController& controller) : m_c(controller) {}

    // The "nothing selected" message, worded by whether the list has rows.
    void NadaSelected();
    // Toggles the marks of the selected rows: marked for deletion becomes none, anything else
    // becomes delete.
    void btMarkClick(const std::vector<int>& selection);
    void ResetButtonClick();
    // "Auto-mark messages".
    void btRemarkClick();
    // "Why was this e-mail marked?" for the first selected row.
    void Why1Click(const std::vector<int>& selection);
    void ViewHeader1Click(const std::vector<int>& selection);
    void ViewMessages1Click(const std::vector<int>& selection);
    // "Add selected message(s) to spam list" and "Add selected sender(s) to exceptions list".
    void AddtoSPAMlist1Click(const std::vector<int>& selection);
    void AddtoExceptions1Click(const std::vector<int>& selection);

    // The texts the two viewers show, for front ends that print them.
    std::string headerViewText(const std::vector<int>& selection) const;
    std::vector<std::string> whyText(int index);
    // Downloads message `index` to msg_N.eml and returns the text the body viewer shows; nullopt
    // when the download failed (the failure was shown and the window is idle again).
    std::optional<std::string> downloadBody(int index);
    // The same for a message listed by an earlier run, in the mailbox whose account the client
    // holds: `listed` is the item that listing read, which the server's message must still match.
    std::optional<std::string> downloadListedBody(int index, TRemoteInfoItem listed);

private:
    // Valid row indexes of the selection, in list order.
    std::vector<int> validRows(const std::vector<int>& selection) const;
    bool warnIfNone(const std::vector<int>& rows);
    std::vector<MessageEntry> selectedEntries(const std::vector<int>& rows) const;
    // The list screened anew with the rules as they are now; after a quick-add the user's own
    // marks stay, since the user's word beats the rules.
    void remarkList(HandMarks handMarks);
    void warnIfSeveral(const std::vector<int>& rows);
    // The viewer text of a downloaded message file; nullopt (after telling the user) without one.
    std::optional<std::string> viewerBody(const std::optional<std::filesystem::path>& file);

    CheckController& m_c;
};

} // namespace mv
