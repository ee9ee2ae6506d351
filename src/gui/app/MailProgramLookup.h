// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop's mail program, asked aside: xdg-mime may take seconds, and the window that wants
// the answer stays live meanwhile. The answer arrives once through `found`, on the GUI thread.
// Lives with its window; one dropped before the answer came leaves its thread to finish alone.
#include "app/settings/MailProgramFinder.h"

#include <QObject>
#include <QTimer>
#include <future>
#include <string>

namespace mv::gui {

class MailProgramLookup final : public QObject {
    Q_OBJECT
public:
    explicit MailProgramLookup(QObject* parent = nullptr);

    // Starts a lookup in `environment`, unless one is running.
    void start(const Environment& environment);

signals:
    // The mail program's command, or empty when there is none.
    void found(const QString& command);

private:
    void poll();

    std::future<std::string> m_answer;
    QTimer m_poll;
};

} // namespace mv::gui
