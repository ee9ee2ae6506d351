#pragma once
// What the statistics window tests share: the demo log in a temporary folder, the figures
// mailvane-cli gives for it, widgets found by name, and modal windows handled from inside their
// event loop.
#include "cli/CliRunner.h"
#include "gui/stats/DemoActivityLog.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

// Failure messages show texts as texts.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace mv::test {

class StatsLogTest : public ::testing::Test {
protected:
    StatsLogTest() {
        m_cli.clock().set(demoNow());
        writeDemoActivityLog(m_log, demoFirstDay(), demoNow(), m_regional);
    }

    // `mailvane-cli stats --json` for the log with the given options.
    QJsonObject cliFigures(std::vector<std::string> options = {}) {
        std::vector<std::string> words{"stats", "--log", m_log.string(), "--json"};
        words.insert(words.end(), options.begin(), options.end());
        CliResult r = m_cli.run(words);
        EXPECT_EQ(r.code, 0) << r.err;
        return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    }

    CliRunner m_cli;
    const RegionalSettings m_regional; // the command line's, United States English
    FixedClock m_clock{demoNow()};
    std::filesystem::path m_log = m_cli.home() / "logfile.txt";
};

template <class W> W* child(QWidget* parent, const char* name) {
    W* w = parent->findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// Runs `act` on the active modal window as soon as there is one (work done before the window's
// event loop starts, like reading the log, may look at events first).
inline void whenModal(std::function<void(QWidget*)> act) {
    auto* poll = new QTimer(qApp);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        poll->stop();
        poll->deleteLater();
        act(modal);
    });
    poll->start();
}

} // namespace mv::test
