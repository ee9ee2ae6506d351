// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// SIGTERM (the session logging out, a service manager stopping the program) and SIGINT (Ctrl+C in
// a terminal) taken as the user's Exit. The signal handler only writes a byte into a pipe; the
// event loop reads it and reports exitRequested, so the program ends the way Exit ends it: a
// running check cancelled first, the server's session closed with QUIT, no file left half written.
// One object for the life of the application.
#include <QObject>

class QSocketNotifier;

namespace mv::gui {

class SignalExit final : public QObject {
    Q_OBJECT
public:
    // Catches the two signals from now on. Call it first in main: a signal that arrives before
    // the event loop runs waits in the pipe and is reported once the loop (or a start-up box's
    // loop) runs.
    static void catchSignals();

    // Watches the pipe; catchSignals() must have been called.
    explicit SignalExit(QObject* parent = nullptr);

signals:
    void exitRequested();

private:
    void readPipe();

    QSocketNotifier* m_notifier;
};

} // namespace mv::gui
