// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/desktop/SignalExit.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace mv::gui {

namespace {

int g_pipe[2] = {-1, -1};

// Async-signal-safe: write(2) only, errno kept for the code the signal interrupted.
void onSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

} // namespace

void SignalExit::catchSignals() {
    if (g_pipe[0] >= 0) return;
    // Non-blocking both ways: a burst of signals never blocks the handler, and reading stops
    // at an empty pipe.
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error("Unable to watch for termination signals");
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT})
        ::sigaction(signal, &action, nullptr);
}

SignalExit::SignalExit(QObject* parent)
    : QObject(parent), m_notifier(new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this)) {
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalExit::readPipe);
}

void SignalExit::readPipe() {
    char bytes[16];
    while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
    }
    emit exitRequested();
}

} // namespace mv::gui
