#pragma once
// The check engine that the desktop program and the command line both drive: it owns the POP3
// client, the message list of the mailbox last listed, the rule set, the activity log and the
// automatic-check state, and tells a View what to show. The check run, the reactions to the
// client's events, the deletion, automatic checking and the start-up steps live here; the list
// commands work on what it leaves (ListCommands). Timer ticks are method calls: the host calls
// Timer1Timer once a minute while timerEnabled(). Lives as long as the main window.
#include "app/ActivityLog.h"
#include "app/Platform.h"
#include "app/View.h"
#include "app/settings/HomeFolder.h"
#include "app/settings/SettingsStore.h"
#include "base/DateTime.h"
#include "base/RegionalSettings.h"
#include "net/MXResolver.h"
#include "net/RasDialer.h"
#include "net/RemotePOP.h"
#include "screening/RuleSet.h"
#include "screening/ScreeningPass.h"
#include "screening/UnknownDomainCheck.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace mv {

// How a check run ended.
enum class CheckOutcome {
    Listed, // the header pass completed
    Failed, // it failed or was cancelled; the failure was shown (or, unattended, logged)
    NotRun, // nothing was contacted: no account, or the chooser was cancelled
};

// "Message Total: %d Number Marked: %d".
std::string totalCountText(const std::vector<MessageEntry>& rows);
// "Mailvane - next e-mail check in N minute(s)" and the other captions of automatic mode.
std::string countdownCaption(int minutes);
// The program's short date format with a four-digit year.
void fix2000(RegionalSettings& regional);
// Removes every saved message msg_N.eml from the program directory.
void CleanUpEMLFiles(const HomeFolder& home);
// The first-time header rule "To does not contain" the user name of mailbox 1, put on top of the
// header rules. Only once a user name exists: with an empty one the rule would mark every message
// of mailbox 1. True when the rule was added (the caller clears its first-time flag and saves).
bool AddMyselfFromPopToHeader(RuleSet& rules, const MailboxAccounts& accounts);

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
    const std::vector<MessageEntry>& rows() const { return m_rows; }
    std::vector<MessageEntry>& rows() { return m_rows; }
    // The mailbox whose messages the list holds (0 before the first check).
    int listedMailbox() const { return m_listedMailbox; }
    int currentMailbox() const { return m_currentMailbox; }
    void setCurrentMailbox(int n) { m_currentMailbox = n; }
    bool automaticMode() const { return m_general.automatic; }
    bool timerEnabled() const { return m_timerEnabled; }
    int countdown() const { return m_countdown; }
    bool busy() const { return m_listing || m_deleting || m_cancelRole; }
    const GeneralSettings& general() const { return m_general; }
    const MailboxAccounts& accounts() const { return m_accounts; }
    const RegionalSettings& regional() const { return m_regional; }
    const HomeFolder& home() const { return m_home; }
    RuleSet& rules() { return m_rules; }
    TRemotePOP& client() { return m_remotePop1; }
    ActivityLog& log() { return m_log; }
    View& view() { return m_view; }

    // Front ends without a desktop never start the user's mail program after a deletion.
    void setLaunchesMailProgram(bool launches) { m_launchesMailProgram = launches; }
    // How many messages the last deletion removed on the server.
    int lastDeletedCount() const { return m_lastDeleted; }
    // Automatic mode for this run only, not stored (the command line's foreground checking).
    void setAutomaticForRun(bool on);

    // --- Commands ---
    // "Check e-mail": lists the current mailbox and screens every message.
    CheckOutcome btListClick();
    // The exit button in its cancel role, the tray's exit item then, or the progress window's
    // "Click to cancel" (`fromProgress`: the alarm is left alone).
    void cancel(bool fromProgress = false);
    // "Delete marked messages". False when the deletion failed (the failure was shown).
    bool btDeleteClick();
    void Timer1Timer();
    // One automatic run now, whatever the countdown says.
    void checkNow();
    void CheckAllMailBoxes();
    void UpdateAutomaticCaptions(bool automatic, int minutes);
    void EnableAutomatic1Click(bool on);
    void playAlarmSound(bool on);
    void btLaunchClick();
    // Tray "Check e-mail for spam".
    void Show1Click();
    // After the general settings window closed: take its values, captions, mailbox, countdown.
    void settingsClosed();
    // "Auto-mark messages" without its message box: every mark recomputed from the rules;
    // returns how many rows are marked for deletion.
    int remark();
    // The lines of "Why was this e-mail marked?" for row `index`; no mark changes.
    std::vector<std::string> reasons(int index);
    // The status line's "Message Total: ..." after marks changed.
    void ShowTotalCount();

    // Timer control around modal windows: off now, back on afterwards in automatic mode.
    void disableTimer() { m_timerEnabled = false; }
    void restoreTimer() { m_timerEnabled = m_general.automatic; }
    // Loads the account of the listed mailbox into the client, so that a deletion or download
    // acts on the mailbox whose messages are shown. False when there is no such list.
    bool loadListedAccount();
    // Shows a failure of an operation and puts the window back to idle.
    void failOperation(const std::exception& error, bool show);
    void disableAllButtons();
    void enableAllButtons();
    void setExitCancelRole();
    void setExitNormalRole();
    void clearClientMarks();
    // Writes the rule tables with their hit counters; failures are shown unless unattended.
    void saveRules();
    // Ends a session kept open after a listing, properly when the server lets us (also when the
    // program closes).
    void endKeptSession();

private:
    // The unknown-domain check asks the MX resolver; every failure but "no such domain" leaves
    // the message alone.
    class MXDomainResolver final : public DomainResolver {
    public:
        explicit MXDomainResolver(TMXResolver& resolver) : m_resolver(resolver) {}
        DomainAnswer resolve(const std::string& domain) override;

    private:
        TMXResolver& m_resolver;
    };

    void connectClientEvents();
    void GetRemotePOPSettings(int n);
    void loadAccount(const MailboxAccount& account);
    // Shows the missing-account message and the settings window; true when one was missing.
    bool accountMissing();
    bool unattended() const { return m_automaticRun && !m_view.mainWindowVisible(); }
    bool chooseMailbox();
    void addRow(int num);
    void showCheckPicture();
    void returnToIdle();
    void screen(int index);
    void showScreeningProblems();
    void logFailure(const std::exception& error);
    void DeleteMessages();
    void RemotePOP1Deleting(int num);
    void applyLogNaming();
    // The RAS setting: dial the k-th connection before a session, or never when 0.
    void applyDialUp();

    HomeFolder m_home;
    SettingsStore& m_settings;
    View& m_view;
    Platform& m_platform;
    const Clock& m_clock;
    RegionalSettings m_regional;

    GeneralSettings m_general;
    MailboxAccounts m_accounts; // the settings window's working copy
    RuleSet m_rules;
    TMXResolver m_mxResolver;
    MXDomainResolver m_domainResolver{m_mxResolver};
    UnknownDomainCheck m_domainCheck;
    ScreeningPass m_screening;
    TRemotePOP m_remotePop1;
    std::unique_ptr<TRasDialer> m_ras1; // made when a dial-up entry is set
    ActivityLog m_log;

    std::vector<MessageEntry> m_rows;
    // The list remembers whose messages it holds: the client deletes by number only.
    int m_listedMailbox = 0;
    MailboxAccount m_listedAccount;
    MailboxAccount m_clientAccount; // the account loaded into the client

    int m_currentMailbox = 1;
    int m_countdown = 10;
    bool m_trayMode = false;
    bool m_timerEnabled = false;
    bool m_automaticRun = false;
    bool m_listing = false;
    bool m_deleting = false;
    bool m_cancelRole = false;
    bool m_cancelRequested = false; // Cancel was pressed during the running listing
    bool m_errorLogged = false;     // the client's OnError already wrote the running failure

    // Deletion in progress: entries stamped as each message goes, written once the server
    // committed the deletions.
    bool m_launchesMailProgram = true;
    int m_lastDeleted = 0;
    int m_toDelete = 0;
    int m_deleteProgress = 1;
    std::map<int, std::vector<std::string>> m_deletionEntries; // by row index
};

} // namespace mv
