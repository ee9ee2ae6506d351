#pragma once
// The desktop program itself: the settings store, the controller and its list commands, the main
// window with its list, the progress window, the tray icon and the automatic timer, wired together.
// Commands from the windows and the tray arrive here; each asks the controller and leaves the
// presenting to the view bridge. One command runs at a time: a check, a deletion or an automatic
// run is never started inside another, and an exit during one cancels it first and ends the
// program once it has unwound.
#include "app/CheckController.h"
#include "app/ListCommands.h"
#include "app/settings/HomeFolder.h"
#include "app/settings/SettingsStore.h"
#include "base/DateTime.h"
#include "base/RegionalSettings.h"
#include "gui/app/DesktopPlatform.h"
#include "gui/app/DesktopView.h"
#include "gui/app/MainWindow.h"
#include "gui/app/MessageListModel.h"
#include "gui/app/ProgressWindow.h"
#include "gui/desktop/SoundPlayer.h"
#include "gui/desktop/TrayIcon.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

namespace mv::gui {

class Desktop final : public QObject {
    Q_OBJECT
public:
    Desktop(const HomeFolder& home, RegionalSettings regional);
    ~Desktop() override;

    // The single-instance name for a home folder: one program per home, so a demo or a second
    // home of the same user runs beside the usual one.
    static QString instanceName(const HomeFolder& home);

    // The main window's creation steps; shows it unless in tray mode.
    void start();

    CheckController& controller() { return m_controller; }
    ListCommands& listCommands() { return m_list; }
    TfrmMain& mainWindow() { return m_main; }
    TfrmRetrieving& progressWindow() { return m_progress; }
    MessageListModel& model() { return m_model; }
    QTimer& automaticTimer() { return m_timer1; }
    TrayIcon& tray() { return m_tray; }
    SoundPlayer& sound() { return m_sound; }
    // True once the program is ending: no more boxes are shown.
    bool ending() const { return m_ending; }

    // --- Commands ---
    void check();
    void trayCheck();
    // The exit button: cancel while an operation runs, else hide (tray mode) or end.
    void exitButton();
    // The tray's "Exit" and the title bar's close: end the program, cancelling a running
    // operation first.
    void requestExit();
    // The tray's exit item: "Cancel" while an operation runs, else the exit.
    void trayExit();
    void cancelFromProgress();
    void deleteMarked();
    void launchMailProgram();
    void generalSettings();
    void spamSettings();
    void statistics();
    void about();
    void help();
    void setAutomatic(bool on);
    void showMain();
    void viewLog();
    void timerTick();

    // --- What the view bridge asks ---
    bool mainWindowVisible() const;
    void hideToTray();
    void automaticModeChanged(bool automatic);
    void setTrayHint(const QString& hint);
    void setExitCaption(const QString& caption);
    void playSound(const QString& file, bool loop);
    void stopSound();
    void setBusy(bool busy);
    void openSettingsFromController();
    // The parent of a message box; the start-up splash goes first so that it never covers the box.
    QWidget* boxParent();

signals:
    // The program ended (after a clean QUIT of any session kept open); the application quits.
    void ended();
    // A desktop notification went to the tray after an automatic run.
    void notified(const QString& text);

private:
    // Counts the commands on the stack; the exit that was asked for during one runs when the
    // outermost one returns.
    class Running {
    public:
        explicit Running(Desktop& desktop);
        ~Running();
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;

    private:
        Desktop& m_desktop;
    };

    void connectMainWindow();
    void connectTray();
    // The user pressed a cancel: the operation ends and the tray shows the hammer until the next
    // check.
    void cancelOperation(bool fromProgress);
    // True when a command may not start now (another one runs or the program ends).
    bool blocked() const;
    // blocked(), and then a modal window that is open is brought to the front.
    bool blockedRaisingOpenWindow();
    // A modal window opened with the alarm stopped and the automatic timer paused around it.
    void withTimerPaused(const std::function<void()>& open);
    // After a window from the tray closed: never leave the program without a window or an icon.
    void keepReachable();
    void finishExit();
    // Closes the modal windows on the stack so that the commands that opened them return.
    void closeModalWindows();
    bool trayShown() const;
    void notifyAfterRun();

    SystemClock m_clock;
    SettingsStore m_settings;
    SoundPlayer m_sound;
    DesktopPlatform m_platform{*this};
    DesktopView m_view;
    CheckController m_controller;
    ListCommands m_list;
    MessageListModel m_model;
    TfrmMain m_main;
    TfrmRetrieving m_progress;
    TrayIcon m_tray{&m_main};
    QTimer m_timer1;
    QTimer m_exitSweep; // closes modal windows while an asked-for exit waits for a command
    int m_running = 0;
    bool m_exitPending = false;
    bool m_ending = false;
};

} // namespace mv::gui
