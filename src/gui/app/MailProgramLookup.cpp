// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/MailProgramLookup.h"

#include <chrono>
#include <thread>

namespace mv::gui {

namespace {
constexpr int kPollMs = 20;
}

MailProgramLookup::MailProgramLookup(QObject* parent) : QObject(parent) {
    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this, &MailProgramLookup::poll);
}

void MailProgramLookup::start(const Environment& environment) {
    if (m_answer.valid()) return;
    // A packaged task's future, unlike std::async's, does not wait for the thread when dropped.
    std::packaged_task<std::string()> task([environment] { return GetMailPath(environment); });
    m_answer = task.get_future();
    std::thread(std::move(task)).detach();
    m_poll.start();
}

void MailProgramLookup::poll() {
    if (m_answer.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return;
    m_poll.stop();
    emit found(QString::fromStdString(m_answer.get()));
}

} // namespace mv::gui
