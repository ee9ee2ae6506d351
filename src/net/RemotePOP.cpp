#include "net/RemotePOP.h"

#include "base/Files.h"
#include "base/Text.h"
#include "mail/HeaderText.h"

#include <algorithm>

namespace mv {

namespace {

// When pipelining, the replies the server may send ahead of what was read, in bytes: enough to
// keep a link with a long round trip busy, little enough that nobody buffers megabytes for us.
// Commands go out while replies are read, so neither side waits for the other.
constexpr std::size_t kReplyBytesInFlight = 1024 * 1024;
// The reply size assumed for a message before any was read: a LIST line and a header block.
constexpr std::size_t kFirstReplyGuess = 2048;
// A header block larger than this is no header block: fail rather than fill the memory.
constexpr std::size_t kHeaderLimit = 1024 * 1024;
constexpr std::size_t kUidLineLimit = 100;

bool anyMarkedDelete(const TRemoteInfo& info) {
    for (std::size_t i = 0; i < info.Count(); ++i)
        if (info[i].MarkedDelete()) return true;
    return false;
}

} // namespace

TRemotePOP::TRemotePOP(std::unique_ptr<Transport> transport) : TCustomPOP(std::move(transport)) {}

void TRemotePOP::UpdateInfo() {
    Operation operation(*this);
    try {
        connectSession();
        if (OnUpdatingInfo) OnUpdatingInfo(*this);
        m_remoteInfo.Clear();
        listMessages();
        if (!m_keepConnected) disconnectSession();
    } catch (...) {
        Close(); // replies may still be on their way; the session is out of step
        throw;
    }
    if (OnInfoUpdated) OnInfoUpdated(*this);
}

void TRemotePOP::listMessages() {
    bool pipelined = m_usePipelining && hasCapability("PIPELINING");
    int count = MessageCount();
    int sent = 0;               // messages whose commands are queued or on the wire
    std::size_t replyBytes = 0; // of the messages read so far
    // Queues the commands of the messages the window has room for, `read` messages being in.
    auto fillWindow = [&](int read) {
        if (!pipelined) return;
        std::size_t average =
            read == 0 ? kFirstReplyGuess : std::max<std::size_t>(replyBytes / read, 1);
        auto window = static_cast<int>(std::max<std::size_t>(kReplyBytesInFlight / average, 1));
        // Refilled a quarter at a time: one write and one packet for many commands.
        if (sent - read > window - std::max(window / 4, 1)) return;
        for (; sent < count && sent - read < window; ++sent) {
            std::string n = std::to_string(sent + 1);
            queueRaw("LIST " + n + "\r\nTOP " + n + " 1\r\n");
        }
    };
    bool withUids = hasCapability("UIDL") && count > 0;
    if (withUids) queueRaw("UIDL\r\n"); // goes out with the first listing commands
    fillWindow(0);
    std::vector<std::string> uids = withUids ? readUidList() : std::vector<std::string>{};
    for (int i = 0; i < count; ++i) {
        std::string number = std::to_string(i + 1);
        fillWindow(i);
        TRemoteInfoItem item;
        if (!pipelined) SendLine("LIST " + number);
        replyBytes += readListReply(item, number);
        if (!pipelined) SendLine("TOP " + number + " 1");
        replyBytes += readTopReply(item);
        if (static_cast<std::size_t>(i + 1) < uids.size()) item.UIDL = uids[i + 1];
        m_remoteInfo.Add(std::move(item));
        if (OnNextInfoUpdated) OnNextInfoUpdated(*this, i);
    }
}

std::vector<std::string> TRemotePOP::readUidList() {
    std::string line;
    if (ReadLine(line) != 1) return {};
    std::size_t count = static_cast<std::size_t>(MessageCount());
    std::string listing = readMultiLine(-1, (count + 1) * kUidLineLimit);
    std::vector<std::string> uids(count + 1);
    for (const std::string& entry : splitLines(listing)) {
        auto number = parseInteger(ExtractWord(entry, 0, true));
        if (number && *number >= 1 && static_cast<std::size_t>(*number) <= count)
            uids[static_cast<std::size_t>(*number)] = ExtractWord(entry, 1, true);
    }
    return uids;
}

std::size_t TRemotePOP::readListReply(TRemoteInfoItem& item, std::string_view number) {
    const std::string& line = readOk();
    item.Size = parseListSize(line, number);
    return line.size() + 2;
}

std::size_t TRemotePOP::readTopReply(TRemoteInfoItem& item) {
    std::size_t bytes = readOk().size() + 2;
    std::string headers = readMultiLine(-1, kHeaderLimit);
    bytes += headers.size() + 3;
    item.Headers.loadFromText(headers);
    item.Headers.TruncateAtBlankLine();
    return bytes;
}

std::vector<int> TRemotePOP::ProcessMarked() {
    Operation operation(*this);
    m_deleted.clear();
    if (m_remoteInfo.empty()) return {};
    std::vector<int> deleted;
    try {
        connectSession();
        if (OnTransferringData) OnTransferringData(*this);
        for (int i = 0; i < static_cast<int>(m_remoteInfo.Count()); ++i) {
            const TRemoteInfoItem& item = m_remoteInfo.Items(i);
            if (item.Marks == 0) continue;
            checkStillListed(i);
            if (item.MarkedRetrieve()) RetrieveMessage(i);
            if (item.MarkedDelete()) {
                DeleteMessage(i);
                deleted.push_back(i);
            }
        }
        if (OnDataTransfered) OnDataTransfered(*this);
        disconnectSession(); // QUIT: only its "+OK" commits the deletions
    } catch (...) {
        Close(); // without QUIT: the server restores every message marked in this session
        throw;
    }
    m_deleted = std::move(deleted);
    return m_deleted;
}

void TRemotePOP::checkStillListed(int index) {
    const TRemoteInfoItem& listed = m_remoteInfo.Items(index);
    std::string number = std::to_string(index + 1);
    bool same = false;
    if (!listed.UIDL.empty()) {
        SendLine("UIDL " + number);
        std::string line;
        same = ReadLine(line) == 1 && ExtractWord(line, 2, true) == listed.UIDL;
    } else {
        TRemoteInfoItem now;
        SendLine("LIST " + number);
        readListReply(now, number);
        SendLine("TOP " + number + " 1");
        readTopReply(now);
        same = now.Size == listed.Size && now.Headers.lines() == listed.Headers.lines();
    }
    if (same) return;
    // Failing, the session ends without QUIT: any deletion of this run is undone with it.
    std::string outcome =
        anyMarkedDelete(m_remoteInfo) ? "so nothing was deleted" : "so it was not downloaded";
    std::string subject = listed.Headers.GetFieldValue("Subject");
    throw EMailboxChanged("Message " + number + " (\"" + subject +
                          "\") is no longer the one listed; the mailbox changed on the server, " +
                          outcome);
}

void TRemotePOP::SaveMessage(int num, const std::string& contents) {
    if (OnUserMessageSave) {
        OnUserMessageSave(*this, num, contents);
        return;
    }
    writeFileAtomically(m_messageDirectory / ("msg_" + std::to_string(num) + ".eml"), contents,
                        true);
}

} // namespace mv
