#pragma once
// TRemotePOP: the POP3 client the program is built around. UpdateInfo lists every waiting
// message (size, header block, unique id) without downloading it, reporting each as it arrives;
// ProcessMarked downloads and deletes the marked ones after checking that each number still names
// the listed message, and commits the deletions only by a QUIT the server accepts. Owned by the
// controller for the whole run; the listing lives until the next UpdateInfo.
#include "mail/MailHeaders.h"
#include "net/CustomPOP.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace mv {

// One listed message: item i is the server's message i + 1 as it was when listed.
struct TRemoteInfoItem {
    enum Mark : std::uint8_t { kRetrieve = 1, kDelete = 2 };

    std::uint8_t Marks = 0;
    std::int64_t Size = -1; // octets from LIST; -1 when the server's reply gave no readable size
    TMailHeaders Headers;   // the header block, one physical line per entry
    std::string UIDL;       // the server's unique id; empty when it has none

    bool MarkedRetrieve() const { return (Marks & kRetrieve) != 0; }
    bool MarkedDelete() const { return (Marks & kDelete) != 0; }
};

class TRemoteInfo {
public:
    std::size_t Count() const { return m_items.size(); }
    bool empty() const { return m_items.empty(); }
    // Throws std::out_of_range for an index outside the list.
    TRemoteInfoItem& Items(std::size_t index) { return m_items.at(index); }
    const TRemoteInfoItem& Items(std::size_t index) const { return m_items.at(index); }
    TRemoteInfoItem& operator[](std::size_t index) { return m_items.at(index); }
    const TRemoteInfoItem& operator[](std::size_t index) const { return m_items.at(index); }
    void Add(TRemoteInfoItem item) { m_items.push_back(std::move(item)); }
    void Clear() { m_items.clear(); }

private:
    std::vector<TRemoteInfoItem> m_items;
};

class TRemotePOP : public TCustomPOP {
public:
    explicit TRemotePOP(std::unique_ptr<Transport> transport = nullptr);

    // Connects if needed and refills RemoteInfo, firing OnNextInfoUpdated after each message;
    // closes unless KeepConnected. On failure the items read so far stay and the session ends.
    void UpdateInfo();
    // Connects if needed, retrieves and deletes the marked messages, and ends with QUIT. Returns
    // the indexes the server really deleted (also in DeletedIndexes). On any failure the session
    // is closed without QUIT, so the server deletes nothing, and the exception is passed on.
    std::vector<int> ProcessMarked();
    const std::vector<int>& DeletedIndexes() const { return m_deleted; }

    void MarkDelete(int index) { RemoteInfo().Items(index).Marks |= TRemoteInfoItem::kDelete; }
    void MarkRetrieve(int index) { RemoteInfo().Items(index).Marks |= TRemoteInfoItem::kRetrieve; }
    void ClearMarks(int index) { RemoteInfo().Items(index).Marks = 0; }

    TRemoteInfo& RemoteInfo() { return m_remoteInfo; }
    const TRemoteInfo& RemoteInfo() const { return m_remoteInfo; }
    // Where retrieved messages are saved as msg_<index>.eml; empty is the current folder.
    const std::filesystem::path& MessageDirectory() const { return m_messageDirectory; }
    void setMessageDirectory(std::filesystem::path folder) {
        m_messageDirectory = std::move(folder);
    }
    bool KeepConnected() const { return m_keepConnected; }
    void setKeepConnected(bool keep) { m_keepConnected = keep; }
    // Send the listing's commands ahead of their replies when the server offers PIPELINING
    // (default on).
    bool UsePipelining() const { return m_usePipelining; }
    void setUsePipelining(bool use) { m_usePipelining = use; }

    std::function<void(TRemotePOP&)> OnUpdatingInfo;
    std::function<void(TRemotePOP&)> OnInfoUpdated;
    std::function<void(TRemotePOP&)> OnTransferringData;
    std::function<void(TRemotePOP&)> OnDataTransfered;
    std::function<void(TRemotePOP&, int num)> OnNextInfoUpdated;
    // When set, receives each retrieved message instead of the file being written.
    std::function<void(TRemotePOP&, int num, const std::string& contents)> OnUserMessageSave;

protected:
    void SaveMessage(int num, const std::string& contents) override;

private:
    void listMessages();
    // The reply to UIDL, already sent: the unique ids by message number (index 0 unused), empty
    // when the server refused.
    std::vector<std::string> readUidList();
    // Both return the reply's size in bytes.
    std::size_t readListReply(TRemoteInfoItem& item, std::string_view number);
    std::size_t readTopReply(TRemoteInfoItem& item);
    // Throws EMailboxChanged unless message index + 1 is still the listed message; its text says
    // what the run left undone.
    void checkStillListed(int index);

    TRemoteInfo m_remoteInfo;
    std::filesystem::path m_messageDirectory;
    bool m_keepConnected = false;
    bool m_usePipelining = true;
    std::vector<int> m_deleted;
};

} // namespace mv
