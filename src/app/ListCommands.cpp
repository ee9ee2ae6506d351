#include "app/ListCommands.h"

#include "base/Files.h"
#include "base/RunAside.h"
#include "base/Text.h"
#include "mail/ViewerText.h"
#include "screening/QuickAdd.h"

#include <algorithm>

namespace mv {

namespace {

constexpr const char* kStars = "**************************************";
constexpr long long kLargeMessage = 50001;

} // namespace

std::vector<int> ListCommands::validRows(const std::vector<int>& selection) const {
    std::vector<int> rows;
    for (int i : selection)
        if (i >= 0 && i < static_cast<int>(m_c.rows().size())) rows.push_back(i);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void ListCommands::NadaSelected() {
    if (!m_c.rows().empty())
        m_c.view().showInformation(
            "No messages were selected.  To select one message click on a subject.  To select "
            "multiple messages drag the mouse over the list of desired subjects.");
    else
        m_c.view().showInformation(
            "Either there are no e-mail messages waiting on the mail server or you have not yet "
            "clicked on the \"Check E-Mail\" button.");
}

bool ListCommands::warnIfNone(const std::vector<int>& rows) {
    if (!rows.empty()) return false;
    NadaSelected();
    return true;
}

void ListCommands::warnIfSeveral(const std::vector<int>& rows) {
    if (rows.size() > 1)
        m_c.view().showInformation(
            "You have selected more than one message to view.  Only one message can be viewed at "
            "one time.  The first one selected will be displayed.");
}

void ListCommands::btMarkClick(const std::vector<int>& selection) {
    m_c.playAlarmSound(false);
    if (m_c.refuseWhenBusy()) return;
    auto rows = validRows(selection);
    if (warnIfNone(rows)) return;
    for (int i : rows)
        m_c.setMark(i, isMarkedForDeletion(m_c.rows()[static_cast<std::size_t>(i)].mark)
                           ? kMarkNone
                           : kMarkDelete);
    m_c.ShowTotalCount();
}

void ListCommands::ResetButtonClick() {
    if (m_c.refuseWhenBusy()) return;
    for (int i = 0; i < static_cast<int>(m_c.rows().size()); ++i)
        m_c.setMark(i, kMarkNone);
    m_c.ShowTotalCount();
}

void ListCommands::btRemarkClick() {
    remarkList(HandMarks::Reset);
}

void ListCommands::remarkList(HandMarks handMarks) {
    m_c.playAlarmSound(false);
    std::optional<int> marked = m_c.remark(handMarks);
    if (!marked) return;
    if (*marked == 0) m_c.view().showInformation(std::string(kNothingMatched));
    m_c.ShowTotalCount();
}

std::vector<std::string> ListCommands::whyText(int index) {
    return m_c.reasons(index);
}

void ListCommands::Why1Click(const std::vector<int>& selection) {
    m_c.playAlarmSound(false);
    if (m_c.refuseWhenBusy()) return;
    m_c.disableTimer();
    auto rows = validRows(selection);
    if (!warnIfNone(rows)) {
        warnIfSeveral(rows);
        std::string text;
        for (const auto& line : whyText(rows.front()))
            text += line + "\n";
        m_c.view().showText(ViewerMode::Reasons, text);
    }
    m_c.restoreTimer();
}

std::string headerBlockText(const std::string& subject, const std::string& sender,
                            const TMailHeaders& headers) {
    std::string text = std::string(kStars) + "\n";
    text += "Subject : " + subject + " Sender : " + sender + "\n";
    text += std::string(kStars) + "\n";
    for (const auto& line : headers.lines())
        text += line + "\n";
    return text;
}

std::string ListCommands::headerViewText(const std::vector<int>& selection) const {
    std::string text;
    for (int i : validRows(selection)) {
        const MessageEntry& row = m_c.rows()[static_cast<std::size_t>(i)];
        text += headerBlockText(row.subject, row.sender, row.headers);
    }
    return text;
}

void ListCommands::ViewHeader1Click(const std::vector<int>& selection) {
    m_c.playAlarmSound(false);
    if (m_c.refuseWhenBusy()) return;
    m_c.disableTimer();
    auto rows = validRows(selection);
    if (!warnIfNone(rows)) m_c.view().showText(ViewerMode::Headers, headerViewText(rows));
    m_c.restoreTimer();
}

std::optional<std::string> ListCommands::downloadBody(int index) {
    return viewerBody(m_c.downloadMessage(index));
}

std::optional<std::string> ListCommands::downloadListedBody(int index, TRemoteInfoItem listed) {
    return viewerBody(m_c.downloadListedMessage(index, std::move(listed)));
}

std::optional<std::string>
ListCommands::viewerBody(const std::optional<std::filesystem::path>& file) {
    if (!file) return std::nullopt;
    try {
        // Megabytes of body take a while to decode: the windows stay live meanwhile.
        return runAside(
            [path = *file] {
                auto raw = readFile(path);
                if (!raw) throw FileError("Unable to read " + path.string());
                return viewerText(*raw);
            },
            [this] { m_c.platform().pump(); });
    } catch (const FileError& e) {
        m_c.view().showError(e.what());
        return std::nullopt;
    }
}

void ListCommands::ViewMessages1Click(const std::vector<int>& selection) {
    m_c.playAlarmSound(false);
    if (m_c.refuseWhenBusy()) return;
    m_c.disableTimer();
    auto rows = validRows(selection);
    if (!warnIfNone(rows)) {
        warnIfSeveral(rows);
        int index = rows.front();
        const std::string& size = m_c.rows()[static_cast<std::size_t>(index)].size;
        bool wanted =
            parseIntegerOr(size, 0) < kLargeMessage ||
            m_c.view().askYesNo("The message you have selected to view is quite large - " + size +
                                " bytes. " + "Are you sure you wish to download and view it?");
        if (wanted)
            if (auto body = downloadBody(index)) m_c.view().showText(ViewerMode::Body, *body);
    }
    m_c.restoreTimer();
}

std::vector<MessageEntry> ListCommands::selectedEntries(const std::vector<int>& rows) const {
    std::vector<MessageEntry> entries;
    // The quick-add acts on the rows flagged as selected; these are the selection.
    for (int i : rows) {
        entries.push_back(m_c.rows()[static_cast<std::size_t>(i)]);
        entries.back().selected = true;
    }
    return entries;
}

void ListCommands::AddtoSPAMlist1Click(const std::vector<int>& selection) {
    if (m_c.refuseWhenBusy()) return;
    auto rows = validRows(selection);
    if (warnIfNone(rows)) return;
    SpamListChoice choice = spamListChoice(selectedEntries(rows));
    if (!m_c.view().confirmSpamList(choice)) return; // Cancel changes nothing, marks included
    if (m_c.editRules([&](RuleSet& rules) { addToSpamList(rules, choice); }))
        remarkList(HandMarks::Keep);
}

void ListCommands::AddtoExceptions1Click(const std::vector<int>& selection) {
    if (m_c.refuseWhenBusy()) return;
    auto rows = validRows(selection);
    if (warnIfNone(rows)) return;
    if (m_c.editRules(
            [&](RuleSet& rules) { addSendersToExceptions(rules, selectedEntries(rows)); }))
        remarkList(HandMarks::Keep);
}

} // namespace mv
