#include "app/CheckController.h"

#include "base/Files.h"
#include "base/Text.h"
#include "mail/EmailAddress.h"
#include "mail/MailDate.h"
#include "screening/Conditions.h"
#include "screening/RuleRows.h"

#include <algorithm>
#include <cstdio>

namespace mv {

namespace {

constexpr const char* kRetrievingHeading = "Retrieving messages ... standby";
constexpr int kAlarmPathMax = 200;

bool markedForDeletion(const MessageEntry& row) {
    return isMarkedForDeletion(row.mark);
}

std::string mailFoundCaption(const std::string& user, std::size_t count) {
    return "Mailvane - MailBox " + user + " - " + std::to_string(count) + " messages";
}

} // namespace

std::string totalCountText(const std::vector<MessageEntry>& rows) {
    auto marked = std::count_if(rows.begin(), rows.end(), markedForDeletion);
    return "Message Total: " + std::to_string(rows.size()) +
           " Number Marked: " + std::to_string(marked);
}

std::string countdownCaption(int minutes) {
    return "Mailvane - next e-mail check in " + std::to_string(minutes) +
           (minutes == 1 ? " minute" : " minutes");
}

void fix2000(RegionalSettings& regional) {
    regional.shortDateFormat = withFourDigitYear(regional.shortDateFormat);
}

void CleanUpEMLFiles(const HomeFolder& home) {
    // Every msg_N.eml, not only 0 to 100: a mailbox may list more messages than that.
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(home.programDir(), ec)) {
        std::string name = entry.path().filename().string();
        if (!name.starts_with("msg_") || !name.ends_with(".eml")) continue;
        std::string number = name.substr(4, name.size() - 8);
        if (number.empty() || !std::all_of(number.begin(), number.end(), isDigitChar)) continue;
        std::error_code ignored; // a file that cannot go now goes at the next start
        std::filesystem::remove(entry.path(), ignored);
    }
}

bool AddMyselfFromPopToHeader(RuleSet& rules, const MailboxAccounts& accounts) {
    const std::string& user = accounts[1].user;
    if (trim(user).empty()) return false;
    rules.header().insertRow(1);
    putRuleRow(rules.header(), TableId::Header, 1,
               {"", "To does not contain", user + " - MailBox #1", std::string(kNo),
                std::string(kYes), "0"});
    return true;
}

CheckController::CheckController(HomeFolder home, SettingsStore& settings, View& view,
                                 Platform& platform, const Clock& clock, RegionalSettings regional)
    : m_home(std::move(home)), m_settings(settings), m_view(view), m_platform(platform),
      m_clock(clock), m_regional(std::move(regional)), m_rules(m_home.programDir()),
      m_domainCheck(m_domainResolver, m_rules.options()),
      m_screening(m_rules, m_domainCheck,
                  [this] {
                      return m_accounts.serverToIndex(m_remotePop1.server(),
                                                      m_remotePop1.userName());
                  }),
      m_log(clock, m_regional) {
    m_log.onFailure([this](const std::string& message) { m_view.showError(message); });
    m_remotePop1.setPump([this] { m_platform.pump(); });
    m_mxResolver.setWaitHooks({nullptr, [this] { m_platform.pump(); }});
    connectClientEvents();
}

void CheckController::startUp() {
    fix2000(m_regional);
    m_general = m_settings.ReadGeneralSettings();
    ServerSettings server = m_settings.readServerSettings();
    m_accounts = server.accounts;
    for (const auto& problem : server.problems)
        m_view.showWarning(problem);
    m_trayMode = m_general.sysTray;
    m_countdown = m_general.minutes;
    m_currentMailbox = MailboxAccounts::isMailboxNumber(m_accounts.which) ? m_accounts.which : 1;
    m_automaticRun = m_listing = m_deleting = false;
    m_mxResolver.setDNSAddress(m_general.dnsAddress);
    if (m_general.dnsPort > 0) m_mxResolver.setPort(static_cast<std::uint16_t>(m_general.dnsPort));
    for (const auto& message : m_rules.readSettings())
        m_view.showError(message);
    if (auto message = m_rules.LoadUpKnownList()) m_view.showError(*message);
    GetRemotePOPSettings(m_currentMailbox);
    CleanUpEMLFiles(m_home);
    applyLogNaming();
    applyDialUp();
    UpdateAutomaticCaptions(m_general.automatic, m_countdown);
    setExitNormalRole();
    enableAllButtons();
    showCheckPicture();
    if (!m_trayMode) m_view.showMainWindow();
}

// --- Accounts -------------------------------------------------------------------------------

void CheckController::GetRemotePOPSettings(int n) {
    RemotePopSettings loaded = m_settings.GetRemotePOPSettings(n);
    if (loaded.migrationWarning) {
        m_view.showWarning(std::string(kPasswordMigrationWarning));
        m_accounts = m_settings.readServerSettings().accounts; // the cleared passwords
    }
    if (loaded.account) loadAccount(*loaded.account);
}

void CheckController::loadAccount(const MailboxAccount& account) {
    m_remotePop1.setServer(account.server);
    m_remotePop1.setUserName(account.user);
    m_remotePop1.setPassword(account.password);
    m_remotePop1.setSecurity(account.security);
    m_remotePop1.setFingerprint(account.fingerprint);
    m_clientAccount = account;
}

bool CheckController::loadListedAccount() {
    if (m_listedMailbox == 0) return false;
    if (!(m_clientAccount == m_listedAccount)) {
        endKeptSession(); // a session of another mailbox must not receive these numbers
        loadAccount(m_listedAccount);
    }
    m_currentMailbox = m_listedMailbox;
    return true;
}

void CheckController::endKeptSession() {
    if (!m_remotePop1.Connected()) return;
    try {
        m_remotePop1.Disconnect();
    } catch (const std::exception&) {
        // A refused QUIT of a listing session loses nothing; the socket goes either way.
    }
    if (m_remotePop1.Connected()) m_remotePop1.Close();
}

bool CheckController::chooseMailbox() {
    bool others = false;
    for (int n = 2; n <= MailboxAccounts::kCount; ++n)
        others = others || m_accounts[n].configured();
    if (!others) return true;
    auto entries = m_accounts.chooserEntries();
    auto chosen = m_view.chooseMailbox(entries, chooserPreselection(entries, m_currentMailbox));
    if (!chosen) return false;
    m_currentMailbox = *chosen;
    return true;
}

// --- The check run ---------------------------------------------------------------------------

bool CheckController::accountMissing() {
    if (isBlank(m_remotePop1.userName())) {
        m_view.showError("You need to enter your e-mail username in the settings.");
    } else if (isBlank(m_remotePop1.server())) {
        m_view.showError("You need to enter the name of your mail server in the settings.");
    } else {
        return false;
    }
    m_view.openSettings();
    settingsClosed();
    return true;
}

CheckOutcome CheckController::btListClick() {
    try {
        GetRemotePOPSettings(m_currentMailbox);
        playAlarmSound(false);
        if (accountMissing()) return CheckOutcome::NotRun;
        if (m_countdown > 0 && (!m_automaticRun || m_view.mainWindowVisible())) {
            if (!chooseMailbox()) return CheckOutcome::NotRun;
            m_accounts.which = m_currentMailbox;
            GetRemotePOPSettings(m_currentMailbox);
            if (accountMissing()) return CheckOutcome::NotRun;
        }
    } catch (const FileError& e) {
        m_view.showError(e.what());
        return CheckOutcome::NotRun;
    }
    // A session kept open after the last listing would not see mail that arrived since, and would
    // keep the user's mail program locked out: every check starts its own.
    endKeptSession();
    m_remotePop1.setKeepConnected(m_accounts.OnlyOneMailbox());

    bool timerWasEnabled = m_timerEnabled;
    m_timerEnabled = false;
    m_rows.clear();
    m_view.listChanged();
    setExitCancelRole();
    disableAllButtons();
    bool interactive = !unattended();
    if (interactive)
        m_view.showProgress(kRetrievingHeading, m_remotePop1.server(), m_remotePop1.userName());
    m_listing = true;
    m_errorLogged = false;
    m_domainCheck.startRun();
    m_listedMailbox = m_currentMailbox;
    m_listedAccount = m_clientAccount;

    bool failed = false;
    m_cancelRequested = false;
    try {
        m_remotePop1.UpdateInfo();
        // A cancel that came when every reply was already in still ends the check as cancelled.
        if (m_cancelRequested) throw ECanceledError();
    } catch (const std::exception& e) {
        failed = true;
        logFailure(e);
        if (interactive) m_view.showError(e.what());
    }
    returnToIdle();
    m_timerEnabled = timerWasEnabled;
    if (failed && interactive) return CheckOutcome::Failed;

    // An unattended failure is in the log as an ERROR entry; a MAIL CHECK entry would count it as
    // an empty mailbox.
    if (!failed)
        m_log.writeCheck(static_cast<int>(m_rows.size()), m_remotePop1.userName(),
                         m_remotePop1.server());
    if (!failed && m_rows.empty() && !m_general.automatic && m_general.exitWhenEmpty) {
        if (m_trayMode)
            m_view.hideToTray();
        else
            m_view.closeMainWindow();
    }
    ShowTotalCount();
    saveRules();
    return failed ? CheckOutcome::Failed : CheckOutcome::Listed;
}

void CheckController::addRow(int num) {
    const TRemoteInfoItem& item = m_remotePop1.RemoteInfo().Items(static_cast<std::size_t>(num));
    MessageEntry row;
    row.headers = item.Headers;
    row.subject = item.Headers.GetFieldValue("Subject");
    row.sender = SplitAddress(item.Headers.GetFieldValue("From")).address;
    row.size = std::to_string(std::max<std::int64_t>(item.Size, 0));
    std::string dateText = item.Headers.GetFieldValue("Date");
    MailDate date = ParseMailDate(dateText, m_regional);
    row.date = date.value == 0 ? dateText
                               : formatShortDate(date.value, m_regional) + " " +
                                     formatLongTime(date.value, m_regional);
    m_rows.push_back(std::move(row));
}

void CheckController::connectClientEvents() {
    TRemotePOP& pop = m_remotePop1;
    pop.OnOpen = [this](TAsyncSocket& s) {
        m_view.setProgressMessage("Opening connection ... ");
        m_view.setProgressBar(0, 0);
        m_view.setStatus("Opening connection for " + m_remotePop1.userName() + " on " + s.server());
    };
    pop.OnUpdatingInfo = [this](TRemotePOP&) {
        m_view.setProgressMessage("Updating headers ... ");
        m_view.setProgressBar(0, 0);
        m_view.setStatus("Updating headers");
    };
    pop.OnNextInfoUpdated = [this](TRemotePOP& p, int num) {
        if (m_cancelRequested) return; // the rows of a cancelled listing are gone
        addRow(num);
        std::string n = std::to_string(num + 1), total = std::to_string(p.MessageCount());
        m_view.setStatus("Checking message " + n + " of " + total + " total waiting messages");
        if (m_cancelRequested) return;
        screen(num);
        m_view.listChanged();
        m_view.setProgressMessage("Message " + n + " of " + total);
        m_view.setProgressBar(num + 1, p.MessageCount());
    };
    pop.OnInfoUpdated = [this](TRemotePOP& p) {
        m_view.setStatus(std::to_string(p.RemoteInfo().Count()) + " msg(s) for " + p.userName() +
                         " on " + p.server());
        screen(-1);
        enableAllButtons();
        m_view.hideProgress();
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
    pop.OnDeleting = [this](TCustomPOP&, int num) { RemotePOP1Deleting(num); };
    pop.OnUserMessageSave = [this](TRemotePOP&, int num, const std::string& contents) {
        // A saved message is private mail: readable by its owner only.
        writeFileAtomically(m_home.emlFile(num), contents, true);
    };
    pop.OnClosing = [this](TAsyncSocket&) { m_view.setStatus("Closing connection"); };
    pop.OnClosed = [this](TAsyncSocket&) { m_view.setStatus("Connection closed"); };
    pop.OnError = [this](TAsyncSocket& s, std::string& msg) {
        m_view.setStatus(msg);
        showCheckPicture();
        m_log.writeError(msg, m_remotePop1.userName(), s.server());
        m_errorLogged = true;
    };
    pop.OnCancel = [this](TAsyncSocket& s) {
        m_view.setStatus("Operation has been canceled");
        setExitNormalRole();
        showCheckPicture();
        m_log.writeCancel(m_remotePop1.userName(), s.server());
    };
}

void CheckController::cancel(bool fromProgress) {
    if (!fromProgress) playAlarmSound(false);
    m_cancelRequested = true;
    m_remotePop1.Cancel();
    if (m_listing) {
        m_rows.clear();
        m_view.listChanged();
    }
    m_listing = false;
    enableAllButtons();
    m_view.hideProgress();
}

void CheckController::ShowTotalCount() {
    m_view.setStatus(totalCountText(m_rows));
}

void CheckController::screen(int index) {
    m_screening.MarkForDeletion(m_rows, index);
    m_view.listChanged();
    showScreeningProblems();
}

void CheckController::showScreeningProblems() {
    for (const auto& problem : m_screening.takeProblems())
        if (!unattended()) m_view.showError(problem);
}

int CheckController::remark() {
    int marked = m_screening.autoMark(m_rows);
    m_view.listChanged();
    showScreeningProblems();
    return marked;
}

std::vector<std::string> CheckController::reasons(int index) {
    auto lines = m_screening.whyMarked(m_rows.at(static_cast<std::size_t>(index)));
    showScreeningProblems();
    return lines;
}

DomainAnswer CheckController::MXDomainResolver::resolve(const std::string& domain) {
    switch (m_resolver.checkDomain(domain).status) {
    case DomainStatus::Exists:
        return DomainAnswer::Exists;
    case DomainStatus::DoesNotExist:
        return DomainAnswer::DoesNotExist;
    case DomainStatus::NotChecked:
        break;
    }
    return DomainAnswer::CouldNotCheck;
}

// --- Idle and busy states --------------------------------------------------------------------

void CheckController::disableAllButtons() {
    m_view.setButtons({false, false});
}

void CheckController::enableAllButtons() {
    m_view.setButtons({true, !m_rows.empty()});
}

void CheckController::setExitCancelRole() {
    m_cancelRole = true;
    m_view.setExitCaption("Cancel");
}

void CheckController::setExitNormalRole() {
    m_cancelRole = false;
    m_view.setExitCaption(m_trayMode ? "Hide" : "Goodbye");
}

void CheckController::showCheckPicture() {
    m_view.setCheckPicture(!m_rows.empty());
}

void CheckController::returnToIdle() {
    m_listing = false;
    m_view.hideProgress();
    enableAllButtons();
    setExitNormalRole();
    showCheckPicture();
}

void CheckController::logFailure(const std::exception& error) {
    if (!m_errorLogged)
        m_log.writeError(error.what(), m_remotePop1.userName(), m_remotePop1.server());
    m_errorLogged = true;
}

void CheckController::failOperation(const std::exception& error, bool show) {
    logFailure(error);
    if (show) m_view.showError(error.what());
    returnToIdle();
}

void CheckController::saveRules() {
    for (const auto& message : m_rules.Savesettings())
        if (!unattended()) m_view.showError(message);
}

void CheckController::clearClientMarks() {
    for (std::size_t i = 0; i < m_remotePop1.RemoteInfo().Count(); ++i)
        m_remotePop1.ClearMarks(static_cast<int>(i));
}

// --- Deletion -------------------------------------------------------------------------------

bool CheckController::btDeleteClick() {
    if (m_deleting) return false;
    m_deleting = true;
    playAlarmSound(false);
    m_timerEnabled = false;
    bool ok = true;
    try {
        DeleteMessages();
    } catch (const std::exception& e) {
        ok = false;
        failOperation(e, true);
    }
    m_deleting = false;
    // Inside an automatic run the tick re-enables the timer when the run is over; enabling it
    // here would let a tick start a second run in the middle of this one.
    if (!m_automaticRun) UpdateAutomaticCaptions(m_general.automatic, m_general.minutes);
    return ok;
}

void CheckController::DeleteMessages() {
    m_lastDeleted = 0;
    int marked = static_cast<int>(std::count_if(m_rows.begin(), m_rows.end(), markedForDeletion));
    int total = static_cast<int>(m_rows.size());
    bool manual = !m_general.automatic;
    if (marked == 0) {
        if (manual && m_general.ask)
            m_view.showInformation("There were no messages marked to delete!");
        return;
    }
    if (manual && m_general.ask &&
        !m_view.askYesNo("Really delete " + std::to_string(marked) + " messages from server?"))
        return;
    if (!loadListedAccount()) return;

    clearClientMarks();
    for (int i = 0; i < total; ++i)
        if (markedForDeletion(m_rows[static_cast<std::size_t>(i)])) m_remotePop1.MarkDelete(i);
    m_toDelete = marked;
    m_deleteProgress = 1;
    m_deletionEntries.clear();
    m_errorLogged = false;
    disableAllButtons();
    setExitCancelRole();
    bool interactive = !unattended();
    if (interactive)
        m_view.showProgress("Deleting messages ... standby", m_remotePop1.server(),
                            m_remotePop1.userName());
    std::vector<int> deleted;
    try {
        deleted = m_remotePop1.ProcessMarked();
    } catch (...) {
        // The server commits nothing unless it accepted QUIT: no deletion entry, no count.
        clearClientMarks();
        m_deletionEntries.clear();
        throw;
    }
    clearClientMarks();
    std::vector<std::vector<std::string>> entries;
    for (int index : deleted)
        if (auto entry = m_deletionEntries.find(index); entry != m_deletionEntries.end())
            entries.push_back(entry->second);
    m_deletionEntries.clear();
    m_log.writeDeletions(entries);
    m_lastDeleted = static_cast<int>(deleted.size());
    m_general.count += m_lastDeleted;
    try {
        m_settings.SaveGeneralSettings(m_general);
    } catch (const FileError& e) {
        m_view.showError(e.what()); // the deletion itself stands
    }

    m_rows.clear();
    m_view.listChanged();
    bool allMarked = marked == total;
    if (allMarked || m_general.automatic || !m_general.launch) {
        if (interactive)
            m_view.showProgress(kRetrievingHeading, m_remotePop1.server(), m_remotePop1.userName());
        m_listing = true;
        m_remotePop1.UpdateInfo();
        m_listing = false;
    }
    enableAllButtons();
    setExitNormalRole();
    m_view.setStatus("There were " + std::to_string(m_lastDeleted) + " messages deleted");
    m_view.setTrayHint(std::to_string(m_lastDeleted) + " spams deleted");
    showCheckPicture();
    m_view.hideProgress();
    if (!allMarked && interactive && m_general.launch && m_launchesMailProgram) btLaunchClick();
}

void CheckController::RemotePOP1Deleting(int num) {
    if (num < 0 || num >= static_cast<int>(m_rows.size())) return;
    const MessageEntry& row = m_rows[static_cast<std::size_t>(num)];
    m_view.setProgressMessage("Deleting " + row.subject);
    m_view.setProgressBar(m_deleteProgress, m_toDelete);
    ++m_deleteProgress;
    m_view.setStatus("Deleting " + std::to_string(num + 1) + " " + row.subject);
    m_deletionEntries[num] = deletionEntry({m_remotePop1.server(), m_remotePop1.userName(),
                                            row.subject, row.sender, row.size, row.date},
                                           m_log.stamp());
}

// --- Automatic checking ----------------------------------------------------------------------

void CheckController::UpdateAutomaticCaptions(bool automatic, int minutes) {
    m_timerEnabled = automatic;
    m_view.setCaption(automatic ? countdownCaption(minutes) : "Mailvane");
    m_view.setAutomaticMode(automatic);
}

void CheckController::Timer1Timer() {
    --m_countdown;
    UpdateAutomaticCaptions(m_general.automatic, m_general.minutes);
    m_automaticRun = true;
    try {
        CheckAllMailBoxes();
    } catch (const std::exception& e) {
        if (m_view.mainWindowVisible()) m_view.showError(e.what());
    }
    m_automaticRun = false;
    m_timerEnabled = m_general.automatic;
}

void CheckController::checkNow() {
    m_countdown = 0;
    Timer1Timer();
}

void CheckController::setAutomaticForRun(bool on) {
    m_general.automatic = on;
    UpdateAutomaticCaptions(on, m_countdown);
}

void CheckController::CheckAllMailBoxes() {
    if (m_countdown > 0) {
        m_view.setCaption(countdownCaption(m_countdown));
        return;
    }
    m_timerEnabled = false;
    bool found = false;
    for (int k = 1; k <= MailboxAccounts::kCount && !found; ++k) {
        m_currentMailbox = k;
        GetRemotePOPSettings(k);
        if (m_remotePop1.server().empty() || m_remotePop1.userName().empty()) continue;
        m_view.setCaption("Mailvane - Now checking e-mail for " + m_remotePop1.userName());
        CheckOutcome outcome = btListClick();
        if (outcome == CheckOutcome::Failed) {
            if (!unattended()) return; // shown to the user: the run ends here
            continue;                  // a partial list is never deleted from
        }
        if (outcome == CheckOutcome::NotRun) continue;
        if (m_general.kill) {
            if (!btDeleteClick()) return;
            continue;
        }
        if (!m_rows.empty()) {
            found = true;
            m_view.setCaption(mailFoundCaption(m_remotePop1.userName(), m_rows.size()));
            m_view.hideTrademark();
            m_view.showMainWindow();
            if (m_general.alarm) playAlarmSound(true);
        }
    }
    if (!found) m_view.setCaption("Mailvane - No waiting messages found");
    // The list, the current mailbox and the client's account agree afterwards: the mailbox whose
    // messages are shown, else the chosen one.
    int next = !m_rows.empty() && m_listedMailbox != 0 ? m_listedMailbox : m_accounts.which;
    m_currentMailbox = MailboxAccounts::isMailboxNumber(next) ? next : 1;
    GetRemotePOPSettings(m_currentMailbox);
    m_countdown = m_general.minutes;
}

void CheckController::EnableAutomatic1Click(bool on) {
    try {
        m_settings.writeBool(Setting::Automatic, on);
    } catch (const FileError& e) {
        m_view.showError(e.what());
    }
    m_general.automatic = on;
    if (!on) m_countdown = m_general.minutes;
    UpdateAutomaticCaptions(on, m_general.minutes);
    m_log.writeAutomaticMode(on);
}

void CheckController::playAlarmSound(bool on) {
    if (!on) {
        m_platform.stopSound();
        return;
    }
    std::string file = m_general.alarmFile.substr(0, kAlarmPathMax);
    std::error_code ec;
    if (!file.empty() && std::filesystem::exists(file, ec))
        m_platform.playSound(file, m_general.repeat);
    else
        m_platform.beep();
}

void CheckController::btLaunchClick() {
    launchMailProgram(m_general.mailer);
}

void CheckController::launchMailProgram(const std::string& mailer) {
    m_timerEnabled = false;
    playAlarmSound(false);
    if (trim(mailer).empty()) {
        m_view.showError("Mail program not specified in the general settings. ");
    } else if (m_platform.open(mailer)) {
        disableAllButtons();
        m_rows.clear();
        m_view.listChanged();
        // A session kept open after the listing would lock the mail program out of the mailbox.
        if (m_remotePop1.Connected()) m_remotePop1.Cancel();
        enableAllButtons();
    } else {
        m_view.showError("Unable to launch mail program. ");
    }
    m_timerEnabled = m_general.automatic;
}

void CheckController::Show1Click() {
    m_view.showMainWindow();
    m_automaticRun = false;
    btListClick();
    if (m_general.automatic) m_timerEnabled = true;
}

void CheckController::settingsClosed() {
    m_general = m_settings.ReadGeneralSettings();
    m_accounts = m_settings.readServerSettings().accounts;
    UpdateAutomaticCaptions(m_general.automatic, m_general.minutes);
    if (MailboxAccounts::isMailboxNumber(m_accounts.which)) m_currentMailbox = m_accounts.which;
    m_countdown = m_general.minutes;
    applyLogNaming();
    applyDialUp();
}

void CheckController::applyDialUp() {
    if (m_general.ras <= 0) {
        m_remotePop1.setDialHooks({});
        return;
    }
    if (!m_ras1) {
        m_ras1 = std::make_unique<TRasDialer>();
        m_ras1->setWaitHooks({nullptr, [this] { m_platform.pump(); }});
        m_ras1->OnMessage = [this](const std::string& text) { m_view.showError(text); };
    }
    const auto& entries = m_ras1->Entries();
    auto k = static_cast<std::size_t>(m_general.ras);
    m_ras1->setService(k <= entries.size() ? entries[k - 1] : std::string());
    m_remotePop1.setDialHooks(m_ras1->socketHooks());
}

void CheckController::applyLogNaming() {
    std::filesystem::path path;
    if (!trim(m_general.logfile).empty()) {
        path = workOutLogName(m_general.logfile, m_general.logNaming, m_home.programDir(),
                              m_clock.now(), m_regional);
    }
    m_log.setPath(path);
}

} // namespace mv
