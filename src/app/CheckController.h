#pragma once
// The check engine that the desktop program and the command line both drive: the commands of the
// main window and the tray (check, cancel, delete, automatic checking, settings, launch), the check
// run with its reactions to the client's message events, and the deletion. It keeps its parts:
// the message list (MessageList), the POP3 side (MailboxSession), the timing of automatic checking
// (AutomaticScheduler), the rules and the screening of the list (ListScreening), the server side
// of a deletion (MessageDeletion), the message boxes
// held back during operations (HeldMessages) and the activity log; the list commands work on what
// it leaves (ListCommands).
//
// One operation at a time: from the start of a check, a deletion, a body download, an automatic
// run, an auto-mark or an explanation until that command has returned, the controller is busy
// (View::setBusy) and refuses every other command with the status text kBusyText (a window's
// events and the pump may call commands at any time); cancel alone acts. No exception leaves a
// command: a failure is shown, logged and reported in the status line. Timer ticks are method
// calls: the host calls Timer1Timer once a minute while timerEnabled(). Lives as long as the main
// window.
#include "app/ActivityLog.h"
#include "app/AutomaticScheduler.h"
#include "app/HeldMessages.h"
#include "app/ListScreening.h"
#include "app/MailboxSession.h"
#include "app/MessageDeletion.h"
#include "app/MessageList.h"
#include "app/Platform.h"
#include "app/StartUpSteps.h"
#include "app/View.h"
#include "app/settings/HomeFolder.h"
#include "app/settings/SettingsStore.h"
#include "base/DateTime.h"
#include "base/RegionalSettings.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace mv {

// How a check run ended.
enum class CheckOutcome {
    Listed, // the header pass completed
    Failed, // it failed or was cancelled; the failure was shown (or, unattended, logged)
    NotRun, // nothing was contacted: no account, the chooser was cancelled, or busy
    HomeLocked, // the home's lock was not to be had (shown, or logged when unattended)
};

// The status text of a command refused because another operation runs.
inline constexpr const char* kBusyText =
    "Please wait: another operation is running (press Cancel to stop it)";

class CheckController {
public:
    CheckController(HomeFolder home, SettingsStore& settings, View& view, Platform& platform,
                    const Clock& clock, RegionalSettings regional);
    CheckController(const CheckController&) = delete;
    CheckController& operator=(const CheckController&) = delete;

    // The main window's creation steps: four-digit years, the stored state, the rules and the
    // known-spammer list, the current account, the clean-up, the captions.
    void startUp();

    // --- State the front ends show ---
    // The rows of the mailbox last listed; row i is the server's message i + 1. Marks change only
    // through setMark and the controller's own screening.
    const std::vector<MessageEntry>& rows() const { return m_list.rows(); }
    const MessageList& messages() const { return m_list; }
    // The mailbox whose messages the list holds (0 before the first check).
    int listedMailbox() const { return m_session.listedMailbox(); }
    int currentMailbox() const { return m_session.currentMailbox(); }
    // The mailbox the next check lists; refused while busy.
    void setCurrentMailbox(int n) {
        if (!refuseWhenBusy()) m_session.setCurrentMailbox(n);
    }
    bool automaticMode() const { return m_scheduler.automatic(); }
    bool timerEnabled() const { return m_scheduler.timerEnabled(); }
    int countdown() const { return m_scheduler.countdown(); }
    // From the start of an operation until the command that ran it has returned.
    bool busy() const { return m_busy; }
    const GeneralSettings& general() const { return m_general; }
    // Whether the program started into the tray: read once at start-up, as a changed setting
    // only takes effect at the next start.
    bool trayMode() const { return m_trayMode; }
    const MailboxAccounts& accounts() const { return m_session.accounts(); }
    const RegionalSettings& regional() const { return m_regional; }
    const HomeFolder& home() const { return m_home; }
    SettingsStore& settings() { return m_settings; }
    Platform& platform() { return m_platform; }
    const Clock& clock() const { return m_clock; }
    RuleSet& rules() { return m_screening.rules(); }
    TRemotePOP& client() { return m_session.client(); }
    ActivityLog& log() { return m_log; }
    View& view() { return m_view; }

    // Front ends without a desktop never start the user's mail program after a deletion.
    void setLaunchesMailProgram(bool launches) { m_launchesMailProgram = launches; }
    // How many messages the last deletion removed on the server.
    int lastDeletedCount() const { return m_lastDeleted; }
    // How many messages this program removed on the server during the last timer tick, over all
    // mailboxes of its run (the stored counter also counts the other program's deletions).
    int tickDeletedCount() const { return m_tickDeleted; }
    // Automatic mode for this run only, never stored (the command line's foreground checking).
    // Refused while busy.
    void setAutomaticForRun(bool on);

    // True (after saying so in the status line) while an operation runs. Front ends ask it
    // before a command of their own that changes rules or settings (the spam settings window).
    bool refuseWhenBusy();

    // --- Commands ---
    // "Check e-mail": lists the current mailbox and screens every message.
    CheckOutcome btListClick();
    // The exit button in its cancel role, the tray's exit item then, or the progress window's
    // "Click to cancel" (`fromProgress`: the alarm is left alone). Ends the running network
    // operation; nothing to do when none runs.
    void cancel(bool fromProgress = false);
    // "Delete marked messages". False when the deletion failed or was refused (the failure was
    // shown); a deletion that the server committed is true even when listing again failed.
    bool btDeleteClick();
    // The automatic timer's tick: one minute less, and the automatic run when it is due.
    void Timer1Timer();
    // One automatic run now, whatever the countdown says. False when refused, or when a deletion
    // the run was to make (the Kill option) failed or was refused.
    bool checkNow();
    // The tray's "Enable/Disable automatic check": stored, logged, countdown and captions.
    void EnableAutomatic1Click(bool on);
    // On: the alarm file (or a beep); off: stops the sound. Front ends call it off at the start
    // of nearly every user action.
    void playAlarmSound(bool on);
    // "Launch e-mail program".
    void btLaunchClick();
    // The same with the program the settings window shows, which may not be stored yet.
    void launchMailProgram(const std::string& mailer);
    // Tray "Check e-mail for spam".
    void Show1Click();
    // "General settings": the modal settings window, then its values taken over.
    void btGeneralClick();
    // After a settings window of the front end closed: take its values, captions, mailbox,
    // countdown. Refused while busy.
    void settingsClosed();
    // Sets the mark of row `index` by the user's hand; false when refused or no such row.
    bool setMark(int index, MarkState mark);
    // "Auto-mark messages" without its message box: every mark recomputed from the rules (but
    // those the user set by hand, when kept); returns how many rows are marked for deletion,
    // nullopt when refused.
    std::optional<int> remark(HandMarks handMarks = HandMarks::Reset);
    // The lines of "Why was this e-mail marked?" for row `index`; no mark changes. Empty when
    // refused.
    std::vector<std::string> reasons(int index);
    // Downloads message `index` of the listed mailbox to msg_N.eml and returns the file; nullopt
    // when it failed (the failure was shown and the window is idle again) or was refused.
    std::optional<std::filesystem::path> downloadMessage(int index);
    // The same for a message listed by an earlier run, in the mailbox whose account the client
    // holds: `listed` is the item that listing read, which the server's message must still match.
    std::optional<std::filesystem::path> downloadListedMessage(int index, TRemoteInfoItem listed);
    // The status line's "Message Total: ..." after marks changed.
    void ShowTotalCount();

    // Timer control around modal windows: off now, back on afterwards in automatic mode. Both
    // refused while busy.
    void disableTimer();
    void restoreTimer();
    // Writes the rule tables with their hit counters, holding the home lock; failures are shown
    // unless unattended. Refused while busy.
    void saveRules();
    // A change to the rule tables (a quick-add): under the home lock, what another program saved
    // is taken in first, then `edit` runs and the tables are saved under the same hold, so that
    // an edit never writes over rules added meanwhile. False when refused, the lock could not be
    // had or the edit failed (each shown).
    bool editRules(const std::function<void(RuleSet&)>& edit);
    // The home lock, with what another program saved taken in; null (the failure shown or
    // logged) when another program kept writing too long, or when refused while busy.
    std::unique_ptr<ScopedHomeLock> lockHome();
    // The main window closes: a session kept open after a listing ends with QUIT. During an
    // operation it is cancelled instead; its session closes as it unwinds.
    void FormCloseQuery();

private:
    // The home lock alone; null (the failure shown or logged) when it could not be had.
    std::unique_ptr<ScopedHomeLock> holdLock();
    // The home lock for one check run, deletion or rule edit, with what another program saved
    // taken in; null as for holdLock.
    std::unique_ptr<ScopedHomeLock> holdHome();
    void writeRules();
    // Runs a command's body and reports what it raises; false when it raised.
    bool guarded(const std::function<void()>& body);
    // A command that is refused while busy; false when refused or failed.
    bool command(const std::function<void()>& body);
    // A command that is the program's one operation until it returns: busy, messages held, and
    // the cancel flag cleared before and after.
    bool operation(const std::function<void()>& body);
    void reportFailure(const std::exception& error);
    void connectClientEvents();
    // The number of the mailbox whose account the client holds, 0 if none (for the rules that
    // apply to one mailbox only).
    int listedMailboxNumber() const;
    // Shows the missing-account message and the settings window; true when one was missing.
    bool accountMissing();
    bool unattended() const { return m_scheduler.inRun() && !m_view.mainWindowVisible(); }
    bool chooseMailbox();
    CheckOutcome checkRun();
    // The header pass; false when it failed (logged, and shown when interactive).
    bool listMailbox(bool interactive);
    // Logs a failed listing, and shows it when interactive; false.
    bool listingFailed(const std::exception& error, bool interactive);
    void finishCheck(bool listed);
    void addRow(int num);
    void showCheckPicture();
    void returnToIdle();
    void screen(int index);
    void showScreeningProblems();
    bool deleteRun();
    // Throws, naming each file, when a rule table, the options or the known list could not be
    // read: screening without it may have marked a message it would have spared.
    void refuseWithoutAllRules();
    void DeleteMessages();
    void listAgainAfterDeletion(bool interactive);
    // The timer's tick; false as for checkNow.
    bool tick();
    // False when a deletion of the run failed or was refused.
    bool CheckAllMailBoxes();
    void launchWith(const std::string& mailer);
    // Downloads message `index` of the client's list to msg_N.eml; the file's path.
    std::filesystem::path retrieveMessage(int index);
    void applySettings();
    void applyGeneralSettings();
    void disableAllButtons();
    void enableAllButtons();
    void setExitCancelRole();
    void setExitNormalRole();

    HomeFolder m_home;
    SettingsStore& m_settings;
    View& m_view;
    Platform& m_platform;
    const Clock& m_clock;
    RegionalSettings m_regional;

    GeneralSettings m_general; // as stored; the automatic mode lives in m_scheduler
    ActivityLog m_log;
    HeldMessages m_messages;
    MessageList m_list;
    MailboxSession m_session;
    AutomaticScheduler m_scheduler;
    ListScreening m_screening;
    MessageDeletion m_deletion{m_list, m_session, m_log, m_view};

    bool m_trayMode = false;
    bool m_busy = false;

    bool m_launchesMailProgram = true;
    int m_lastDeleted = 0;
    int m_tickDeleted = 0;
};

} // namespace mv
