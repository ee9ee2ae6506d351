#pragma once
// The POP3 side of the controller: the mailbox accounts, which one the client holds and whose
// messages are listed (the client deletes and downloads by number only), dial-up, the cancel flag
// that every wait of a network operation tests (the client's, the name look-ups', the dial-up's),
// and the client's connection events shown as status texts and log entries. The controller handles
// the events about messages. Owned by the controller.
#include "app/ActivityLog.h"
#include "app/HeldMessages.h"
#include "app/Platform.h"
#include "app/View.h"
#include "app/settings/SettingsStore.h"
#include "net/RasDialer.h"
#include "net/RemotePOP.h"

#include <atomic>
#include <functional>
#include <memory>

namespace mv {

class MailboxSession {
public:
    MailboxSession(SettingsStore& settings, View& view, Platform& platform, ActivityLog& log,
                   HeldMessages& messages);
    MailboxSession(const MailboxSession&) = delete;
    MailboxSession& operator=(const MailboxSession&) = delete;

    TRemotePOP& client() { return m_client; }
    const TRemotePOP& client() const { return m_client; }
    // The settings window's working copy of the twelve accounts.
    MailboxAccounts& accounts() { return m_accounts; }
    const MailboxAccounts& accounts() const { return m_accounts; }
    // Reads the accounts again from the store; returns the problems met.
    std::vector<std::string> readAccounts();
    // The accounts as stored now (the command line may have added one), keeping the mailbox
    // chosen here. Throws FileError.
    void refreshAccounts();

    int currentMailbox() const { return m_currentMailbox; }
    void setCurrentMailbox(int n) { m_currentMailbox = n; }
    // The mailbox whose messages the list holds (0 before the first check).
    int listedMailbox() const { return m_listedMailbox; }

    // Loads account n into the client.
    void GetRemotePOPSettings(int n);
    // The current mailbox's account is listed from now on.
    void startListing();
    // Loads the account of the listed mailbox into the client, so that a deletion or download
    // acts on the mailbox whose messages are shown. False when there is no such list.
    bool loadListedAccount();
    // Ends a session kept open after a listing, properly when the server lets us.
    void endKeptSession();
    // Drops a kept session at once (the mail program is to log in); logs a cancel entry.
    void dropKeptSession();
    // The RAS setting: dial the k-th connection before a session, or never when 0.
    void applyDialUp(int k);

    // The waits of an operation outside the client (name look-ups) use these: the operation's
    // cancel flag and the pump.
    WaitHooks waitHooks();
    // One network operation starts or has ended; its cancel goes with it.
    void beginOperation();
    void endOperation();
    // One network exchange inside an operation, between beginOperation and endOperation: the
    // waits' cancel flag ends with it, so that what follows a cancelled step (the report, a
    // deletion's listing) can still talk to the server.
    void networkStep(const std::function<void()>& step);
    // Clears the retrieve and delete marks of every listed message on the client.
    void clearMarks();
    // Cancel pressed: every wait of the running operation stops.
    void cancel();
    bool cancelRequested() const { return m_cancelRequested; }
    // Cancel was pressed at some point of the running operation, whichever step it ended: an
    // automatic run over several mailboxes stops at it.
    bool operationCancelled() const { return m_operationCancelled; }

    // A command starts: no failure of it is in the log yet.
    void beginCommand() { m_errorLogged = false; }
    // Writes the ERROR entry of a failure unless the client's OnError already did.
    void logFailure(const std::exception& error);

private:
    void connectEvents();
    void loadAccount(const MailboxAccount& account);
    void beginStep();
    void endStep();

    SettingsStore& m_settings;
    View& m_view;
    Platform& m_platform;
    ActivityLog& m_log;
    HeldMessages& m_messages;

    TRemotePOP m_client;
    std::unique_ptr<TRasDialer> m_ras; // made when a dial-up entry is set
    MailboxAccounts m_accounts;
    int m_currentMailbox = 1;
    int m_listedMailbox = 0;
    MailboxAccount m_listedAccount;
    MailboxAccount m_clientAccount; // the account loaded into the client

    std::atomic<bool> m_cancelRequested{false}; // the waits of the running step stop
    bool m_operationCancelled = false;
    bool m_errorLogged = false; // the client's OnError already wrote the running failure
};

} // namespace mv
