#pragma once
// The controller over a real Dovecot on loopback, a recording view and platform, a fixed clock and
// a temporary home: the set-ups that the controller, command-line and window tests share.
#include "app/CheckController.h"
#include "app/RecordingView.h"
#include "app/settings/TempHome.h"
#include "base/Files.h"
#include "support/DovecotServer.h"
#include "support/DovecotSuite.h"

#include <gtest/gtest.h>

#include <memory>

namespace mv::test {

inline constexpr const char* kStamp = "Mon 3/16/1998 5:04 PM";

inline std::string message(const std::string& subject, const std::string& from = "a@example.com",
                           const std::string& date = "Mon, 16 Mar 1998 10:00:00 +0000") {
    std::string text = "Subject: " + subject + "\r\n";
    if (!from.empty()) text += "From: " + from + "\r\n";
    return text + "To: bob@example.com\r\nDate: " + date + "\r\n\r\nHello\r\n";
}

// Subject rules "viagra" (delete) and "maybe" (question), as the rule file stores them.
inline constexpr const char* kViagraAndMaybeRules =
    "6,3\r\n1,1,Contains\r\n2,1,viagra\r\n3,1,No\r\n4,1,Yes\r\n5,1,0\r\n"
    "1,2,Contains\r\n2,2,maybe\r\n3,2,No\r\n4,2,No\r\n5,2,0\r\n";

// A temporary home whose mailbox 1 is the test server's, with its own log file.
class DovecotHomeTest : public DovecotSuite {
protected:
    void SetUp() override {
        DovecotSuite::SetUp();
        if (IsSkipped()) return;
        // Unknown-domain check off: the tests must not ask the internet's name servers.
        writeFileAtomically(m_temp.dir() / "mailvane.ini", "[Known]\r\nValid=0\r\n");
        setAccount(1, server->plainServer());
        m_settings.writeString(Setting::Logfile, logPath().string());
    }
    void setAccount(int n, const std::string& host) {
        m_settings.saveAccount(
            n, {host, DovecotServer::kUser, DovecotServer::kPassword, TlsMode::None, ""});
    }
    void writeSubjectRules(const std::string& table) {
        writeFileAtomically(m_temp.dir() / "subj.lst", table);
    }
    std::filesystem::path logPath() const { return m_temp.dir() / "logfile.txt"; }
    std::string log() const { return readFile(logPath()).value_or(""); }

    TempHome m_temp;
    HomeFolder m_home{m_temp.dir()};
    SettingsStore m_settings{m_home.settingsFile()};
};

// That home under a controller with a recording view and platform and a fixed clock.
class ControllerHomeTest : public DovecotHomeTest {
protected:
    CheckController& controller() {
        if (!m_controller) {
            m_controller = std::make_unique<CheckController>(m_home, m_settings, m_view, m_platform,
                                                             m_clock, m_regional);
            m_controller->startUp();
        }
        return *m_controller;
    }

    RecordingView m_view;
    RecordingPlatform m_platform;
    FixedClock m_clock{*encodeDate(1998, 3, 16) + *encodeTime(17, 4)};
    RegionalSettings m_regional = RegionalSettings::usEnglish();
    std::unique_ptr<CheckController> m_controller;
};

class CheckControllerTest : public ControllerHomeTest {
protected:
    void SetUp() override {
        ControllerHomeTest::SetUp();
        if (IsSkipped()) return;
        writeSubjectRules(kViagraAndMaybeRules);
        m_settings.writeString(Setting::Mailer, "mail-program");
        m_regional.shortDateFormat = "M/d/yy"; // fix2000 makes it M/d/yyyy
    }
    std::string checkEntry(int n, const std::string& host) const {
        return "MAIL CHECK " + std::to_string(n) + " msg(s) for \"bob\" on server " + host +
               " at " + kStamp + "\r\n";
    }
    std::vector<int> marks() {
        std::vector<int> out;
        for (const auto& row : controller().rows())
            out.push_back(row.mark);
        return out;
    }
};

// Mailboxes 1, 3 and 5 on three servers, mail waiting only in 3.
class AutomaticRunTest : public CheckControllerTest {
protected:
    static void SetUpTestSuite() {
        CheckControllerTest::SetUpTestSuite();
        if (server == nullptr) return;
        three = new DovecotServer();
        five = new DovecotServer();
    }
    static void TearDownTestSuite() {
        delete three;
        delete five;
        CheckControllerTest::TearDownTestSuite();
    }
    void SetUp() override {
        CheckControllerTest::SetUp();
        if (server == nullptr) return;
        setAccount(3, three->plainServer());
        setAccount(5, five->plainServer());
        three->deliver(message("Hello"));
        three->deliver(message("viagra"));
        m_settings.writeBool(Setting::Automatic, true);
        m_settings.writeInteger(Setting::Minutes, 2);
        m_settings.writeBool(Setting::SysTray, true); // unattended: the window stays hidden
        m_view.visible = false;
    }
    void TearDown() override {
        CheckControllerTest::TearDown();
        if (server != nullptr) emptyMailbox(three->plainServer());
    }
    static inline DovecotServer* three = nullptr;
    static inline DovecotServer* five = nullptr;
};

} // namespace mv::test
