// SPDX-License-Identifier: GPL-3.0-or-later
// How long the desktop program's windows go without processing events while it waits on something
// slow, printed one per line as the longest gap between two ticks of a 5 ms timer (measurements,
// not pass or fail; each should stay under 50 ms):
//   general_settings_1s_helpers_longest_gap_ms  opening General settings while the stand-ins for
//                                               nmcli and xdg-mime take 1 s per call
//   home_lock_3s_check_longest_gap_ms           a check while another process holds the home's
//                                               lock for 3 s
//   body_8mb_view_longest_gap_ms                downloading, decoding and showing an 8 MB body
//   keyring_1s_check_longest_gap_ms             a check whose password lookup takes 1 s
// Offscreen unless a display is chosen; needs Dovecot for the last three.
#include "app/settings/PasswordKeyring.h"
#include "app/settings/TempHome.h"
#include "base/Files.h"
#include "gui/app/Desktop.h"
#include "gui/widgets/MessageBox.h"
#include "support/DovecotServer.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTextStream>
#include <QTimer>
#include <QTreeView>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

namespace {

namespace fs = std::filesystem;
using mv::test::DovecotServer;

void print(const QString& name, qint64 value) {
    QTextStream(stdout) << name << " " << value << "\n";
}

// The longest time the event loop went without running a 5 ms timer while `action` ran.
qint64 longestStall(const std::function<void()>& action) {
    QElapsedTimer clock;
    qint64 last = 0, longest = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    clock.start();
    ticker.start();
    action();
    return std::max(longest, clock.elapsed() - last);
}

// Runs `act` on each modal window named `name` that shows, until `poll` is destroyed.
void whenShown(QTimer& poll, const QString& name, std::function<void(QDialog&)> act) {
    QObject::connect(&poll, &QTimer::timeout, [name, act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible() && dialog->objectName() == name) act(*dialog);
    });
    poll.start(10);
}

void writeProgram(const fs::path& path, const std::string& script) {
    mv::writeFileAtomically(path, "#!/bin/sh\n" + script);
    fs::permissions(path, fs::perms::owner_all);
}

// A fresh home whose mailbox 1 is `server`, with the unknown-domain check off.
struct BenchHome {
    explicit BenchHome(const std::string& server,
                       std::shared_ptr<mv::PasswordKeyring> keyring = nullptr) {
        std::ofstream(dir.dir() / "mailvane.ini") << "[Known]\r\nValid=0\r\n";
        mv::SettingsStore settings(home.settingsFile());
        settings.usePasswordKeyring(std::move(keyring));
        settings.saveAccount(
            1, {server, DovecotServer::kUser, DovecotServer::kPassword, mv::TlsMode::None, ""});
    }
    mv::test::TempHome dir;
    mv::HomeFolder home{dir.dir()};
};

qint64 generalSettingsWithSlowHelpers() {
    mv::test::TempHome programs;
    const fs::path bin = programs.dir() / "bin", apps = programs.dir() / "applications";
    fs::create_directories(bin);
    fs::create_directories(apps);
    writeProgram(bin / "nmcli",
                 "sleep 1\ncase \"$*\" in *RUNNING*) echo running;; *NAME*) echo VPN;; esac\n");
    writeProgram(bin / "xdg-mime", "sleep 1\necho mailer.desktop\n");
    mv::writeFileAtomically(apps / "mailer.desktop", "[Desktop Entry]\nExec=mailer %u\n");
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QByteArray::fromStdString(bin.string()) + ":" + path);
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(programs.dir().string()));

    BenchHome bench("127.0.0.1:1");
    mv::gui::Desktop desktop(bench.home, mv::RegionalSettings::usEnglish());
    desktop.start();
    // Closed once xdg-mime's answer has filled the mail program's field.
    QTimer poll;
    whenShown(poll, QStringLiteral("frmGeneral"), [](QDialog& window) {
        if (!window.findChild<QLineEdit*>(QStringLiteral("edMail"))->text().isEmpty())
            window.reject();
    });
    qint64 stall = longestStall([&] { desktop.generalSettings(); });
    qputenv("PATH", path);
    qunsetenv("XDG_DATA_HOME");
    return stall;
}

qint64 checkWhileTheHomeIsHeld(const DovecotServer& server) {
    BenchHome bench(server.plainServer());
    mv::gui::Desktop desktop(bench.home, mv::RegionalSettings::usEnglish());
    desktop.start();
    QProcess holder;
    holder.start(QStringLiteral("flock"),
                 {QString::fromStdString(bench.home.lockFile().string()), "sleep", "3"});
    holder.waitForStarted();
    std::this_thread::sleep_for(std::chrono::milliseconds(200)); // flock has taken it
    qint64 stall = longestStall([&] { desktop.check(); });
    holder.waitForFinished();
    mv::gui::MessageBox::takeShown();
    return stall;
}

std::string largeMessage() {
    // 6 MB of text lines, base64-encoded to 8 MB as a mail program would send them.
    std::string text;
    while (text.size() < 6'000'000)
        text += "A line of a long report, line after line after line after line.\r\n";
    static const char* const digits =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string encoded;
    for (std::size_t i = 0; i + 2 < text.size(); i += 3) {
        const unsigned v = (static_cast<unsigned char>(text[i]) << 16) |
                           (static_cast<unsigned char>(text[i + 1]) << 8) |
                           static_cast<unsigned char>(text[i + 2]);
        for (int shift : {18, 12, 6, 0})
            encoded += digits[(v >> shift) & 63];
        if (encoded.size() % 78 == 76) encoded += "\r\n";
    }
    return "From: a@example.com\r\nTo: bob@example.com\r\nSubject: Large report\r\n"
           "Date: Wed, 9 Dec 2026 10:15:00 +0000\r\nMIME-Version: 1.0\r\n"
           "Content-Type: text/plain; charset=us-ascii\r\n"
           "Content-Transfer-Encoding: base64\r\n\r\n" +
           encoded + "\r\n";
}

qint64 viewLargeBody(DovecotServer& server) {
    server.deliver(largeMessage());
    BenchHome bench(server.plainServer());
    mv::gui::Desktop desktop(bench.home, mv::RegionalSettings::usEnglish());
    desktop.start();
    desktop.check();
    QTreeView* list = desktop.mainWindow().list();
    list->selectionModel()->select(list->model()->index(0, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    mv::gui::MessageBox::queueAnswer(true); // "quite large - ... Are you sure?"
    QTimer poll;
    // Closed once the whole body is in the viewer: about 91,000 lines.
    whenShown(poll, QStringLiteral("TfrmViewHeader"), [](QDialog& viewer) {
        if (viewer.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))->blockCount() > 90000)
            viewer.accept();
    });
    return longestStall([&] { emit desktop.mainWindow().viewBodyClicked(); });
}

// A keyring whose every call takes a second, as one waiting on its unlock prompt does.
class SlowKeyring final : public mv::PasswordKeyring {
public:
    bool available() const override { return true; }
    bool store(const fs::path&, int, const std::string& password) override {
        pause();
        m_password = password;
        return true;
    }
    std::optional<std::string> lookup(const fs::path&, int) override {
        pause();
        return m_password;
    }
    void remove(const fs::path&, int) override { pause(); }

private:
    static void pause() { std::this_thread::sleep_for(std::chrono::seconds(1)); }
    std::string m_password;
};

qint64 checkWithSlowKeyring(const DovecotServer& server) {
    // As the desktop program sets it up: the keyring asked aside with the windows live.
    auto keyring = mv::keyringCalledAside(std::make_shared<SlowKeyring>(),
                                          [] { QCoreApplication::processEvents(); });
    BenchHome bench(server.plainServer(), keyring);
    mv::gui::Desktop desktop(bench.home, mv::RegionalSettings::usEnglish());
    desktop.controller().settings().usePasswordKeyring(keyring);
    desktop.start();
    return longestStall([&] { desktop.check(); });
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    mv::gui::MessageBox::setTestMode(true);
    print(QStringLiteral("general_settings_1s_helpers_longest_gap_ms"),
          generalSettingsWithSlowHelpers());
    if (!DovecotServer::unavailableReason().empty()) {
        QTextStream(stderr) << "no Dovecot: "
                            << QString::fromStdString(DovecotServer::unavailableReason()) << "\n";
        return 0;
    }
    DovecotServer server;
    print(QStringLiteral("home_lock_3s_check_longest_gap_ms"), checkWhileTheHomeIsHeld(server));
    print(QStringLiteral("keyring_1s_check_longest_gap_ms"), checkWithSlowKeyring(server));
    print(QStringLiteral("body_8mb_view_longest_gap_ms"), viewLargeBody(server));
    return 0;
}
