#pragma once
// The "General settings" window: the twelve mailbox accounts and every general option, on six
// pages. It reads the settings store afresh each time it is shown (the command line may have
// changed it meanwhile) and fills gaps then (mailbox 1 from the user's other mail programs, the
// mail program, the alarm sound, the log file), stores on OK and puts the stored values back on
// Cancel. One is made for each opening and lives until it closes; passwords stay in its fields no
// longer than that.
#include "app/settings/MailProgramFinder.h"
#include "app/settings/MailboxAccounts.h"
#include "app/settings/SettingsStore.h"
#include "gui/app/MailProgramLookup.h"

#include <QDialog>

#include <array>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QToolButton;
class QWidget;

namespace mv {
class CheckController;
}

namespace mv::gui {

class TfrmGeneral : public QDialog {
    Q_OBJECT
public:
    // `environment` says where the user's other mail programs keep their files; `rasEntries` are
    // the network connections offered after "None".
    TfrmGeneral(CheckController& controller, Environment environment,
                std::vector<std::string> rasEntries, QWidget* parent = nullptr);
    ~TfrmGeneral() override;

    // The log file that month or quarter naming, applied now to the log field, gives: the file
    // the log writes to, which "View" opens and "Clear" deletes.
    std::string currentLogFile() const;

    // Cancel, Esc and the close box: the stored values go back into the controls.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct MailboxRow {
        QRadioButton* rb;
        QLineEdit* edServe;
        QLineEdit* edName;
        QLineEdit* edPass;
        QToolButton* btSecurity;
        TlsMode security = kDefaultSecurity;
        std::string fingerprint;
    };

    QWidget* makeMailboxesPage();
    QWidget* makeConnectionPage(const std::vector<std::string>& rasEntries);
    QWidget* makeAutomaticPage();
    QWidget* makeStartUpPage();
    QWidget* makeActivityLogPage();
    QWidget* makeMailProgramPage();
    void ColorEdits();

    void ReadGeneralSettings();
    GeneralSettings generalFromControls() const;
    LogNaming chosenLogNaming() const;
    // The stored accounts into the rows; returns what could not be read.
    std::vector<std::string> readServerSettings();
    MailboxAccounts accountsFromControls() const;
    void showSecurity(MailboxRow& row);

    void FormShow();
    void takeAccountFromMailPrograms();
    void AddMyselfFromPopToHeader();

    void btOKClick();
    // The options and the accounts, all or nothing; false (shown) when refused or failed.
    bool saveSettings();
    void showAccountProblem(const AccountProblem& problem);
    void rbManualClick();
    void cbKillClick();
    void sbTestClick();
    void stopAlarmTest();
    void btViewClick();
    void btClearClick();
    void btResetClick();
    void btStatsClick();
    void btLaunchClick();
    void browseLog();
    void browseMailProgram();
    void browseSound();

    CheckController& m_controller;
    SettingsStore& m_settings;
    Environment m_environment;
    MailProgramLookup* m_mailProgramLookup;
    GeneralSettings m_stored; // what the store held when the window last read it
    // The accounts as the window last read them, passwords only while it is shown: what OK
    // compares the rows with to find the user's changes.
    MailboxAccounts m_shown;

    // Window state: mailbox 1 was empty in the store when the window was last shown, so its
    // header rule may still be due; `Kill` and `SysTray` as they were when last shown or stored.
    bool m_firstTime = false;
    bool m_killWhenShown = false;
    bool m_sysTrayWhenShown = false;

    QTabWidget* m_pages = nullptr;
    std::array<MailboxRow, MailboxAccounts::kCount> m_rows{};
    QComboBox* m_rasComboBox = nullptr;
    QRadioButton* m_rbManual = nullptr;
    QRadioButton* m_rbAuto = nullptr;
    QWidget* m_pnlManual = nullptr;
    QWidget* m_pnlAuto = nullptr;
    QWidget* m_pnlSound = nullptr;
    QCheckBox* m_cbConfirmation = nullptr;
    QCheckBox* m_cbLaunch = nullptr;
    QCheckBox* m_cbExit = nullptr;
    QSpinBox* m_nMinutes = nullptr;
    QCheckBox* m_cbKill = nullptr;
    QCheckBox* m_cbAlarm = nullptr;
    QCheckBox* m_cbRepeat = nullptr;
    QLineEdit* m_edAlarm = nullptr;
    QPushButton* m_sbTest = nullptr;
    QCheckBox* m_cbSysTray = nullptr;
    QLineEdit* m_edit1 = nullptr;
    QRadioButton* m_rbAsIs = nullptr;
    QRadioButton* m_rbMonth = nullptr;
    QRadioButton* m_rbQuarter = nullptr;
    QLineEdit* m_edCount = nullptr;
    QLineEdit* m_edMail = nullptr;
};

} // namespace mv::gui
