#pragma once
// Modal windows in tests: each runs its own event loop inside exec(), so a test answers one by
// queueing the answer before the click that opens it; the answer runs once the window shows.
#include <QApplication>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace mv::test {

// Runs `act` on the next modal window of type D once it is shown (within five seconds).
template <class D = QWidget> void whenModal(std::function<void(D&)> act) {
    auto* poll = new QTimer;
    auto started = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, act, started] {
        if (++*started > 500) {
            poll->deleteLater();
            ADD_FAILURE() << "no modal window of the expected kind appeared";
            return;
        }
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        act(*dialog);
    });
    poll->start(10);
}

// Closes the next modal window unseen, as a user dismissing it would.
inline void closeNextModal() {
    whenModal<QWidget>([](QWidget& window) { window.close(); });
}

} // namespace mv::test
