#include "gui/app/GeneralSettingsWindow.h"

#include "app/ActivityLog.h"
#include "app/CheckController.h"
#include "app/settings/SecretMemory.h"
#include "app/settings/SettingsEdits.h"
#include "base/Files.h"
#include "base/Text.h"
#include "gui/WindowOpeners.h"
#include "gui/app/SecurityDialog.h"
#include "gui/widgets/Assets.h"
#include "gui/widgets/FileDialog.h"
#include "gui/widgets/Help.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/SaveLock.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <filesystem>

namespace mv::gui {

namespace {

constexpr int kMinutesMin = 2;
constexpr int kMinutesMax = 600;
// The alarm plays at most this much of its path, as the main window's alarm does.
constexpr std::size_t kAlarmPathMax = 200;
const QString kTest = QStringLiteral("Test");
const QString kStop = QStringLiteral("Stop");

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

std::string text(const QLineEdit* edit) {
    return edit->text().toStdString();
}

template <class W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* note(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

// A small picture-less browse button; its hint is also its accessible name.
QPushButton* browseButton(const char* name, const QString& hint) {
    auto* button = named(new QPushButton(QStringLiteral("…")), name);
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("……")) + 16);
    return button;
}

QHBoxLayout* row(std::initializer_list<QWidget*> widgets) {
    auto* layout = new QHBoxLayout;
    for (QWidget* w : widgets)
        layout->addWidget(w);
    return layout;
}

QWidget* page(QLayout* layout) {
    auto* widget = new QWidget;
    widget->setLayout(layout);
    return widget;
}

// A server the client could never reach is refused before anything is written, on its field.
std::optional<AccountProblem> unusableServer(const MailboxAccounts& accounts) {
    for (int n = 1; n <= MailboxAccounts::kCount; ++n) {
        const std::string& server = accounts[n].server;
        if (server.empty() || isValidServerText(server)) continue;
        return AccountProblem{n, AccountField::Server,
                              "Mailbox " + std::to_string(n) +
                                  ": the server must be host, host:port or [IPv6]:port, not " +
                                  server};
    }
    return std::nullopt;
}

} // namespace

TfrmGeneral::TfrmGeneral(CheckController& controller, Environment environment,
                         std::vector<std::string> rasEntries, QWidget* parent)
    : QDialog(parent), m_controller(controller), m_settings(controller.settings()),
      m_environment(std::move(environment)), m_mailProgramLookup(new MailProgramLookup(this)) {
    forbidCoreDumps(); // the password fields must not end up in a core file
    setObjectName(QStringLiteral("frmGeneral"));
    setWindowTitle(QStringLiteral("General settings"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* heading = named(new QLabel(QStringLiteral("General Settings")), "lblHeading");
    QFont big = heading->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    heading->setFont(big);

    m_pages = named(new QTabWidget, "PageControl1");
    m_pages->addTab(makeMailboxesPage(), QStringLiteral("Mailboxes"));
    m_pages->addTab(makeConnectionPage(rasEntries), QStringLiteral("Connection"));
    m_pages->addTab(makeAutomaticPage(), QStringLiteral("Automatic"));
    m_pages->addTab(makeStartUpPage(), QStringLiteral("Start Up"));
    m_pages->addTab(makeActivityLogPage(), QStringLiteral("Activity Log"));
    m_pages->addTab(makeMailProgramPage(), QStringLiteral("Mail program"));

    auto* btOK = named(new QPushButton(QStringLiteral("OK")), "btOK");
    auto* btCancel = named(new QPushButton(QStringLiteral("Cancel")), "btCancel");
    auto* btHelp = named(new QPushButton(QStringLiteral("Help")), "btHelp");
    btOK->setDefault(true);
    connect(btOK, &QPushButton::clicked, this, &TfrmGeneral::btOKClick);
    connect(btCancel, &QPushButton::clicked, this, &TfrmGeneral::reject);
    connect(btHelp, &QPushButton::clicked, this,
            [this] { openHelp(this, HelpTopic::GeneralSettings); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {btOK, btCancel, btHelp})
        buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(m_pages);
    layout->addLayout(buttons);

    ColorEdits();
    ReadGeneralSettings();
    m_pages->setCurrentIndex(0);
    readServerSettings();
    setFixedSize(sizeHint());
}

TfrmGeneral::~TfrmGeneral() {
    stopAlarmTest();
    wipePasswords(m_shown);
}

// --- Pages -----------------------------------------------------------------------------------

QWidget* TfrmGeneral::makeMailboxesPage() {
    auto* grid = new QGridLayout;
    const QString headings[] = {QStringLiteral("POP Server"), QStringLiteral("User Name/Mailbox"),
                                QStringLiteral("Password"), QStringLiteral("Security")};
    for (int c = 0; c < 4; ++c)
        grid->addWidget(new QLabel(headings[c]), 0, c + 1);
    auto* group = new QButtonGroup(this);
    for (int n = 1; n <= MailboxAccounts::kCount; ++n) {
        MailboxRow& r = m_rows[n - 1];
        const std::string number = std::to_string(n);
        r.rb =
            named(new QRadioButton(QStringLiteral("Mailbox %1").arg(n)), ("rb" + number).c_str());
        r.edServe = named(new QLineEdit, ("edServe" + number).c_str());
        r.edName = named(new QLineEdit, ("edName" + number).c_str());
        r.edPass = named(new QLineEdit, ("edPass" + number).c_str());
        r.edPass->setEchoMode(QLineEdit::Password);
        const int charWidth = r.edServe->fontMetrics().averageCharWidth();
        r.edServe->setMinimumWidth(charWidth * 24);
        r.edName->setMinimumWidth(charWidth * 28);
        r.edPass->setMinimumWidth(charWidth * 12);
        // Reads as a column of words; the frame shows only under the mouse.
        r.btSecurity = named(new QToolButton, ("btSecurity" + number).c_str());
        r.btSecurity->setAutoRaise(true);
        r.btSecurity->setToolTip(QStringLiteral("Security of mailbox %1").arg(n));
        r.btSecurity->setAccessibleName(r.btSecurity->toolTip());
        connect(r.btSecurity, &QToolButton::clicked, this, [this, &r] { showSecurity(r); });
        group->addButton(r.rb, n);
        QWidget* cells[] = {r.rb, r.edServe, r.edName, r.edPass, r.btSecurity};
        for (int c = 0; c < 5; ++c)
            grid->addWidget(cells[c], n, c);
    }
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(2, 3);
    grid->setColumnStretch(3, 2);
    auto* rows = new QWidget;
    rows->setLayout(grid);
    auto* scroll = named(new QScrollArea, "ScrollBox1");
    scroll->setWidget(rows);
    scroll->setWidgetResizable(true);
    scroll->setMinimumHeight(rows->sizeHint().height() / 2);
    scroll->setMinimumWidth(rows->sizeHint().width() + 24);

    auto* layout = new QVBoxLayout;
    layout->addWidget(scroll);
    layout->addWidget(note(QStringLiteral(
        "For each mailbox enter the name of the POP server, your user name (mailbox name) and "
        "your password, as your internet provider gave them to you. Mark the mailbox to check "
        "when you check by hand.")));
    return page(layout);
}

QWidget* TfrmGeneral::makeConnectionPage(const std::vector<std::string>& rasEntries) {
    m_rasComboBox = named(new QComboBox, "RASComboBox");
    m_rasComboBox->addItem(QStringLiteral("None"));
    for (const std::string& entry : rasEntries)
        m_rasComboBox->addItem(qs(entry));
    auto* layout = new QVBoxLayout;
    layout->addWidget(new QLabel(QStringLiteral("Specify a default connection to the internet:")));
    layout->addWidget(m_rasComboBox);
    layout->addWidget(
        new QLabel(QStringLiteral("Select 'none' if you do not dial in to the internet.")));
    layout->addStretch();
    return page(layout);
}

QWidget* TfrmGeneral::makeAutomaticPage() {
    m_rbManual = named(new QRadioButton(QStringLiteral("Check e-mail manually")), "rbManual");
    m_rbAuto = named(new QRadioButton(QStringLiteral("Check e-mail unattended or automatically")),
                     "rbAuto");
    connect(m_rbManual, &QRadioButton::toggled, this, &TfrmGeneral::rbManualClick);

    m_cbConfirmation = named(
        new QCheckBox(QStringLiteral("When deleting messages interactively, ask for confirmation")),
        "cbConfirmation");
    m_cbLaunch =
        named(new QCheckBox(QStringLiteral(
                  "After deleting spam, launch e-mail program if there is e-mail to read")),
              "cbLaunch");
    m_cbExit = named(
        new QCheckBox(QStringLiteral("If no mail is on the server, exit after checking e-mail")),
        "cbExit");
    auto* manual = new QVBoxLayout;
    manual->addWidget(
        note(QStringLiteral("These options only apply if checking e-mail manually.  "
                            "They do not apply when e-mail is checked automatically.")));
    for (QWidget* w : {m_cbConfirmation, m_cbLaunch, m_cbExit})
        manual->addWidget(w);
    manual->addStretch();
    m_pnlManual = named(page(manual), "pnlManual");

    m_nMinutes = named(new QSpinBox, "nMinutes");
    m_nMinutes->setRange(kMinutesMin, kMinutesMax);
    m_cbKill = named(new QCheckBox(QStringLiteral(
                         "Delete spam automatically from all mailboxes - no confirmation?")),
                     "cbKill");
    connect(m_cbKill, &QCheckBox::toggled, this, &TfrmGeneral::cbKillClick);
    m_cbAlarm = named(
        new QCheckBox(QStringLiteral("&Play this sound file if there is e-mail on the server")),
        "cbAlarm");
    m_cbRepeat =
        named(new QCheckBox(QStringLiteral("Repeat the alarm until keypress or mouse click?")),
              "cbRepeat");
    m_edAlarm = named(new QLineEdit, "edAlarm");
    auto* browse = browseButton("btAlarmBrowse", QStringLiteral("Browse for sound file"));
    connect(browse, &QPushButton::clicked, this, &TfrmGeneral::browseSound);
    m_sbTest = named(new QPushButton(kTest), "sbTest");
    connect(m_sbTest, &QPushButton::clicked, this, &TfrmGeneral::sbTestClick);
    auto* sound = new QVBoxLayout;
    sound->setContentsMargins(0, 0, 0, 0);
    sound->addWidget(m_cbAlarm);
    sound->addWidget(m_cbRepeat);
    sound->addLayout(row({m_edAlarm, browse, m_sbTest}));
    m_pnlSound = named(page(sound), "pnlSound");

    auto* every = row({new QLabel(QStringLiteral("Check for mail every ")), m_nMinutes,
                       new QLabel(QStringLiteral("minutes"))});
    every->addStretch();
    auto* automatic = new QVBoxLayout;
    automatic->addLayout(every);
    automatic->addWidget(m_cbKill);
    automatic->addWidget(m_pnlSound);
    automatic->addStretch();
    m_pnlAuto = named(page(automatic), "pnlAuto");

    auto* layout = new QVBoxLayout;
    layout->addWidget(note(
        QStringLiteral("Mailvane can run unattended and may delete e-mail without confirmation.")));
    layout->addWidget(m_rbManual);
    layout->addWidget(m_rbAuto);
    layout->addWidget(m_pnlManual);
    layout->addWidget(m_pnlAuto);
    return page(layout);
}

QWidget* TfrmGeneral::makeStartUpPage() {
    m_cbSysTray =
        named(new QCheckBox(QStringLiteral("Start Mailvane up in the system tray?")), "cbSysTray");
    auto* layout = new QVBoxLayout;
    layout->addWidget(m_cbSysTray);
    layout->addWidget(note(QStringLiteral(
        "When checked, the main window is not shown when Mailvane starts. Reach the program by "
        "clicking its icon in the notification area with the right mouse button.")));
    layout->addWidget(
        note(QStringLiteral("The change takes effect the next time Mailvane starts.")));
    layout->addStretch();
    return page(layout);
}

QWidget* TfrmGeneral::makeActivityLogPage() {
    m_edit1 = named(new QLineEdit, "Edit1");
    auto* browse = browseButton("btLogBrowse", QStringLiteral("Browse for log file"));
    connect(browse, &QPushButton::clicked, this, &TfrmGeneral::browseLog);
    m_rbAsIs =
        named(new QRadioButton(QStringLiteral("&Use the name of the log file AS IS (no changes)?")),
              "rbAsIs");
    m_rbMonth =
        named(new QRadioButton(QStringLiteral(
                  "Automatically pick a new name every &month? (i.e. Jan98.txt, Feb98.txt, ...)")),
              "rbMonth");
    m_rbQuarter =
        named(new QRadioButton(QStringLiteral(
                  "Automatically pick a new name every &quarter? (Q1_98.txt, Q2_98.txt, ...)")),
              "rbQuarter");
    auto* btView = named(new QPushButton(QStringLiteral("&View log file")), "btView");
    auto* btClear = named(new QPushButton(QStringLiteral("&Clear log file")), "btClear");
    auto* btStats = named(new QPushButton(QStringLiteral("View &Statistics")), "btStats");
    connect(btView, &QPushButton::clicked, this, &TfrmGeneral::btViewClick);
    connect(btClear, &QPushButton::clicked, this, &TfrmGeneral::btClearClick);
    connect(btStats, &QPushButton::clicked, this, &TfrmGeneral::btStatsClick);
    m_edCount = named(new QLineEdit, "edCount");
    m_edCount->setReadOnly(true); // only "Reset counter" and deletions change it
    m_edCount->setMaximumWidth(
        m_edCount->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")));
    auto* btReset = named(new QPushButton(QStringLiteral("&Reset counter")), "btReset");
    connect(btReset, &QPushButton::clicked, this, &TfrmGeneral::btResetClick);

    auto* commands = row({btView, btClear, btStats});
    commands->addStretch();
    auto* counter = row(
        {m_edCount, new QLabel(QStringLiteral("Spams have been deleted up till now")), btReset});
    counter->addStretch();
    auto* layout = new QVBoxLayout;
    layout->addWidget(new QLabel(QStringLiteral("Store results in activity log file:")));
    layout->addLayout(row({m_edit1, browse}));
    for (QWidget* w : {m_rbAsIs, m_rbMonth, m_rbQuarter})
        layout->addWidget(w);
    layout->addLayout(commands);
    layout->addLayout(counter);
    layout->addStretch();
    return page(layout);
}

QWidget* TfrmGeneral::makeMailProgramPage() {
    m_edMail = named(new QLineEdit, "edMail");
    // The desktop's answer fills only a field the user has not filled meanwhile.
    connect(m_mailProgramLookup, &MailProgramLookup::found, m_edMail, [this](const QString& found) {
        if (m_edMail->text().isEmpty()) m_edMail->setText(found);
    });
    auto* browse = browseButton("btMailBrowse", QStringLiteral("Find mail program"));
    connect(browse, &QPushButton::clicked, this, &TfrmGeneral::browseMailProgram);
    auto* btLaunch = named(new QPushButton(QStringLiteral("Launch mail program")), "btLaunch");
    connect(btLaunch, &QPushButton::clicked, this, &TfrmGeneral::btLaunchClick);
    auto* launch = row({btLaunch});
    launch->addStretch();
    auto* layout = new QVBoxLayout;
    layout->addWidget(new QLabel(QStringLiteral("Mail program path/name:")));
    layout->addLayout(row({m_edMail, browse}));
    layout->addLayout(launch);
    layout->addWidget(
        note(QStringLiteral("Mailvane does not support AOL or Compuserve mail.  Sorry.")));
    layout->addStretch();
    return page(layout);
}

// Fields stand out from the page only while they have the focus; passwords show as asterisks,
// as the mailbox page's text describes them, not as the style's bullets.
void TfrmGeneral::ColorEdits() {
    setStyleSheet(QStringLiteral("QLineEdit, QSpinBox { background: palette(button); }"
                                 "QLineEdit:focus, QSpinBox:focus { background: palette(base); }"
                                 "QLineEdit { lineedit-password-character: 42; }"));
}

// --- Between the store and the controls --------------------------------------------------------

void TfrmGeneral::ReadGeneralSettings() {
    m_stored = m_settings.ReadGeneralSettings();
    const GeneralSettings& s = m_stored;
    m_edit1->setText(qs(s.logfile));
    m_edMail->setText(qs(s.mailer));
    m_edAlarm->setText(qs(s.alarmFile));
    (s.automatic ? m_rbAuto : m_rbManual)->setChecked(true);
    m_cbConfirmation->setChecked(s.ask);
    m_cbKill->setChecked(s.kill);
    m_nMinutes->setValue(s.minutes);
    m_cbLaunch->setChecked(s.launch);
    m_cbExit->setChecked(s.exitWhenEmpty);
    m_cbAlarm->setChecked(s.alarm);
    m_cbRepeat->setChecked(s.repeat);
    // A connection that is not offered now (NetworkManager stopped) stays chosen, not lost.
    while (m_rasComboBox->count() > 1 &&
           m_rasComboBox->itemData(m_rasComboBox->count() - 1).toBool())
        m_rasComboBox->removeItem(m_rasComboBox->count() - 1);
    while (s.ras >= m_rasComboBox->count())
        m_rasComboBox->addItem(
            QStringLiteral("Connection %1 (not available now)").arg(m_rasComboBox->count()), true);
    m_rasComboBox->setCurrentIndex(std::max(s.ras, 0));
    m_edCount->setText(QString::number(s.count));
    m_cbSysTray->setChecked(s.sysTray);
    QRadioButton* naming = s.logNaming == LogNaming::Month     ? m_rbMonth
                           : s.logNaming == LogNaming::Quarter ? m_rbQuarter
                                                               : m_rbAsIs;
    naming->setChecked(true);
}

GeneralSettings TfrmGeneral::generalFromControls() const {
    GeneralSettings s = m_stored; // keeps what this window does not show
    s.logfile = trim(text(m_edit1));
    s.mailer = trim(text(m_edMail));
    s.alarmFile = trim(text(m_edAlarm));
    s.automatic = m_rbAuto->isChecked();
    s.ask = m_cbConfirmation->isChecked();
    s.kill = m_cbKill->isChecked();
    s.minutes = m_nMinutes->value();
    s.launch = m_cbLaunch->isChecked();
    s.exitWhenEmpty = m_cbExit->isChecked();
    s.alarm = m_cbAlarm->isChecked();
    s.repeat = m_cbRepeat->isChecked();
    s.ras = m_rasComboBox->currentIndex();
    s.count = parseIntegerOr(text(m_edCount), s.count);
    s.sysTray = m_cbSysTray->isChecked();
    s.logNaming = chosenLogNaming();
    return s;
}

std::vector<std::string> TfrmGeneral::readServerSettings() {
    ServerSettings stored = m_settings.readServerSettings();
    for (int n = 1; n <= MailboxAccounts::kCount; ++n) {
        MailboxRow& r = m_rows[n - 1];
        const MailboxAccount& a = stored.accounts[n];
        r.rb->setChecked(stored.accounts.which == n);
        r.edServe->setText(qs(a.server));
        r.edName->setText(qs(a.user));
        r.edServe->setCursorPosition(0);
        r.edName->setCursorPosition(0);
        r.edPass->setText(qs(a.password));
        r.security = a.security;
        r.fingerprint = a.fingerprint;
        r.btSecurity->setText(securityCaption(a.security));
    }
    wipePasswords(m_shown);
    m_shown = stored.accounts;
    wipePasswords(stored.accounts);
    return stored.problems;
}

MailboxAccounts TfrmGeneral::accountsFromControls() const {
    MailboxAccounts accounts;
    accounts.which = 0;
    for (int n = 1; n <= MailboxAccounts::kCount; ++n) {
        const MailboxRow& r = m_rows[n - 1];
        if (r.rb->isChecked()) accounts.which = n;
        accounts[n] = {trim(text(r.edServe)), trim(text(r.edName)), text(r.edPass), r.security,
                       r.fingerprint};
    }
    return accounts;
}

void TfrmGeneral::showSecurity(MailboxRow& r) {
    int n = static_cast<int>(&r - m_rows.data()) + 1;
    SecurityDialog dialog(n, r.security, r.fingerprint, this);
    if (dialog.exec() != QDialog::Accepted) return;
    r.security = dialog.mode();
    r.fingerprint = dialog.fingerprint();
    r.btSecurity->setText(securityCaption(r.security));
}

// --- Showing -----------------------------------------------------------------------------------

void TfrmGeneral::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TfrmGeneral::FormShow() {
    // The command line may have changed options or accounts while this program was idle: the
    // window shows what is stored now, or OK would write the old values back over them.
    try {
        m_settings.refresh();
    } catch (const FileError& e) {
        MessageBox::error(this, qs(e.what()));
    }
    ReadGeneralSettings();
    // This is where a password that cannot be read is entered again, so say which.
    for (const std::string& problem : readServerSettings())
        MessageBox::warning(this, qs(problem));
    m_firstTime = m_rows[0].edServe->text().isEmpty() && m_rows[0].edName->text().isEmpty();
    if (m_rows[0].edServe->text().isEmpty()) takeAccountFromMailPrograms();
    if (m_edMail->text().isEmpty()) m_mailProgramLookup->start(m_environment);
    if (m_edAlarm->text().isEmpty()) m_edAlarm->setText(assetPath(QStringLiteral("harptune.wav")));
    if (m_edit1->text().isEmpty())
        m_edit1->setText(qs(m_controller.home().defaultLogFile().string()));
    m_killWhenShown = m_cbKill->isChecked();
    m_sysTrayWhenShown = m_cbSysTray->isChecked();
    rbManualClick();
    cbKillClick();
    AddMyselfFromPopToHeader();
    if (!m_rbAsIs->isChecked()) m_edit1->setText(qs(currentLogFile()));
}

void TfrmGeneral::takeAccountFromMailPrograms() {
    std::optional<FoundAccount> found = installedMailAccount(m_environment);
    if (!found) return;
    MailboxRow& first = m_rows[0];
    first.edServe->setText(qs(found->server));
    first.edName->setText(qs(found->user));
    if (found->security) {
        first.security = *found->security;
        first.btSecurity->setText(securityCaption(first.security));
    }
}

// Only with a user name (an empty one would mark every message of mailbox 1), and never twice:
// the window is made again for every showing and after every start, and a rule added by an
// earlier one is recognised in the table.
void TfrmGeneral::AddMyselfFromPopToHeader() {
    if (!m_firstTime) return;
    MailboxAccounts accounts = accountsFromControls();
    wipePasswords(accounts);
    if (trim(accounts[1].user).empty()) return;
    // The edit goes onto the tables as the command line may have saved them meanwhile.
    const std::string matches = trim(accounts[1].user) + " - MailBox #1";
    bool done = false;
    m_controller.editRules([&](RuleSet& rules) {
        const RuleTable& header = rules.header();
        for (int row = 1; row < header.rowCount() && !done; ++row)
            done = header.cell(1, row) == "To does not contain" && header.cell(2, row) == matches;
        if (!done) done = mv::AddMyselfFromPopToHeader(rules, accounts);
    });
    if (done) m_firstTime = false;
}

// --- OK and Cancel -----------------------------------------------------------------------------

void TfrmGeneral::btOKClick() {
    if (m_cbKill->isChecked() && !m_killWhenShown && m_rbAuto->isChecked())
        MessageBox::warning(
            this, QStringLiteral("Just a warning that you selected to automatically delete "
                                 "marked messages without confirmation.  It is possible to "
                                 "OVER delete by using this setting."));
    if (m_cbSysTray->isChecked() != m_sysTrayWhenShown)
        MessageBox::information(
            this, QStringLiteral("Exit and restart for the Start Up changes to take effect."));
    // The boxes wait for the user. A window closed meanwhile (Exit, or hidden to the tray) has
    // put the stored values back and emptied its password fields: saving now would store "" as
    // every password.
    if (!isVisible()) return;
    // Said once: a second OK after a faulty mailbox row must not warn again.
    m_killWhenShown = m_cbKill->isChecked();
    m_sysTrayWhenShown = m_cbSysTray->isChecked();
    // The options and the accounts are one save: the other program sees both or neither.
    std::unique_ptr<ScopedHomeLock> lock = lockForSave(this, m_controller.home().lockFile());
    if (lock && saveSettings()) accept();
}

bool TfrmGeneral::saveSettings() {
    ServerSettings stored;
    MailboxAccounts edited = accountsFromControls();
    std::optional<AccountProblem> problem;
    std::optional<std::string> failure;
    try {
        // Only what was changed here goes onto what is stored now: the command line may have
        // changed other fields while the window was open.
        m_settings.refresh();
        GeneralSettings general = m_settings.ReadGeneralSettings();
        applyEdits(m_stored, generalFromControls(), general);
        stored = m_settings.readServerSettings();
        applyEdits(m_shown, edited, stored.accounts);
        problem = unusableServer(stored.accounts);
        if (!problem) {
            AccountSaveResult result = m_settings.saveAllSettings(general, stored.accounts);
            if (result.migrationWarning)
                MessageBox::warning(this, qs(std::string(kPasswordMigrationWarning)));
            problem = result.problem;
        }
    } catch (const FileError& e) {
        failure = e.what();
    }
    wipePasswords(stored.accounts);
    wipePasswords(edited);
    if (failure) {
        MessageBox::error(this, qs(*failure));
        return false;
    }
    if (problem) showAccountProblem(*problem);
    return !problem;
}

void TfrmGeneral::showAccountProblem(const AccountProblem& problem) {
    MessageBox::error(this, qs(problem.message));
    m_pages->setCurrentIndex(0);
    const MailboxRow& r = m_rows[problem.mailbox - 1];
    QLineEdit* field = problem.field == AccountField::Server ? r.edServe
                       : problem.field == AccountField::User ? r.edName
                                                             : r.edPass;
    field->setFocus();
    if (auto* scroll = findChild<QScrollArea*>(QStringLiteral("ScrollBox1")))
        scroll->ensureWidgetVisible(field);
}

void TfrmGeneral::reject() {
    stopAlarmTest();
    ReadGeneralSettings();
    readServerSettings();
    QDialog::reject();
}

void TfrmGeneral::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (event->spontaneous()) return; // minimised, not closed
    stopAlarmTest();
    // The passwords are stored or restored by now; the next showing reads them again.
    for (MailboxRow& r : m_rows)
        r.edPass->clear();
    wipePasswords(m_shown);
}

// --- Automatic page ----------------------------------------------------------------------------

void TfrmGeneral::rbManualClick() {
    m_pnlManual->setVisible(m_rbManual->isChecked());
    m_pnlAuto->setVisible(!m_rbManual->isChecked());
}

void TfrmGeneral::cbKillClick() {
    m_pnlSound->setVisible(!m_cbKill->isChecked());
}

void TfrmGeneral::sbTestClick() {
    std::string file = text(m_edAlarm).substr(0, kAlarmPathMax);
    bool exists = !file.empty() && fileExists(file);
    if (m_sbTest->text() == kTest) {
        if (m_cbRepeat->isChecked()) m_sbTest->setText(kStop);
        if (exists) m_controller.platform().playSound(file, m_cbRepeat->isChecked());
    } else {
        m_sbTest->setText(kTest);
        if (exists) m_controller.platform().stopSound();
    }
}

void TfrmGeneral::stopAlarmTest() {
    if (m_sbTest->text() == kTest) return;
    m_sbTest->setText(kTest);
    m_controller.platform().stopSound();
}

void TfrmGeneral::browseSound() {
    QString chosen =
        FileDialog::openFileName(this, QStringLiteral("Sound files"), m_edAlarm->text(),
                                 QStringLiteral("Sound files (*.wav);;All files (*)"));
    if (chosen.isEmpty()) return;
    if (QFileInfo(chosen).suffix().isEmpty()) chosen += QStringLiteral(".wav");
    m_edAlarm->setText(chosen);
}

// --- Activity log page -------------------------------------------------------------------------

LogNaming TfrmGeneral::chosenLogNaming() const {
    if (m_rbMonth->isChecked()) return LogNaming::Month;
    return m_rbQuarter->isChecked() ? LogNaming::Quarter : LogNaming::AsIs;
}

std::string TfrmGeneral::currentLogFile() const {
    return workOutLogName(trim(text(m_edit1)), chosenLogNaming(), m_controller.home().programDir(),
                          m_controller.clock().now(), m_controller.regional())
        .string();
}

void TfrmGeneral::btViewClick() {
    if (!m_controller.platform().openFile(currentLogFile()))
        MessageBox::error(this, QStringLiteral("Unable to open log file. "));
}

void TfrmGeneral::btClearClick() {
    if (!MessageBox::question(this,
                              QStringLiteral("If you answer Yes, you will lose any statistics "
                                             "related to this log file. Really clear out log "
                                             "file?")))
        return;
    std::error_code ec;
    std::filesystem::remove(currentLogFile(), ec);
    if (ec)
        MessageBox::error(this,
                          QStringLiteral("Unable to clear the log file: %1").arg(qs(ec.message())));
}

void TfrmGeneral::btResetClick() {
    if (MessageBox::question(this, QStringLiteral("Really reset spam counter?")))
        m_edCount->setText(QStringLiteral("0"));
}

void TfrmGeneral::btStatsClick() {
    openStatistics(this, m_controller);
}

void TfrmGeneral::browseLog() {
    QString chosen =
        FileDialog::saveFileName(this, QStringLiteral("Browse for log file"), m_edit1->text(),
                                 QStringLiteral("Text files (*.txt);;All files (*)"));
    if (chosen.isEmpty()) return;
    if (QFileInfo(chosen).suffix().isEmpty()) chosen += QStringLiteral(".txt");
    m_edit1->setText(chosen);
}

// --- Mail program page -------------------------------------------------------------------------

void TfrmGeneral::btLaunchClick() {
    m_controller.launchMailProgram(trim(text(m_edMail)));
}

void TfrmGeneral::browseMailProgram() {
    QString chosen = FileDialog::openFileName(this, QStringLiteral("Find mail program"),
                                              m_edMail->text(), QStringLiteral("Programs (*)"));
    if (chosen.isEmpty()) return;
    QFileInfo info(chosen);
    if (!info.isFile() || !info.isExecutable()) {
        MessageBox::error(this,
                          QStringLiteral("%1 is not a program that can be started.").arg(chosen));
        return;
    }
    m_edMail->setText(chosen);
}

} // namespace mv::gui
