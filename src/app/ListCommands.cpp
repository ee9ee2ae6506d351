#include "app/ListCommands.h"

#include "base/Files.h"
#include "base/Text.h"

#include <algorithm>

namespace mv {

namespace {

constexpr const char* kStars = "**************************************";
constexpr long long kLargeMessage = 50001;

bool markedForDeletion(int mark) { return mark == 0 || mark == 2; }

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
    auto rows = validRows(selection);
    if (warnIfNone(rows)) return;
    for (int i : rows) {
        int& mark = m_c.rows()[static_cast<std::size_t>(i)].mark;
        mark = markedForDeletion(mark) ? -1 : 0;
    }
    m_c.view().listChanged();
    m_c.ShowTotalCount();
}

void ListCommands::ResetButtonClick() {
    for (auto& row : m_c.rows()) row.mark = -1;
    m_c.view().listChanged();
    m_c.ShowTotalCount();
}

void ListCommands::btRemarkClick() {
    m_c.playAlarmSound(false);
    m_c.remark();
    bool any = std::any_of(m_c.rows().begin(), m_c.rows().end(),
                           [](const MessageEntry& row) { return markedForDeletion(row.mark); });
    if (!any) m_c.view().showInformation("None of the messages matched any of the spam criteria.");
    m_c.ShowTotalCount();
}

std::vector<std::string> ListCommands::whyText(int index) {
    const MessageEntry& row = m_c.rows().at(static_cast<std::size_t>(index));
    std::vector<std::string> lines = {"Message from " + row.sender, "Subject of   " + row.subject,
                                      ""};
    int before = row.mark;
    Explanation why = m_c.explain(index);
    lines.insert(lines.end(), why.reasons.begin(), why.reasons.end());
    if (lines.size() == 3)
        lines.push_back(
            "Message was neither on the exception list nor on the list of matching criteria");
    if (before == 0 && why.mark != 0) lines.push_back("** You marked this message **");
    if (before == -1 && why.mark != -1) lines.push_back("** You un-marked this message **");
    return lines;
}

void ListCommands::Why1Click(const std::vector<int>& selection) {
    m_c.playAlarmSound(false);
    m_c.disableTimer();
    auto rows = validRows(selection);
    if (!warnIfNone(rows)) {
        warnIfSeveral(rows);
        std::string text;
        for (const auto& line : whyText(rows.front())) text += line + "\n";
        m_c.view().showText(ViewerMode::Reasons, text);
    }
    m_c.restoreTimer();
}

std::string ListCommands::headerViewText(const std::vector<int>& selection) const {
    std::string text;
    const TRemoteInfo& info = m_c.client().RemoteInfo();
    for (int i : validRows(selection)) {
        const MessageEntry& row = m_c.rows()[static_cast<std::size_t>(i)];
        text += std::string(kStars) + "\n";
        text += "Subject : " + row.subject + " Sender : " + row.sender + "\n";
        text += std::string(kStars) + "\n";
        if (i < info.Count())
            for (const auto& line : info.Items(i).Headers.lines()) text += line + "\n";
    }
    return text;
}

void ListCommands::ViewHeader1Click(const std::vector<int>& selection) {
    m_c.playAlarmSound(false);
    m_c.disableTimer();
    auto rows = validRows(selection);
    if (!warnIfNone(rows)) m_c.view().showText(ViewerMode::Headers, headerViewText(rows));
    m_c.restoreTimer();
}

std::optional<std::string> ListCommands::downloadBody(int index) {
    TRemotePOP& pop = m_c.client();
    try {
        if (!m_c.loadListedAccount()) return std::nullopt;
        m_c.clearClientMarks(); // a stale delete mark must never ride along with a download
        pop.MarkRetrieve(index);
        pop.setMessageDirectory(m_c.home().programDir().string());
        m_c.disableAllButtons();
        m_c.view().showProgress("Retrieving messages ... standby", pop.server(), pop.UserName());
        pop.ProcessMarked();
        m_c.clearClientMarks();
        m_c.view().hideProgress();
        m_c.enableAllButtons();
        auto raw = readFile(m_c.home().emlFile(index));
        if (!raw) throw FileError("Unable to read " + m_c.home().emlFile(index).string());
        return messageBodyText(*raw);
    } catch (const std::exception& e) {
        m_c.clearClientMarks();
        m_c.failOperation(e, true);
        return std::nullopt;
    }
}

void ListCommands::ViewMessages1Click(const std::vector<int>& selection) {
    m_c.playAlarmSound(false);
    m_c.disableTimer();
    auto rows = validRows(selection);
    if (!warnIfNone(rows)) {
        warnIfSeveral(rows);
        int index = rows.front();
        const std::string& size = m_c.rows()[static_cast<std::size_t>(index)].size;
        bool wanted = parseIntegerOr(size, 0) < kLargeMessage ||
                      m_c.view().askYesNo("The message you have selected to view is quite large - " +
                                          size + " bytes. " +
                                          "Are you sure you wish to download and view it?");
        if (wanted)
            if (auto body = downloadBody(index)) m_c.view().showText(ViewerMode::Body, *body);
    }
    m_c.restoreTimer();
}

void ListCommands::AddtoSPAMlist1Click(const std::vector<int>& selection) {
    auto rows = validRows(selection);
    if (warnIfNone(rows)) return;
    std::vector<std::pair<std::string, std::string>> entries;
    for (int i : rows)
        entries.emplace_back(m_c.rows()[static_cast<std::size_t>(i)].subject,
                             m_c.rows()[static_cast<std::size_t>(i)].sender);
    if (auto choice = m_c.view().confirmSpamRules(entries)) {
        addToSpamList(m_c.rules(), entries, choice->subjects, choice->senders);
        m_c.saveRules();
    }
    btRemarkClick();
}

void ListCommands::AddtoExceptions1Click(const std::vector<int>& selection) {
    auto rows = validRows(selection);
    if (warnIfNone(rows)) return;
    std::vector<std::string> senders;
    for (int i : rows) senders.push_back(m_c.rows()[static_cast<std::size_t>(i)].sender);
    addToExceptions(m_c.rules(), senders);
    m_c.saveRules();
    btRemarkClick();
}

} // namespace mv
