#include "gui/desktop/TrayIcon.h"

#include "gui/widgets/Pictures.h"

#include <QActionGroup>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMenu>
#include <QMetaMethod>
#include <QTimer>
#include <QWidget>
#include <QWindowStateChangeEvent>

namespace mv::gui {
namespace {

std::optional<bool>& availabilityOverride() {
    static std::optional<bool> available;
    return available;
}

QTimer* makeTimer(QObject* parent, const char* name, int interval, bool singleShot) {
    auto* timer = new QTimer(parent);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setInterval(interval);
    timer->setSingleShot(singleShot);
    return timer;
}

} // namespace

TrayIcon::TrayIcon(QWidget* mainWindow, QObject* parent)
    : QObject(parent), m_mainWindow(mainWindow), m_tray(new QSystemTrayIcon(this)),
      m_menu(new QMenu), m_animationTimer(makeTimer(this, "animationTimer", FrameInterval, false)),
      m_clickWait(makeTimer(this, "clickWait", ClickWait, true)),
      m_deferTimer(makeTimer(this, "deferTimer", 0, true)),
      m_icon(programIcon()), m_frames{trayFrame(1), trayFrame(2)} {
    buildMenu();
    m_tray->setContextMenu(m_menu);
    connect(m_tray, &QSystemTrayIcon::activated, this, &TrayIcon::onActivated);
    connect(m_animationTimer, &QTimer::timeout, this, &TrayIcon::nextFrame);
    connect(m_clickWait, &QTimer::timeout, this, &TrayIcon::clicked);
    connect(m_deferTimer, &QTimer::timeout, this, [this] {
        // Taken out first: the call may defer another.
        auto call = std::exchange(m_deferred, nullptr);
        if (call) call();
    });
    if (m_mainWindow) m_mainWindow->installEventFilter(this);
    setHint(QStringLiteral("Mailvane (right click)"));
    updateShownIcon();
}

TrayIcon::~TrayIcon() {
    if (m_mainWindow) m_mainWindow->removeEventFilter(this);
    delete m_menu;
}

bool TrayIcon::trayAvailable() {
    return availabilityOverride().value_or(QSystemTrayIcon::isSystemTrayAvailable());
}

QString TrayIcon::unavailableText() {
    return QStringLiteral("This desktop has no notification area, so Mailvane stays in its window "
                          "instead of hiding in the tray.");
}

void TrayIcon::overrideTrayAvailable(std::optional<bool> available) {
    availabilityOverride() = available;
}

bool TrayIcon::setActive(bool active) {
    if (active == m_active) return true;
    if (active && !trayAvailable()) return false;
    m_active = active;
    if (!active) stopAnimation();
    updateShownIcon();
    m_tray->setVisible(active);
    if (active && m_state == State::Animated) startAnimation();
    return true;
}

void TrayIcon::setState(State state) {
    if (state == m_state) return;
    stopAnimation();
    m_state = state;
    updateShownIcon();
    if (m_active && state == State::Animated) startAnimation();
}

void TrayIcon::setIcon(const QIcon& icon) {
    m_icon = icon;
    updateShownIcon();
}

void TrayIcon::setCancelled(bool cancelled) {
    setIcon(cancelled ? buttonIcon(ButtonPicture::Hammer) : programIcon());
}

QIcon TrayIcon::shownIcon() const {
    return m_tray->icon();
}

void TrayIcon::updateShownIcon() {
    // Until the animation runs (the icon is put into the tray), its first frame stands.
    m_tray->setIcon(m_state == State::Animated ? m_frames[m_animating ? m_shownFrame : 0] : m_icon);
}

void TrayIcon::startAnimation() {
    m_animationTimer->stop();
    m_animating = true;
    m_nextFrame = 0;
    nextFrame();
    m_animationTimer->start();
}

void TrayIcon::stopAnimation() {
    m_animationTimer->stop();
    m_animating = false;
}

void TrayIcon::nextFrame() {
    m_shownFrame = m_nextFrame;
    m_nextFrame = (m_nextFrame + 1) % 2;
    updateShownIcon();
}

void TrayIcon::setHint(const QString& hint) {
    m_hint = hint;
    m_tray->setToolTip(toolTip());
}

void TrayIcon::setAutoPopup(bool on) {
    m_autoPopup = on;
    // Without a context menu the platform reports the right click as an activation, which then
    // counts as a click like any other button.
    m_tray->setContextMenu(on ? m_menu : nullptr);
}

void TrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Context:
        // The platform opened the menu itself.
        if (!m_autoPopup) onPress();
        break;
    case QSystemTrayIcon::Trigger:
    case QSystemTrayIcon::MiddleClick:
        onPress();
        break;
    case QSystemTrayIcon::DoubleClick:
        m_clickWait->stop();
        emit doubleClicked();
        break;
    case QSystemTrayIcon::Unknown:
        break;
    }
}

void TrayIcon::onPress() {
    // A press is a click only once no second press has made it a double click; without a listener
    // for double clicks there is nothing to wait for.
    if (listensForDoubleClicks())
        m_clickWait->start();
    else
        defer([this] { emit clicked(); });
}

bool TrayIcon::listensForDoubleClicks() const {
    return isSignalConnected(QMetaMethod::fromSignal(&TrayIcon::doubleClicked));
}

void TrayIcon::buildMenu() {
    m_menu->setObjectName(QStringLiteral("popTray"));
    m_actions.checkMail = addAction(m_menu, QStringLiteral("Check e-mail for spam"), "Show1");
    m_actions.launchMailer =
        addAction(m_menu, QStringLiteral("Launch e-mail program"), "LaunchEmailprogram1");
    m_menu->addSeparator();
    m_actions.mainScreen = addAction(m_menu, QStringLiteral("Main screen"), "ShowMainScreen1");
    QMenu* settings = m_menu->addMenu(QStringLiteral("Settings"));
    settings->setObjectName(QStringLiteral("Settings1"));
    m_actions.spamSettings = addAction(settings, QStringLiteral("Spam"), "Spam1");
    m_actions.generalSettings = addAction(settings, QStringLiteral("General"), "General1");
    m_actions.viewLog = addAction(settings, QStringLiteral("View log file"), "ViewLogFile1");
    m_actions.statistics = addAction(m_menu, QStringLiteral("Statistics"), "Statistics1");
    m_menu->addSeparator();
    m_actions.enableAutomatic =
        addAction(m_menu, QStringLiteral("Enable automatic check"), "EnableAutomatic1");
    m_actions.disableAutomatic =
        addAction(m_menu, QStringLiteral("Disable automatic check"), "DisableAutomatic1");
    auto* automaticGroup = new QActionGroup(m_menu);
    for (QAction* radio : {m_actions.enableAutomatic, m_actions.disableAutomatic}) {
        radio->setCheckable(true);
        automaticGroup->addAction(radio);
    }
    m_actions.disableAutomatic->setChecked(true);
    m_menu->addSeparator();
    QMenu* helpInfo = m_menu->addMenu(QStringLiteral("Help/Info"));
    helpInfo->setObjectName(QStringLiteral("HelpInfo1"));
    m_actions.help = addAction(helpInfo, QStringLiteral("Help"), "Help1");
    m_actions.about = addAction(helpInfo, QStringLiteral("About"), "About1");
    m_menu->addSeparator();
    m_actions.exit = addAction(m_menu, QStringLiteral("Exit"), "Exit1");
}

QAction* TrayIcon::addAction(QMenu* menu, const QString& text, const char* objectName) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(objectName));
    return action;
}

void TrayIcon::setAutomatic(bool on) {
    (on ? m_actions.enableAutomatic : m_actions.disableAutomatic)->setChecked(true);
}

void TrayIcon::notify(const QString& title, const QString& text) {
    if (m_active && QSystemTrayIcon::supportsMessages())
        m_tray->showMessage(title, text, QSystemTrayIcon::Information);
}

void TrayIcon::hideApplication() {
    // Last window first, so that dialogs go before the window they belong to.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        QWidget* window = *it;
        if (!window->isVisible() || window->windowType() == Qt::Popup) continue;
        // A window without modal loop (the progress window) only hides: its close means Cancel.
        auto* dialog = qobject_cast<QDialog*>(window);
        if (window == m_mainWindow || (dialog && !dialog->isModal()))
            window->hide();
        else
            window->close();
    }
    m_hidden = true;
}

void TrayIcon::showApplication() {
    defer([this] {
        m_hidden = false;
        if (!m_mainWindow) return;
        m_mainWindow->setWindowState(m_mainWindow->windowState() & ~Qt::WindowMinimized);
        m_mainWindow->show();
        m_mainWindow->raise();
        m_mainWindow->activateWindow();
    });
}

int TrayIcon::showModal(QDialog* dialog) {
    if (dialog->isVisible()) {
        dialog->raise();
        dialog->activateWindow();
        return 0;
    }
    return dialog->exec();
}

void TrayIcon::defer(std::function<void()> call) {
    m_deferred = std::move(call);
    m_deferTimer->start();
}

bool TrayIcon::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_mainWindow && event->type() == QEvent::WindowStateChange) {
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        const bool wasMinimized = change->oldState() & Qt::WindowMinimized;
        const bool isMinimized = m_mainWindow->windowState() & Qt::WindowMinimized;
        // Minimising puts the program into the tray, when there is one to come back from.
        if (isMinimized && !wasMinimized && m_active) defer([this] { hideApplication(); });
    }
    return QObject::eventFilter(watched, event);
}

} // namespace mv::gui
