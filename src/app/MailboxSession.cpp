#include "app/MailboxSession.h"

namespace mv {

MailboxSession::MailboxSession(SettingsStore& settings, View& view, Platform& platform,
                               ActivityLog& log, HeldMessages& messages)
    : m_settings(settings), m_view(view), m_platform(platform), m_log(log), m_messages(messages) {
    m_client.setPump([this] { m_platform.pump(); });
    connectEvents();
}

std::vector<std::string> MailboxSession::readAccounts() {
    ServerSettings server = m_settings.readServerSettings();
    m_accounts = server.accounts;
    return server.problems;
}

void MailboxSession::refreshAccounts() {
    const int chosen = m_accounts.which;
    m_settings.refresh();
    readAccounts(); // what cannot be read was named at start-up or in the settings window
    m_accounts.which = chosen;
}

void MailboxSession::GetRemotePOPSettings(int n) {
    RemotePopSettings loaded = m_settings.GetRemotePOPSettings(n);
    if (loaded.migrationWarning) {
        m_messages.warning(std::string(kPasswordMigrationWarning));
        readAccounts(); // the cleared passwords
    }
    if (loaded.account) loadAccount(*loaded.account);
}

void MailboxSession::loadAccount(const MailboxAccount& account) {
    m_client.setServer(account.server);
    m_client.setUserName(account.user);
    m_client.setPassword(account.password);
    m_client.setSecurity(account.security);
    m_client.setFingerprint(account.fingerprint);
    m_clientAccount = account;
}

void MailboxSession::startListing() {
    m_listedMailbox = m_currentMailbox;
    m_listedAccount = m_clientAccount;
}

bool MailboxSession::loadListedAccount() {
    if (m_listedMailbox == 0) return false;
    if (!(m_clientAccount == m_listedAccount)) {
        endKeptSession(); // a session of another mailbox must not receive these numbers
        loadAccount(m_listedAccount);
    }
    m_currentMailbox = m_listedMailbox;
    return true;
}

void MailboxSession::endKeptSession() {
    if (!m_client.Connected()) return;
    try {
        m_client.Disconnect();
    } catch (const std::exception&) {
        // A refused QUIT of a listing session loses nothing; the socket goes either way.
    }
    if (m_client.Connected()) m_client.Close();
}

void MailboxSession::dropKeptSession() {
    if (!m_client.Connected()) return;
    m_client.Cancel();
    m_client.ResetState(); // the cancel was for this session alone
}

void MailboxSession::applyDialUp(int k) {
    if (k <= 0) {
        m_client.setDialHooks({});
        return;
    }
    if (!m_ras) {
        m_ras = std::make_unique<TRasDialer>();
        m_ras->setWaitHooks(waitHooks());
        m_ras->OnMessage = [this](const std::string& text) { m_messages.error(text); };
    }
    const auto& entries = m_ras->Entries();
    auto index = static_cast<std::size_t>(k);
    m_ras->setService(index <= entries.size() ? entries[index - 1] : std::string());
    m_client.setDialHooks(m_ras->socketHooks());
}

WaitHooks MailboxSession::waitHooks() {
    return {&m_cancelRequested, [this] { m_platform.pump(); }};
}

void MailboxSession::beginOperation() {
    beginStep();
    m_operationCancelled = false;
}

void MailboxSession::endOperation() {
    endStep();
    m_operationCancelled = false;
}

void MailboxSession::beginStep() {
    m_cancelRequested = false;
    m_errorLogged = false;
}

void MailboxSession::endStep() {
    // A session kept open through a cancel is out of step, and its client would still see the
    // cancel at the next operation.
    if (m_cancelRequested && m_client.Connected()) m_client.Close();
    m_client.ResetState();
    m_cancelRequested = false;
}

void MailboxSession::networkStep(const std::function<void()>& step) {
    beginStep();
    try {
        step();
    } catch (...) {
        endStep();
        throw;
    }
    endStep();
}

void MailboxSession::clearMarks() {
    for (std::size_t i = 0; i < m_client.RemoteInfo().Count(); ++i)
        m_client.ClearMarks(static_cast<int>(i));
}

void MailboxSession::cancel() {
    m_cancelRequested = true;
    m_operationCancelled = true;
    m_client.Cancel();
}

void MailboxSession::logFailure(const std::exception& error) {
    if (!m_errorLogged) m_log.writeError(error.what(), m_client.userName(), m_client.server());
    m_errorLogged = true;
}

void MailboxSession::connectEvents() {
    TRemotePOP& pop = m_client;
    pop.OnOpen = [this](TAsyncSocket& s) {
        m_view.setProgressMessage("Opening connection ... ");
        m_view.setProgressBar(0, 0);
        m_view.setStatus("Opening connection for " + m_client.userName() + " on " + s.server());
    };
    pop.OnUpdatingInfo = [this](TRemotePOP&) {
        m_view.setProgressMessage("Updating headers ... ");
        m_view.setProgressBar(0, 0);
        m_view.setStatus("Updating headers");
    };
    pop.OnTransferringData = [this](TRemotePOP&) {
        m_view.setProgressMessage("Transferring data ... ");
        m_view.setStatus("Transferring data");
    };
    pop.OnDataTransfered = [this](TRemotePOP&) { m_view.setStatus("Data has been transfered"); };
    pop.OnRetrieving = [this](TCustomPOP&, int num) {
        m_view.setProgressMessage("Retrieving ... ");
        m_view.setStatus("Retrieving " + std::to_string(num + 1));
    };
    pop.OnRetrieved = [this](TCustomPOP&, int num) {
        m_view.setStatus("Message " + std::to_string(num + 1) + " retrieved");
    };
    pop.OnClosing = [this](TAsyncSocket&) { m_view.setStatus("Closing connection"); };
    pop.OnClosed = [this](TAsyncSocket&) { m_view.setStatus("Connection closed"); };
    pop.OnError = [this](TAsyncSocket& s, std::string& msg) {
        m_view.setStatus(msg);
        m_log.writeError(msg, m_client.userName(), s.server());
        m_errorLogged = true;
    };
    pop.OnCancel = [this](TAsyncSocket& s) {
        m_view.setStatus("Operation has been canceled");
        m_log.writeCancel(m_client.userName(), s.server());
    };
}

} // namespace mv
