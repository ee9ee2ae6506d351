#pragma once
// The desktop program over a real Dovecot on loopback, in a temporary home with two subject rules
// ("viagra" deletes, "maybe" questions), for tests that drive its windows with QTest.
#include "app/ControllerFixture.h"
#include "gui/app/Desktop.h"
#include "gui/app/MainWindow.h"
#include "gui/desktop/TrayIcon.h"
#include "gui/widgets/MessageBox.h"
#include "gui/ModalWindows.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

namespace mv::gui::test {

using mv::test::message;

// Answers the next modal window of type W once it shows: `inspect` looks at it, then it is
// accepted or rejected.
template <class W> void answerNextModal(std::function<void(W&)> inspect, bool accept) {
    mv::test::whenModal<W>([inspect, accept](W& window) {
        inspect(window);
        accept ? window.accept() : window.reject();
    });
}

// Tests that need a notification area pretend to have one, for as long as they live.
struct PretendTray {
    explicit PretendTray(bool present) { TrayIcon::overrideTrayAvailable(present); }
    ~PretendTray() { TrayIcon::overrideTrayAvailable(std::nullopt); }
    PretendTray(const PretendTray&) = delete;
    PretendTray& operator=(const PretendTray&) = delete;
};

class DesktopTest : public mv::test::DovecotHomeTest {
protected:
    void SetUp() override {
        DovecotHomeTest::SetUp();
        if (IsSkipped()) return;
        writeSubjectRules(mv::test::kViagraAndMaybeRules);
        MessageBox::takeShown();
    }
    void TearDown() override {
        m_desktop.reset(); // ends any session before the mailbox is emptied
        DovecotHomeTest::TearDown();
    }
    Desktop& desktop() {
        if (!m_desktop) {
            m_desktop = std::make_unique<Desktop>(m_home, RegionalSettings::usEnglish());
            QObject::connect(m_desktop.get(), &Desktop::ended, [this] { ++m_ended; });
            m_desktop->start();
        }
        return *m_desktop;
    }
    TfrmMain& window() { return desktop().mainWindow(); }
    template <class W = QAbstractButton> W* child(const char* name) {
        return window().findChild<W*>(QString::fromLatin1(name));
    }
    void click(const char* name) {
        QAbstractButton* button = child(name);
        ASSERT_NE(button, nullptr) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    static int count(const std::string& text, const std::string& part) {
        int n = 0;
        for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
            ++n;
        return n;
    }
    // Runs `action` once, when the list receives row number `row` (1-based) during a check.
    void atRow(int row, std::function<void()> action) {
        auto connection = std::make_shared<QMetaObject::Connection>();
        *connection =
            QObject::connect(&desktop().model(), &QAbstractItemModel::rowsInserted,
                             [this, row, action, connection](const QModelIndex&, int, int last) {
                                 if (last + 1 < row) return;
                                 QObject::disconnect(*connection);
                                 action();
                             });
    }

    std::unique_ptr<Desktop> m_desktop;
    int m_ended = 0;
};

} // namespace mv::gui::test
