// The desktop program's own figures, printed one per line (measurements, not pass or fail):
//   startup_ms      from entering main to the first paint of the main window
//   idle_rss_mb     resident memory of the idle program after start-up
//   check_N_*       a check of N messages from a real Dovecot shown in the list: wall time, rows
//                   shown, and the longest gap between two ticks of a 5 ms timer during the check
//                   (how long the windows went without processing events) and when it ended, on
//                   plain loopback and
//                   through a proxy adding a 10 ms round trip
//   after_check_rss_mb  resident memory with the largest list shown
// Offscreen unless a display is chosen.
#include "DelayProxy.h"
#include "app/settings/TempHome.h"
#include "gui/app/Desktop.h"
#include "gui/widgets/MessageBox.h"
#include "support/DovecotServer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <QTimer>
#include <chrono>
#include <fstream>
#include <string>

namespace {

using mv::test::DovecotServer;

double residentMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

void print(const QString& name, double value) {
    QTextStream(stdout) << name << " " << QString::number(value, 'f', 1) << "\n";
}

// Stops at the first paint of the main window.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QElapsedTimer& clock) : m_clock(clock) {}
    qint64 elapsed = -1;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && elapsed < 0) elapsed = m_clock.elapsed();
        return false;
    }

private:
    QElapsedTimer& m_clock;
};

std::string message(int n) {
    std::string id = std::to_string(n);
    return "Received: from mx.deals.example.com (mx.deals.example.com [192.0.2.17])\r\n"
           "\tby mail.example.org; Wed, 9 Dec 2026 10:15:02 +0000\r\n"
           "From: \"Deals Team\" <offers" +
           id +
           "@deals.example.com>\r\n"
           "To: bob@example.org\r\nSubject: Your weekly selection, number " +
           id + "\r\nDate: Wed, 9 Dec 2026 10:15:00 +0000\r\nMessage-ID: <" + id +
           "@deals.example.com>\r\nMIME-Version: 1.0\r\nContent-Type: text/plain\r\n\r\n"
           "Hello, here is this week's selection.\r\n";
}

// Checks the mailbox at `server` once in a fresh desktop over `home`; prints the figures.
void benchCheck(const QString& label, const std::filesystem::path& dir, const std::string& server) {
    mv::HomeFolder home(dir);
    {
        mv::SettingsStore settings(home.settingsFile());
        settings.saveAccount(
            1, {server, DovecotServer::kUser, DovecotServer::kPassword, mv::TlsMode::None, ""});
    }
    mv::gui::Desktop desktop(home, mv::RegionalSettings::usEnglish());
    desktop.start();
    QElapsedTimer clock;
    qint64 last = 0, longest = 0, longestEnd = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        qint64 now = clock.elapsed();
        if (now - last > longest) {
            longest = now - last;
            longestEnd = now;
        }
        last = now;
    });
    clock.start();
    ticker.start();
    desktop.check();
    qint64 total = clock.elapsed();
    if (total - last > longest) {
        longest = total - last;
        longestEnd = total;
    }
    print(label + "_wall_ms", static_cast<double>(total));
    print(label + "_rows_shown", desktop.model().rowCount());
    print(label + "_longest_gap_ms", static_cast<double>(longest));
    print(label + "_longest_gap_ended_at_ms", static_cast<double>(longestEnd));
    print(QStringLiteral("after_check_rss_mb"), residentMegabytes());
}

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceMain;
    sinceMain.start();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    mv::gui::MessageBox::setTestMode(true);
    mv::test::TempHome dir;
    {
        // Unknown-domain check off: the figures must not wait on the internet's name servers.
        std::ofstream(dir.dir() / "mailvane.ini") << "[Known]\r\nValid=0\r\n";
        mv::HomeFolder home(dir.dir());
        FirstPaint paint(sinceMain);
        mv::gui::Desktop desktop(home, mv::RegionalSettings::usEnglish());
        desktop.mainWindow().installEventFilter(&paint);
        desktop.start();
        while (paint.elapsed < 0 && sinceMain.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        print(QStringLiteral("startup_ms"), static_cast<double>(paint.elapsed));
        QElapsedTimer idle;
        idle.start();
        while (idle.elapsed() < 1000)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        print(QStringLiteral("idle_rss_mb"), residentMegabytes());
    }

    if (!DovecotServer::unavailableReason().empty()) {
        QTextStream(stderr) << "no Dovecot: "
                            << QString::fromStdString(DovecotServer::unavailableReason()) << "\n";
        return 0;
    }
    DovecotServer server;
    const int count = argc > 1 ? std::atoi(argv[1]) : 5000;
    for (int i = 0; i < count; ++i)
        server.deliver(message(i));
    benchCheck(QStringLiteral("check_%1_loopback").arg(count), dir.dir(), server.plainServer());
    mv::bench::DelayProxy slow(server.pop3Port(), 5);
    benchCheck(QStringLiteral("check_%1_10ms_rtt").arg(count), dir.dir(),
               "127.0.0.1:" + std::to_string(slow.port()));
    return 0;
}
