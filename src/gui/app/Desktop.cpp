#include "gui/app/Desktop.h"

#include "gui/WindowOpeners.h"
#include "gui/app/AboutWindow.h"
#include "gui/app/SplashWindow.h"
#include "gui/desktop/SingleInstance.h"
#include "gui/widgets/Help.h"
#include "gui/widgets/MessageBox.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDialog>

namespace mv::gui {

namespace {
constexpr int kMinuteMs = 60000;
constexpr int kExitSweepMs = 50;
}

Desktop::Running::Running(Desktop& desktop) : m_desktop(desktop) {
    ++m_desktop.m_running;
}

Desktop::Running::~Running() {
    if (--m_desktop.m_running == 0 && m_desktop.m_exitPending) m_desktop.finishExit();
}

Desktop::Desktop(const HomeFolder& home, RegionalSettings regional)
    : m_settings(home.settingsFile()), m_view(*this),
      m_controller(home, m_settings, m_view, m_platform, m_clock, std::move(regional)),
      m_list(m_controller), m_model(m_controller.rows()), m_main(m_model), m_progress(&m_main) {
    // The program ends itself (after the running check and a proper QUIT); a settings window
    // closing while the main window is hidden in the tray must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    m_timer1.setInterval(kMinuteMs);
    connect(&m_timer1, &QTimer::timeout, this, &Desktop::timerTick);
    m_exitSweep.setInterval(kExitSweepMs);
    connect(&m_exitSweep, &QTimer::timeout, this, &Desktop::closeModalWindows);
    connect(&m_progress, &TfrmRetrieving::cancelClicked, this, &Desktop::cancelFromProgress);
    connectMainWindow();
    connectTray();
}

Desktop::~Desktop() = default;

void Desktop::connectMainWindow() {
    TfrmMain* w = &m_main;
    // The list commands: never inside a running check, one at a time.
    auto listCommand = [this](auto command) {
        return [this, command] {
            if (blocked()) return;
            Running running(*this);
            command(m_main.selectedRows());
        };
    };
    connect(w, &TfrmMain::checkClicked, this, &Desktop::check);
    connect(w, &TfrmMain::exitClicked, this, &Desktop::exitButton);
    connect(w, &TfrmMain::deleteClicked, this, &Desktop::deleteMarked);
    connect(w, &TfrmMain::launchClicked, this, &Desktop::launchMailProgram);
    connect(w, &TfrmMain::generalClicked, this, &Desktop::generalSettings);
    connect(w, &TfrmMain::spamClicked, this, &Desktop::spamSettings);
    connect(w, &TfrmMain::statsClicked, this, &Desktop::statistics);
    connect(w, &TfrmMain::aboutClicked, this, &Desktop::about);
    connect(w, &TfrmMain::helpClicked, this, &Desktop::help);
    connect(w, &TfrmMain::closeRequested, this, &Desktop::requestExit);
    connect(w, &TfrmMain::listTouched, this, [this] { m_controller.playAlarmSound(false); });
    connect(w, &TfrmMain::markClicked, this,
            listCommand([this](const std::vector<int>& rows) { m_list.btMarkClick(rows); }));
    connect(w, &TfrmMain::resetClicked, this,
            listCommand([this](const std::vector<int>&) { m_list.ResetButtonClick(); }));
    connect(w, &TfrmMain::remarkClicked, this,
            listCommand([this](const std::vector<int>&) { m_list.btRemarkClick(); }));
    connect(w, &TfrmMain::whyClicked, this,
            listCommand([this](const std::vector<int>& rows) { m_list.Why1Click(rows); }));
    connect(
        w, &TfrmMain::addExceptionsClicked, this,
        listCommand([this](const std::vector<int>& rows) { m_list.AddtoExceptions1Click(rows); }));
    connect(w, &TfrmMain::addSpamClicked, this, listCommand([this](const std::vector<int>& rows) {
                m_list.AddtoSPAMlist1Click(rows);
            }));
    connect(w, &TfrmMain::viewHeadersClicked, this,
            listCommand([this](const std::vector<int>& rows) { m_list.ViewHeader1Click(rows); }));
    connect(w, &TfrmMain::viewBodyClicked, this,
            listCommand([this](const std::vector<int>& rows) { m_list.ViewMessages1Click(rows); }));
}

void Desktop::connectTray() {
    const TrayActions& a = m_tray.actions();
    connect(a.checkMail, &QAction::triggered, this, &Desktop::trayCheck);
    connect(a.launchMailer, &QAction::triggered, this, &Desktop::launchMailProgram);
    connect(a.mainScreen, &QAction::triggered, this, &Desktop::showMain);
    connect(a.spamSettings, &QAction::triggered, this, &Desktop::spamSettings);
    connect(a.generalSettings, &QAction::triggered, this, &Desktop::generalSettings);
    connect(a.viewLog, &QAction::triggered, this, &Desktop::viewLog);
    connect(a.statistics, &QAction::triggered, this, &Desktop::statistics);
    connect(a.enableAutomatic, &QAction::triggered, this, [this] { setAutomatic(true); });
    connect(a.disableAutomatic, &QAction::triggered, this, [this] { setAutomatic(false); });
    connect(a.help, &QAction::triggered, this, &Desktop::help);
    connect(a.about, &QAction::triggered, this, &Desktop::about);
    connect(a.exit, &QAction::triggered, this, &Desktop::trayExit);
    connect(m_tray.menu(), &QMenu::aboutToShow, this,
            [this] { m_controller.playAlarmSound(false); });
    connect(&m_tray, &TrayIcon::doubleClicked, this, &Desktop::showMain);
}

QString Desktop::instanceName(const HomeFolder& home) {
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::weakly_canonical(home.configDir(), ec);
    if (ec) dir = home.configDir().lexically_normal();
    QByteArray folder = QByteArray::fromStdString(dir.string());
    return SingleInstance::defaultName() + QLatin1Char('-') +
           QString::fromLatin1(
               QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(12));
}

void Desktop::start() {
    Running running(*this);
    m_controller.startUp();
    if (m_controller.trayMode() && !m_tray.setActive(true))
        MessageBox::information(boxParent(), TrayIcon::unavailableText());
    keepReachable();
}

bool Desktop::blocked() const {
    return m_running > 0 || m_ending || m_controller.busy();
}

QWidget* Desktop::boxParent() {
    // The splash stays on top of everything: a box under it could be neither read nor answered.
    TfrmSplash::closeShown();
    return &m_main;
}

bool Desktop::blockedRaisingOpenWindow() {
    if (!blocked()) return false;
    // A second request for a window already open (from the tray, say, while it hides behind
    // another program) brings that window forward instead of doing nothing.
    if (auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
        m_tray.showModal(open);
    return true;
}

// --- Commands ----------------------------------------------------------------------------------

void Desktop::check() {
    if (blocked()) return;
    Running running(*this);
    m_tray.setCancelled(false);
    m_controller.btListClick();
}

void Desktop::trayCheck() {
    if (blocked()) return;
    Running running(*this);
    m_tray.setCancelled(false);
    m_controller.Show1Click();
}

void Desktop::cancelOperation(bool fromProgress) {
    m_controller.cancel(fromProgress);
    m_tray.setCancelled(true);
}

void Desktop::exitButton() {
    if (m_controller.busy()) {
        cancelOperation(false);
        return;
    }
    // The role the caption shows ("Hide" or "Goodbye"), fixed at start-up: a changed setting takes
    // effect at the next start.
    if (m_controller.trayMode()) {
        m_controller.playAlarmSound(false);
        hideToTray();
        return;
    }
    requestExit();
}

void Desktop::requestExit() {
    if (m_ending) return;
    m_controller.playAlarmSound(false);
    if (m_controller.busy()) m_controller.cancel();
    if (m_running > 0) {
        // The command on the stack unwinds first: its session is cancelled (the server rolls it
        // back) and no file is left half written; Running's end finishes the exit.
        m_exitPending = true;
        m_ending = true;
        closeModalWindows();
        // A window may outlive the close (the statistics' start window only stops its reading)
        // or open after it: each is closed as it comes until the command has unwound.
        m_exitSweep.start();
        return;
    }
    finishExit();
}

void Desktop::trayExit() {
    if (m_controller.busy())
        cancelOperation(false);
    else
        requestExit();
}

void Desktop::closeModalWindows() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isModal())
            dialog->reject();
}

void Desktop::finishExit() {
    m_exitSweep.stop();
    m_exitPending = false;
    m_ending = true;
    m_timer1.stop();
    m_controller.FormCloseQuery();
    m_progress.hide();
    m_main.hide();
    emit ended();
}

void Desktop::cancelFromProgress() {
    if (m_controller.busy()) cancelOperation(true);
}

void Desktop::deleteMarked() {
    if (blocked()) return;
    Running running(*this);
    m_controller.btDeleteClick();
}

void Desktop::launchMailProgram() {
    if (blocked()) return;
    Running running(*this);
    m_controller.btLaunchClick();
}

void Desktop::withTimerPaused(const std::function<void()>& open) {
    if (blockedRaisingOpenWindow()) return;
    Running running(*this);
    m_controller.playAlarmSound(false);
    m_controller.disableTimer();
    open();
    m_controller.restoreTimer();
    keepReachable();
}

void Desktop::generalSettings() {
    if (blockedRaisingOpenWindow()) return;
    Running running(*this);
    m_controller.btGeneralClick();
    keepReachable();
}

void Desktop::spamSettings() {
    withTimerPaused([this] { openSpamSettings(&m_main, m_controller); });
}

void Desktop::statistics() {
    withTimerPaused([this] { openStatistics(&m_main, m_controller); });
}

void Desktop::about() {
    withTimerPaused([this] {
        AboutWindow window(&m_main);
        m_tray.showModal(&window);
    });
}

void Desktop::viewLog() {
    // Not while a check or deletion writes the log.
    if (m_ending || m_controller.busy()) return;
    if (!m_platform.openFile(m_controller.log().path().string()))
        MessageBox::error(boxParent(), QStringLiteral("Unable to open log file. "));
}

void Desktop::help() {
    withTimerPaused([this] { openHelp(&m_main, HelpTopic::Contents); });
}

void Desktop::setAutomatic(bool on) {
    m_controller.EnableAutomatic1Click(on);
}

void Desktop::showMain() {
    if (m_ending) return;
    if (m_tray.isActive()) return m_tray.showApplication();
    if (m_main.isMinimized()) m_main.showNormal();
    m_main.show();
    m_main.raise();
    m_main.activateWindow();
}

void Desktop::timerTick() {
    if (!m_controller.timerEnabled() || blocked()) return;
    Running running(*this);
    bool runDue = m_controller.countdown() <= 1;
    m_controller.Timer1Timer();
    if (runDue) notifyAfterRun();
}

void Desktop::notifyAfterRun() {
    if (!m_settings.readBool(Setting::Notify)) return;
    int deleted = m_controller.tickDeletedCount();
    std::size_t waiting = m_controller.rows().size();
    QStringList notices;
    if (deleted > 0) notices << QStringLiteral("%1 spam messages deleted").arg(deleted);
    if (waiting > 0 && !m_controller.general().kill)
        notices << QStringLiteral("Mail is waiting: %1 messages for %2")
                       .arg(waiting)
                       .arg(QString::fromStdString(m_controller.client().userName()));
    for (const QString& text : notices) {
        m_tray.notify(QStringLiteral("Mailvane"), text);
        emit notified(text);
    }
}

// --- The view bridge's questions ------------------------------------------------------------

bool Desktop::mainWindowVisible() const {
    return m_main.isVisible() && !m_main.isMinimized();
}

void Desktop::hideToTray() {
    // Without an icon in the notification area a hidden window could never be found again.
    if (trayShown())
        m_tray.hideApplication();
    else
        m_main.showMinimized();
}

void Desktop::automaticModeChanged(bool automatic) {
    m_tray.setState(automatic ? TrayIcon::State::Animated : TrayIcon::State::Enabled);
    m_tray.setAutomatic(automatic);
    if (!automatic)
        m_timer1.stop();
    else if (!m_timer1.isActive())
        m_timer1.start();
}

void Desktop::setTrayHint(const QString& hint) {
    m_tray.setHint(hint);
}

void Desktop::setExitCaption(const QString& caption) {
    m_main.setExitCaption(caption);
    m_tray.actions().exit->setText(caption == QStringLiteral("Cancel") ? caption
                                                                       : QStringLiteral("Exit"));
}

void Desktop::playSound(const QString& file, bool loop) {
    m_sound.play(file, loop);
}

void Desktop::stopSound() {
    m_sound.stop();
}

bool Desktop::trayShown() const {
    return m_tray.isActive();
}

// A right click during a run is a plain click: the menu's commands would only be refused.
void Desktop::setBusy(bool busy) {
    m_tray.setAutoPopup(!busy);
}

void Desktop::openSettingsFromController() {
    openGeneralSettings(&m_main, m_controller);
}

void Desktop::keepReachable() {
    if (!m_ending && !m_main.isVisible() && !trayShown()) showMain();
}

} // namespace mv::gui
