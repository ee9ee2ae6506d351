#pragma once
// The program's icon in the desktop's notification area: plain, animated while automatic checking
// is on, a tooltip with the check status, the tray menu, single and double clicks, and hiding the
// whole program into the tray and bringing it back.
//
// Desktops without a notification area exist (and the offscreen platform of the tests has none):
// then the icon never becomes active, `setActive(true)` answers false, and the caller keeps its
// main window on screen. Everything else (state, frames, hint, menu, clicks) works the same with or
// without a tray, so it is tested offscreen.
#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <functional>
#include <optional>

class QAction;
class QDialog;
class QTimer;
class QWidget;

namespace mv::gui {

// The commands of the tray menu, for the main window to connect and tests to trigger.
struct TrayActions {
    QAction* checkMail = nullptr;        // "Check e-mail for spam"
    QAction* launchMailer = nullptr;     // "Launch e-mail program"
    QAction* mainScreen = nullptr;       // "Main screen"
    QAction* spamSettings = nullptr;     // "Settings" > "Spam"
    QAction* generalSettings = nullptr;  // "Settings" > "General"
    QAction* viewLog = nullptr;          // "Settings" > "View log file"
    QAction* statistics = nullptr;       // "Statistics"
    QAction* enableAutomatic = nullptr;  // radio item
    QAction* disableAutomatic = nullptr; // radio item, checked at first
    QAction* help = nullptr;             // "Help/Info" > "Help"
    QAction* about = nullptr;            // "Help/Info" > "About"
    QAction* exit = nullptr;             // "Exit"; "Cancel" while a check runs
};

class TrayIcon : public QObject {
    Q_OBJECT
public:
    enum class State { Enabled, Animated };

    static constexpr int HintLimit = 63;
    static constexpr int FrameInterval = 1000;
    static constexpr int ClickWait = 400;

    // `mainWindow` is the window that hiding into the tray hides and showing brings back.
    explicit TrayIcon(QWidget* mainWindow, QObject* parent = nullptr);
    ~TrayIcon() override;

    // Whether this desktop has a notification area at all.
    static bool trayAvailable();
    // What the main window tells the user, once, when setActive(true) found no tray.
    static QString unavailableText();
    // Tests pretend a tray exists (true) or not (false); nullopt asks the desktop again.
    static void overrideTrayAvailable(std::optional<bool> available);

    // Puts the icon into the notification area (true) or takes it out. Answers whether the icon
    // is now where it was asked to be: false when there is no tray to put it in.
    bool setActive(bool active);
    bool isActive() const { return m_active; }

    // Enabled shows the plain icon, Animated the two frames of the automatic mode, one a second,
    // the first at once.
    void setState(State state);
    State state() const { return m_state; }
    // After a cancelled check the plain icon becomes the hammer; false brings the program icon
    // back.
    void setCancelled(bool cancelled);

    // The picture the notification area shows now.
    QIcon shownIcon() const;
    // The animation frame shown now (0 or 1); -1 when not animating.
    int shownFrame() const { return m_animating ? m_shownFrame : -1; }

    // The tooltip is the hint's first 63 characters.
    void setHint(const QString& hint);
    QString hint() const { return m_hint; }
    QString toolTip() const { return m_hint.left(HintLimit); }

    // With auto-popup on, a right click opens the tray menu; off (during a check) it is a click.
    void setAutoPopup(bool on);
    bool autoPopup() const { return m_autoPopup; }

    QMenu* menu() const { return m_menu; }
    const TrayActions& actions() const { return m_actions; }
    // Checks the radio item of the automatic mode.
    void setAutomatic(bool on);

    // A desktop notification, when the icon is in a tray that shows them.
    void notify(const QString& title, const QString& text);

    // Hides every window of the program (the main window hidden, the others closed) so that no
    // window and no task-bar entry remains; the icon stays.
    void hideApplication();
    // Brings the main window back (restored if minimised, raised, activated); deferred so that it
    // never runs inside the tray's own click or menu handling.
    void showApplication();
    bool applicationHidden() const { return m_hidden; }
    // Shows a dialog modally, also while the program is hidden, without bringing the rest back; a
    // dialog already showing is only brought to the front (and 0 returned).
    int showModal(QDialog* dialog);

    // The underlying platform icon (tests emit its activation signal).
    QSystemTrayIcon* systemTrayIcon() const { return m_tray; }

signals:
    // A single press of a mouse button, or after ClickWait when double clicks are also listened to.
    void clicked();
    void doubleClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setIcon(const QIcon& icon);
    void buildMenu();
    QAction* addAction(QMenu* menu, const QString& text, const char* objectName);
    void onActivated(QSystemTrayIcon::ActivationReason reason);
    void onPress();
    void startAnimation();
    void stopAnimation();
    void nextFrame();
    void updateShownIcon();
    bool listensForDoubleClicks() const;
    // Runs `call` once control is back in the event loop; a later call replaces one still waiting.
    void defer(std::function<void()> call);

    QPointer<QWidget> m_mainWindow;
    QSystemTrayIcon* m_tray;
    // Owned here, not by the main window, which may go first or not exist (tests).
    QPointer<QMenu> m_menu;
    TrayActions m_actions;
    QTimer* m_animationTimer;
    QTimer* m_clickWait;
    QTimer* m_deferTimer;
    std::function<void()> m_deferred;

    bool m_active = false;
    bool m_autoPopup = true;
    bool m_hidden = false;
    bool m_animating = false;
    State m_state = State::Enabled;
    QIcon m_icon;
    QIcon m_frames[2];
    int m_nextFrame = 0;
    int m_shownFrame = 0;
    QString m_hint;
};

} // namespace mv::gui
