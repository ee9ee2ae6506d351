#include "app/CheckController.h"

#include "base/Files.h"
#include "base/RunAside.h"
#include "base/Text.h"
#include "mail/EmailAddress.h"
#include "mail/MailDate.h"
#include "net/NetErrors.h"

#include <algorithm>

namespace mv {

namespace {

constexpr const char* kRetrievingHeading = "Retrieving messages ... standby";
constexpr int kAlarmPathMax = 200;

std::string mailFoundCaption(const std::string& user, std::size_t count) {
    return "Mailvane - MailBox " + user + " - " + std::to_string(count) + " messages";
}

// A deletion refused because the rules it would act on are not all there.
class RulesUnreadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What a failure that is not a std::exception reports.
class UnknownFailure : public std::runtime_error {
public:
    UnknownFailure() : std::runtime_error("An unexpected error ended the operation") {}
};

} // namespace

CheckController::CheckController(HomeFolder home, SettingsStore& settings, View& view,
                                 Platform& platform, const Clock& clock, RegionalSettings regional)
    : m_home(std::move(home)), m_settings(settings), m_view(view), m_platform(platform),
      m_clock(clock), m_regional(std::move(regional)), m_log(clock, m_regional), m_messages(view),
      m_list(view), m_session(settings, view, platform, m_log, m_messages), m_scheduler(view),
      m_screening(
          m_home.programDir(), m_list, [this] { return listedMailboxNumber(); },
          [this] { m_platform.pump(); }) {
    m_log.onFailure([this](const std::string& message) { m_messages.error(message); });
    m_screening.setWaitHooks(m_session.waitHooks());
    connectClientEvents();
}

int CheckController::listedMailboxNumber() const {
    const TRemotePOP& pop = m_session.client();
    return accounts().serverToIndex(pop.server(), pop.userName());
}

void CheckController::startUp() {
    command([this] {
        fix2000(m_regional);
        for (const auto& problem : m_session.readAccounts())
            m_messages.warning(problem);
        const MailboxAccounts& stored = accounts();
        m_session.setCurrentMailbox(MailboxAccounts::isMailboxNumber(stored.which) ? stored.which
                                                                                   : 1);
        applyGeneralSettings();
        m_trayMode = m_general.sysTray;
        for (const auto& message : m_screening.load())
            m_messages.error(message);
        m_session.GetRemotePOPSettings(currentMailbox());
        CleanUpEMLFiles(m_home);
        setExitNormalRole();
        enableAllButtons();
        showCheckPicture();
        if (!m_trayMode) m_view.showMainWindow();
    });
}

// --- Commands and the busy state -------------------------------------------------------------

bool CheckController::refuseWhenBusy() {
    if (!m_busy) return false;
    m_view.setStatus(kBusyText);
    return true;
}

bool CheckController::command(const std::function<void()>& body) {
    return !refuseWhenBusy() && guarded(body);
}

bool CheckController::guarded(const std::function<void()>& body) {
    // A failure that an earlier command logged must not keep this one's out of the log.
    m_session.beginCommand();
    try {
        body();
        return true;
    } catch (const std::exception& e) {
        reportFailure(e);
    } catch (...) {
        reportFailure(UnknownFailure());
    }
    return false;
}

bool CheckController::operation(const std::function<void()>& body) {
    if (refuseWhenBusy()) return false;
    m_busy = true;
    m_messages.hold();
    m_view.setBusy(true);
    m_session.beginOperation();
    bool ok = guarded(body);
    m_session.endOperation();
    m_busy = false;
    m_view.setBusy(false);
    m_messages.release();
    return ok;
}

void CheckController::reportFailure(const std::exception& error) {
    m_view.setStatus(error.what());
    m_session.logFailure(error);
    if (!unattended()) m_messages.error(error.what());
    returnToIdle();
}

// --- The check run ---------------------------------------------------------------------------

bool CheckController::accountMissing() {
    const TRemotePOP& pop = m_session.client();
    if (isBlank(pop.userName())) {
        m_messages.error("You need to enter your e-mail username in the settings.");
    } else if (isBlank(pop.server())) {
        m_messages.error("You need to enter the name of your mail server in the settings.");
    } else {
        return false;
    }
    m_messages.release(); // the window opens on top of the message
    m_messages.hold();
    // Nothing of the check has begun: the window is no part of it, so what the window does
    // through the controller (the first-time header rule) is not refused as busy.
    m_busy = false;
    m_view.openSettings();
    m_busy = true;
    applySettings();
    return true;
}

bool CheckController::chooseMailbox() {
    const MailboxAccounts& all = accounts();
    bool others = false;
    for (int n = 2; n <= MailboxAccounts::kCount; ++n)
        others = others || all[n].configured();
    if (!others) return true;
    auto entries = all.chooserEntries();
    auto chosen = m_view.chooseMailbox(entries, chooserPreselection(entries, currentMailbox()));
    if (!chosen) return false;
    m_session.setCurrentMailbox(*chosen);
    return true;
}

CheckOutcome CheckController::btListClick() {
    CheckOutcome outcome = CheckOutcome::NotRun;
    operation([&] { outcome = checkRun(); });
    return outcome;
}

CheckOutcome CheckController::checkRun() {
    // The chooser and the kept session go by the accounts as stored: the command line may have
    // added a mailbox. A run over all mailboxes reads them once, at its start.
    if (!m_scheduler.inRun()) m_session.refreshAccounts();
    m_session.GetRemotePOPSettings(currentMailbox());
    playAlarmSound(false);
    if (accountMissing()) return CheckOutcome::NotRun;
    if (countdown() > 0 && (!m_scheduler.inRun() || m_view.mainWindowVisible())) {
        if (!chooseMailbox()) return CheckOutcome::NotRun;
        m_session.accounts().which = currentMailbox();
        m_session.GetRemotePOPSettings(currentMailbox());
        if (accountMissing()) return CheckOutcome::NotRun;
    }
    std::unique_ptr<ScopedHomeLock> lock = holdHome();
    if (!lock) return CheckOutcome::HomeLocked;
    // A session kept open after the last listing would not see mail that arrived since, and would
    // keep the user's mail program locked out: every check starts its own.
    m_session.endKeptSession();
    client().setKeepConnected(accounts().OnlyOneMailbox());

    bool timerWasEnabled = timerEnabled();
    m_scheduler.disableTimer();
    m_list.clear();
    setExitCancelRole();
    disableAllButtons();
    bool interactive = !unattended();
    m_screening.startRun();
    m_session.startListing();
    bool listed = listMailbox(interactive);
    returnToIdle();
    m_scheduler.setTimerEnabled(timerWasEnabled);
    if (!listed && interactive) return CheckOutcome::Failed;
    finishCheck(listed);
    return listed ? CheckOutcome::Listed : CheckOutcome::Failed;
}

bool CheckController::listMailbox(bool interactive) {
    TRemotePOP& pop = client();
    if (interactive) m_view.showProgress(kRetrievingHeading, pop.server(), pop.userName());
    try {
        m_session.networkStep([&] {
            pop.UpdateInfo();
            // A cancel that came when every reply was already in still ends the check as
            // cancelled.
            if (m_session.cancelRequested()) throw ECanceledError();
        });
    } catch (const ECanceledError& e) {
        // The rows of a cancelled listing go, once nothing works on them any more.
        m_list.clear();
        return listingFailed(e, interactive);
    } catch (const std::exception& e) {
        return listingFailed(e, interactive);
    }
    return true;
}

bool CheckController::listingFailed(const std::exception& error, bool interactive) {
    m_session.logFailure(error);
    if (interactive) m_messages.error(error.what());
    return false;
}

void CheckController::finishCheck(bool listed) {
    const TRemotePOP& pop = m_session.client();
    // An unattended failure is in the log as an ERROR entry; a MAIL CHECK entry would count it as
    // an empty mailbox.
    if (listed) m_log.writeCheck(m_list.size(), pop.userName(), pop.server());
    if (listed && m_list.empty() && !automaticMode() && m_general.exitWhenEmpty) {
        if (m_trayMode)
            m_view.hideToTray();
        else
            m_view.closeMainWindow();
    }
    ShowTotalCount();
    writeRules();
}

void CheckController::addRow(int num) {
    const TRemoteInfoItem& item = client().RemoteInfo().Items(static_cast<std::size_t>(num));
    MessageEntry row;
    row.headers = item.Headers;
    row.subject = item.Headers.GetFieldValue("Subject");
    row.sender = SplitAddress(item.Headers.GetFieldValue("From")).address;
    // A size the server did not give stays unknown, so no size limit judges it.
    row.size = item.Size < 0 ? std::string() : std::to_string(item.Size);
    std::string dateText = item.Headers.GetFieldValue("Date");
    MailDate date = ParseMailDate(dateText, m_regional);
    row.date = date.value == 0 ? dateText
                               : formatShortDate(date.value, m_regional) + " " +
                                     formatLongTime(date.value, m_regional);
    m_list.append(std::move(row));
}

void CheckController::connectClientEvents() {
    TRemotePOP& pop = client();
    pop.OnNextInfoUpdated = [this](TRemotePOP& p, int num) {
        if (m_session.cancelRequested()) return; // the rows of a cancelled listing are gone
        addRow(num);
        std::string n = std::to_string(num + 1), total = std::to_string(p.MessageCount());
        m_view.setStatus("Checking message " + n + " of " + total + " total waiting messages");
        if (m_session.cancelRequested()) return;
        screen(num);
        m_view.setProgressMessage("Message " + n + " of " + total);
        m_view.setProgressBar(num + 1, p.MessageCount());
    };
    pop.OnInfoUpdated = [this](TRemotePOP& p) {
        m_view.setStatus(std::to_string(p.RemoteInfo().Count()) + " msg(s) for " + p.userName() +
                         " on " + p.server());
        m_screening.rescreen();
        showScreeningProblems();
        enableAllButtons();
        m_view.hideProgress();
    };
    pop.OnDeleting = [this](TCustomPOP&, int num) { m_deletion.RemotePOP1Deleting(num); };
    pop.OnUserMessageSave = [this](TRemotePOP&, int num, const std::string& contents) {
        // A saved message is private mail: readable by its owner only. Megabytes flushed to disk
        // take a while, so the windows stay live meanwhile.
        runAside([&] { writeFileAtomically(m_home.emlFile(num), contents, true); },
                 [this] { m_platform.pump(); });
    };
}

void CheckController::cancel(bool fromProgress) {
    if (!fromProgress) playAlarmSound(false);
    if (!m_busy) return; // nothing runs that a cancel could end
    m_session.cancel();
    m_view.hideProgress();
}

void CheckController::ShowTotalCount() {
    m_view.setStatus(totalCountText(rows()));
}

void CheckController::screen(int index) {
    m_screening.screenRow(index);
    showScreeningProblems();
}

void CheckController::showScreeningProblems() {
    for (const auto& problem : m_screening.takeProblems())
        if (!unattended()) m_messages.error(problem);
}

bool CheckController::setMark(int index, MarkState mark) {
    bool set = false;
    command([&] {
        set = m_list.contains(index);
        if (set) m_list.setMark(index, mark);
    });
    return set;
}

std::optional<int> CheckController::remark(HandMarks handMarks) {
    std::optional<int> marked;
    operation([&] {
        marked = m_screening.autoMark(handMarks);
        showScreeningProblems();
    });
    return marked;
}

std::vector<std::string> CheckController::reasons(int index) {
    std::vector<std::string> lines;
    operation([&] {
        lines = m_screening.reasons(index);
        showScreeningProblems();
    });
    return lines;
}

// --- Idle and busy looks ---------------------------------------------------------------------

void CheckController::disableAllButtons() {
    m_view.setButtons({false, false});
}

void CheckController::enableAllButtons() {
    m_view.setButtons({true, !m_list.empty()});
}

void CheckController::setExitCancelRole() {
    m_view.setExitCaption("Cancel");
}

void CheckController::setExitNormalRole() {
    m_view.setExitCaption(m_trayMode ? "Hide" : "Goodbye");
}

void CheckController::showCheckPicture() {
    m_view.setCheckPicture(!m_list.empty());
}

void CheckController::returnToIdle() {
    m_view.hideProgress();
    enableAllButtons();
    setExitNormalRole();
    showCheckPicture();
}

void CheckController::saveRules() {
    if (!refuseWhenBusy()) writeRules();
}

bool CheckController::editRules(const std::function<void(RuleSet&)>& edit) {
    bool edited = false;
    command([&] {
        std::unique_ptr<ScopedHomeLock> lock = holdHome();
        if (!lock) return;
        edit(rules());
        writeRules();
        edited = true;
    });
    return edited;
}

void CheckController::writeRules() {
    std::unique_ptr<ScopedHomeLock> lock = holdLock();
    if (!lock) return;
    for (const auto& message : m_screening.save())
        if (!unattended()) m_messages.error(message);
}

// --- Body download ---------------------------------------------------------------------------

std::optional<std::filesystem::path> CheckController::downloadMessage(int index) {
    std::optional<std::filesystem::path> file;
    operation([&] {
        if (m_list.contains(index) && m_session.loadListedAccount()) file = retrieveMessage(index);
    });
    return file;
}

std::optional<std::filesystem::path>
CheckController::downloadListedMessage(int index, TRemoteInfoItem listed) {
    std::optional<std::filesystem::path> file;
    operation([&] {
        // Only the one item is needed: the client passes by unmarked ones without a command.
        TRemoteInfo& info = client().RemoteInfo();
        info.Clear();
        for (int i = 0; i < index; ++i)
            info.Add({});
        info.Add(std::move(listed));
        file = retrieveMessage(index);
    });
    return file;
}

std::filesystem::path CheckController::retrieveMessage(int index) {
    TRemotePOP& pop = client();
    m_session.clearMarks(); // a stale delete mark must never ride along with a download
    pop.MarkRetrieve(index);
    pop.setMessageDirectory(m_home.programDir());
    disableAllButtons();
    m_view.showProgress(kRetrievingHeading, pop.server(), pop.userName());
    try {
        m_session.networkStep([&] { pop.ProcessMarked(); });
    } catch (...) {
        m_session.clearMarks();
        throw;
    }
    m_session.clearMarks();
    m_view.hideProgress();
    enableAllButtons();
    return m_home.emlFile(index);
}

std::unique_ptr<ScopedHomeLock> CheckController::lockHome() {
    // The running operation holds the home and works on the rules: taking in another
    // program's tables now would change them under it.
    return refuseWhenBusy() ? nullptr : holdHome();
}

std::unique_ptr<ScopedHomeLock> CheckController::holdHome() {
    std::unique_ptr<ScopedHomeLock> lock = holdLock();
    if (lock)
        for (const auto& message : rules().takeInDiskChanges())
            if (!unattended()) m_messages.error(message);
    return lock;
}

std::unique_ptr<ScopedHomeLock> CheckController::holdLock() {
    try {
        // The window stays live while another program finishes its operation.
        return std::make_unique<ScopedHomeLock>(m_home.lockFile(), kLockPatience,
                                                [this] { m_platform.pump(); });
    } catch (const std::exception& e) {
        if (unattended())
            m_log.writeError(e.what(), client().userName(), client().server());
        else
            m_messages.error(e.what());
        return nullptr;
    }
}

// --- Deletion -------------------------------------------------------------------------------

bool CheckController::btDeleteClick() {
    bool deleted = false;
    operation([&] { deleted = deleteRun(); });
    return deleted;
}

bool CheckController::deleteRun() {
    std::unique_ptr<ScopedHomeLock> lock = holdHome();
    if (!lock) return false;
    playAlarmSound(false);
    m_scheduler.disableTimer();
    bool ok = true;
    try {
        refuseWithoutAllRules();
        DeleteMessages();
    } catch (const std::exception& e) {
        ok = false;
        m_session.logFailure(e);
        m_messages.error(e.what()); // also unattended: deleting is never silent about failing
        returnToIdle();
    }
    // Inside an automatic run the tick re-enables the timer when the run is over; enabling it
    // here would let a tick start a second run in the middle of this one.
    if (!m_scheduler.inRun())
        m_scheduler.UpdateAutomaticCaptions(automaticMode(), m_general.minutes);
    return ok;
}

void CheckController::refuseWithoutAllRules() {
    std::vector<std::string> unread = rules().unreadFiles();
    if (unread.empty()) return;
    std::string text = "Nothing was deleted, since not all rules could be read:";
    for (const std::string& problem : unread)
        text += " " + problem + ".";
    throw RulesUnreadError(text);
}

void CheckController::DeleteMessages() {
    m_lastDeleted = 0;
    int marked = m_list.markedCount();
    int total = m_list.size();
    bool manual = !automaticMode();
    if (marked == 0) {
        if (manual && m_general.ask)
            m_messages.information("There were no messages marked to delete!");
        return;
    }
    if (manual && m_general.ask &&
        !m_view.askYesNo("Really delete " + std::to_string(marked) + " messages from server?"))
        return;
    if (!m_session.loadListedAccount()) return;

    bool interactive = !unattended();
    disableAllButtons();
    setExitCancelRole();
    if (interactive)
        m_view.showProgress("Deleting messages ... standby", client().server(),
                            client().userName());
    m_lastDeleted = m_deletion.deleteMarked();
    m_tickDeleted += m_lastDeleted;
    m_general.count += m_lastDeleted;
    try {
        // Only the counter: the other general settings here may be older than the stored ones,
        // and the run's own state (automatic mode for one run) is no setting.
        m_general.count = m_settings.addDeletedSpam(m_lastDeleted);
    } catch (const std::exception& e) {
        m_messages.error(e.what()); // the deletion itself stands
    }

    m_list.clear();
    bool allMarked = marked == total;
    if (allMarked || !manual || !m_general.launch) listAgainAfterDeletion(interactive);
    enableAllButtons();
    setExitNormalRole();
    m_view.setStatus("There were " + std::to_string(m_lastDeleted) + " messages deleted");
    m_view.setTrayHint(std::to_string(m_lastDeleted) + " spams deleted");
    showCheckPicture();
    m_view.hideProgress();
    if (!allMarked && interactive && m_general.launch && m_launchesMailProgram)
        launchWith(m_general.mailer);
}

// The deletion was committed before this: a failed listing is reported on its own and leaves
// the list empty, since a partial list is never deleted from.
void CheckController::listAgainAfterDeletion(bool interactive) {
    if (!listMailbox(interactive)) m_list.clear();
}

// --- Automatic checking ----------------------------------------------------------------------

void CheckController::Timer1Timer() {
    tick();
}

bool CheckController::tick() {
    bool deleted = true;
    command([&] {
        m_tickDeleted = 0;
        if (m_scheduler.startTick()) operation([&] { deleted = CheckAllMailBoxes(); });
        m_scheduler.endTick();
    });
    return deleted;
}

bool CheckController::checkNow() {
    if (refuseWhenBusy()) return false;
    m_scheduler.makeDue();
    return tick();
}

void CheckController::setAutomaticForRun(bool on) {
    if (!refuseWhenBusy()) m_scheduler.setModeForRun(on);
}

void CheckController::disableTimer() {
    if (!refuseWhenBusy()) m_scheduler.disableTimer();
}

// The running operation restores the timer as it ends; turned on now, a tick could start a run
// under it.
void CheckController::restoreTimer() {
    if (!refuseWhenBusy()) m_scheduler.restoreTimer();
}

bool CheckController::CheckAllMailBoxes() {
    m_session.refreshAccounts();
    bool found = false, ended = false, deleted = true;
    for (int k = 1; k <= MailboxAccounts::kCount && !found && !ended; ++k) {
        m_session.setCurrentMailbox(k);
        m_session.GetRemotePOPSettings(k);
        const TRemotePOP& pop = m_session.client();
        if (pop.server().empty() || pop.userName().empty()) continue;
        m_view.setCaption("Mailvane - Now checking e-mail for " + pop.userName());
        CheckOutcome outcome = checkRun();
        // Cancel ends the whole run, also while the window is hidden (the tray's exit item):
        // the next mailbox must not be checked, let alone deleted from.
        if (m_session.operationCancelled()) ended = true;
        // Another program's operation outlasted the wait: every further mailbox would wait for
        // it again.
        if (outcome == CheckOutcome::HomeLocked) ended = true;
        if (outcome == CheckOutcome::Failed) {
            ended = ended || !unattended(); // shown to the user: the run ends here
            continue;                       // a partial list is never deleted from
        }
        if (outcome != CheckOutcome::Listed || ended) continue;
        if (m_general.kill) {
            deleted = deleteRun();
            ended = !deleted || m_session.operationCancelled();
            continue;
        }
        if (!m_list.empty()) {
            found = true;
            m_view.setCaption(mailFoundCaption(pop.userName(), rows().size()));
            m_view.hideTrademark();
            m_view.showMainWindow();
            if (m_general.alarm) playAlarmSound(true);
        }
    }
    if (!found && !ended) m_view.setCaption("Mailvane - No waiting messages found");
    // The list, the current mailbox and the client's account agree afterwards: the mailbox whose
    // messages are shown, else the chosen one.
    int next = !m_list.empty() && listedMailbox() != 0 ? listedMailbox() : accounts().which;
    m_session.setCurrentMailbox(MailboxAccounts::isMailboxNumber(next) ? next : 1);
    m_session.GetRemotePOPSettings(currentMailbox());
    return deleted;
}

void CheckController::EnableAutomatic1Click(bool on) {
    command([&] {
        try {
            m_settings.writeBool(Setting::Automatic, on);
        } catch (const FileError& e) {
            m_messages.error(e.what());
        }
        m_general.automatic = on;
        m_scheduler.setStoredMode(on);
        m_log.writeAutomaticMode(on);
    });
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
    command([this, &mailer] { launchWith(mailer); });
}

void CheckController::launchWith(const std::string& mailer) {
    m_scheduler.disableTimer();
    playAlarmSound(false);
    if (trim(mailer).empty()) {
        m_messages.error("Mail program not specified in the general settings. ");
    } else if (m_platform.open(mailer)) {
        disableAllButtons();
        m_list.clear();
        // A session kept open after the listing would lock the mail program out of the mailbox.
        m_session.dropKeptSession();
        enableAllButtons();
    } else {
        m_messages.error("Unable to launch mail program. ");
    }
    m_scheduler.restoreTimer();
}

void CheckController::Show1Click() {
    command([this] {
        m_view.showMainWindow();
        operation([this] { checkRun(); });
        if (automaticMode()) m_scheduler.setTimerEnabled(true);
    });
}

void CheckController::btGeneralClick() {
    command([this] {
        playAlarmSound(false);
        m_scheduler.disableTimer();
        m_view.openSettings();
        applySettings();
    });
}

void CheckController::FormCloseQuery() {
    if (m_busy) {
        // Ending the running operation's session under its wait would leave it reading from a
        // closed client; cancelled, it closes the session itself as it unwinds.
        cancel();
        return;
    }
    m_session.endKeptSession();
}

void CheckController::settingsClosed() {
    command([this] { applySettings(); });
}

void CheckController::applySettings() {
    m_session.readAccounts();
    const MailboxAccounts& stored = accounts();
    if (MailboxAccounts::isMailboxNumber(stored.which)) m_session.setCurrentMailbox(stored.which);
    applyGeneralSettings();
}

// The general settings as stored: mode and countdown, log naming, dial-up, name server.
void CheckController::applyGeneralSettings() {
    m_general = m_settings.ReadGeneralSettings();
    m_scheduler.configure(m_general.automatic, m_general.minutes);
    m_log.setNaming(m_general.logfile, m_general.logNaming, m_home.programDir());
    m_session.applyDialUp(m_general.ras);
    m_screening.setNameServer(m_general.dnsAddress, m_general.dnsPort);
}

} // namespace mv
