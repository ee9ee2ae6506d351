#pragma once
// The desktop program over a real Dovecot on loopback, in a temporary home with two subject rules
// ("viagra" deletes, "maybe" questions), for tests that drive its windows with QTest.
#include "app/ControllerFixture.h"
#include "app/settings/TempHome.h"
#include "base/Files.h"
#include "gui/app/Desktop.h"
#include "gui/app/MainWindow.h"
#include "gui/widgets/MessageBox.h"
#include "support/DovecotSuite.h"
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

class DesktopTest : public mv::test::DovecotSuite {
protected:
    void SetUp() override {
        DovecotSuite::SetUp();
        if (IsSkipped()) return;
        // Unknown-domain check off: the tests must not ask the internet's name servers.
        writeFileAtomically(m_temp.dir() / "mailvane.ini", "[Known]\r\nValid=0\r\n");
        writeFileAtomically(m_temp.dir() / "subj.lst",
                            "6,3\r\n1,1,Contains\r\n2,1,viagra\r\n3,1,No\r\n4,1,Yes\r\n5,1,0\r\n"
                            "1,2,Contains\r\n2,2,maybe\r\n3,2,No\r\n4,2,No\r\n5,2,0\r\n");
        setAccount(1, server->plainServer());
        m_settings.writeString(Setting::Logfile, logPath().string());
        MessageBox::takeShown();
    }
    void TearDown() override {
        m_desktop.reset(); // ends any session before the mailbox is emptied
        DovecotSuite::TearDown();
    }
    void setAccount(int n, const std::string& host) {
        m_settings.saveAccount(n, {host, mv::test::DovecotServer::kUser,
                                   mv::test::DovecotServer::kPassword, TlsMode::None, ""});
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
    std::filesystem::path logPath() const { return m_temp.dir() / "logfile.txt"; }
    std::string log() const { return readFile(logPath()).value_or(""); }
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

    mv::test::TempHome m_temp;
    HomeFolder m_home{m_temp.dir()};
    SettingsStore m_settings{m_home.settingsFile()};
    std::unique_ptr<Desktop> m_desktop;
    int m_ended = 0;
};

} // namespace mv::gui::test
