// The dial-up component over a scripted nmcli (RasDialerFakeNmcli.sh) that keeps its connection
// profiles and active connections in files, and without any nmcli at all.
#include "net/RasDialer.h"
#include "net/NetErrors.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace mv {
namespace {

namespace fs = std::filesystem;

class RasDialerTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "mv-nmcli-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        m_dir = tmpl;
        ::setenv("FAKE_NMCLI_DIR", m_dir.c_str(), 1);
        write("connections",
              "Modem:gsm\nOffice\\: VPN:vpn\nHome Wi-Fi:802-11-wireless\nlo:loopback\n");
        write("active", "lo:loopback\n");
    }
    void TearDown() override { fs::remove_all(m_dir); }

    void write(const std::string& file, const std::string& text) {
        std::ofstream(m_dir / file) << text;
    }
    std::string read(const std::string& file) {
        std::stringstream text;
        text << std::ifstream(m_dir / file).rdbuf();
        return text.str();
    }
    // The calls that change something: "connection up" and "connection down".
    std::string dialCalls() {
        std::string out;
        std::istringstream calls(read("calls"));
        for (std::string line; std::getline(calls, line);) {
            if (line.find(" up ") != std::string::npos || line.starts_with("connection down")) {
                out += line + "\n";
            }
        }
        return out;
    }
    // A dialer on the fake nmcli that records its events in m_events.
    std::unique_ptr<TRasDialer> dialer() {
        auto d = std::make_unique<TRasDialer>(MV_FAKE_NMCLI);
        d->OnStatusChange = [this](const std::string& s) { m_events += "status " + s + "\n"; };
        d->OnDisconnected = [this] { m_events += "disconnected\n"; };
        d->OnMessage = [this](const std::string& s) { m_events += "message " + s + "\n"; };
        return d;
    }

    fs::path m_dir;
    std::string m_events;
};

TEST_F(RasDialerTest, EntriesAreTheConnectionNames) {
    auto d = dialer();
    EXPECT_EQ(d->Entries(), (std::vector<std::string>{"Modem", "Office: VPN", "Home Wi-Fi", "lo"}));
    EXPECT_TRUE(d->RASAvailable());
}

TEST_F(RasDialerTest, ServiceMustBeAnEntry) {
    auto d = dialer();
    d->setService("Office: VPN");
    EXPECT_EQ(d->Service(), "Office: VPN");
    d->setService("Nowhere");
    EXPECT_EQ(d->Service(), "");
    EXPECT_EQ(m_events, "message Invalid service name\n");
    d->setService("Modem");
    d->Dial();
    m_events.clear();
    d->setService("Office: VPN");
    EXPECT_EQ(d->Service(), "Modem");
    EXPECT_EQ(m_events,
              "message This property can be set only before\restablishing the connection\n");
    d->setService("");
    EXPECT_EQ(d->Service(), "");
}

TEST_F(RasDialerTest, DialsBringsUpAndHangsUpWhatItDialled) {
    auto d = dialer();
    d->setService("Modem");
    DialHooks socket = d->socketHooks();
    socket.dial();
    EXPECT_TRUE(d->Connected());
    EXPECT_TRUE(d->WeDialled());
    EXPECT_EQ(m_events, "status Dialing...\nstatus Successfully connected\n");
    EXPECT_EQ(read("active"), "lo:loopback\nModem:gsm\n");
    m_events.clear();
    socket.hangUp();
    d->HangUp(); // nothing left to hang up
    EXPECT_FALSE(d->Connected());
    EXPECT_EQ(m_events, "disconnected\n");
    EXPECT_EQ(dialCalls(), "--wait 125 connection up id Modem\nconnection down id Modem\n");
    EXPECT_EQ(read("active"), "lo:loopback\n");
}

TEST_F(RasDialerTest, AConnectionThatWasUpBeforeIsUsedAndLeftUp) {
    write("active", "lo:loopback\nModem:gsm\n");
    auto d = dialer();
    d->setService("Modem");
    d->Dial();
    EXPECT_TRUE(d->Connected());
    EXPECT_FALSE(d->WeDialled());
    d->HangUp();
    EXPECT_EQ(dialCalls(), "");
    EXPECT_EQ(m_events, "");
}

TEST_F(RasDialerTest, WithoutForceServiceAnyActiveConnectionButLoopbackDoes) {
    auto d = dialer();
    d->setService("Modem");
    d->setForceService(false);
    d->Dial(); // only the loopback is up: dial
    d->HangUp();
    write("active", "lo:loopback\nHome Wi-Fi:802-11-wireless\n");
    d->Dial();
    EXPECT_TRUE(d->Connected());
    EXPECT_FALSE(d->WeDialled());
    d->HangUp();
    EXPECT_EQ(dialCalls(), "--wait 125 connection up id Modem\nconnection down id Modem\n");
}

TEST_F(RasDialerTest, AnEmptyServiceNeverDials) {
    auto d = dialer();
    d->Dial();
    EXPECT_TRUE(d->Connected());
    EXPECT_FALSE(d->WeDialled());
    d->HangUp();
    EXPECT_EQ(dialCalls(), "");
    EXPECT_EQ(m_events, "");
}

TEST_F(RasDialerTest, AFailedDialHangsUpAndRaisesNmclisText) {
    write("up-error", "Error: Connection activation failed: No suitable device found.\n");
    auto d = dialer();
    d->setService("Modem");
    try {
        d->Dial();
        FAIL() << "no error";
    } catch (const ERASError& e) {
        EXPECT_STREQ(e.what(), "Error: Connection activation failed: No suitable device found.");
        EXPECT_EQ(e.ErrorCode(), 4);
    }
    EXPECT_FALSE(d->Connected());
    EXPECT_EQ(d->LastResult(), 4);
    EXPECT_EQ(dialCalls(), "--wait 125 connection up id Modem\nconnection down id Modem\n");
    EXPECT_EQ(m_events, "status Dialing...\ndisconnected\n");
    EXPECT_STREQ(ERASError(7, "").what(), "RAS error no 7");
}

TEST_F(RasDialerTest, ADialPastItsTimeOutIsLeftRunning) {
    write("up-seconds", "10");
    auto d = dialer();
    d->setService("Modem");
    d->setTimeOut(1);
    EXPECT_THROW(d->Dial(), ETimedOutError);
    EXPECT_FALSE(d->Connected());
    EXPECT_EQ(dialCalls(), "--wait 6 connection up id Modem\n");
}

TEST_F(RasDialerTest, HangUpDuringADialCancelsIt) {
    write("up-seconds", "10");
    auto d = dialer();
    d->setService("Modem");
    TRasDialer* raw = d.get();
    d->setWaitHooks({nullptr, [this, raw] {
                         if (read("calls").find("connection up") != std::string::npos)
                             raw->HangUp();
                     }});
    EXPECT_THROW(d->Dial(), ECanceledError);
    EXPECT_FALSE(d->Connected());
    EXPECT_EQ(dialCalls(), "--wait 125 connection up id Modem\nconnection down id Modem\n");
    EXPECT_EQ(m_events, "status Dialing...\ndisconnected\n");
}

TEST_F(RasDialerTest, AnErrorFromThePumpLeavesTheDialToBeHungUp) {
    write("up-seconds", "10");
    auto d = dialer();
    d->setService("Modem");
    d->setWaitHooks({nullptr, [this] {
                         if (read("calls").find("connection up") != std::string::npos) {
                             throw std::runtime_error("window closed");
                         }
                     }});
    EXPECT_THROW(d->Dial(), std::runtime_error);
    d->setWaitHooks({});
    d->HangUp();
    EXPECT_EQ(dialCalls(), "--wait 125 connection up id Modem\nconnection down id Modem\n");
}

TEST_F(RasDialerTest, WithoutNetworkManagerThereIsNoDialUp) {
    auto check = [this](TRasDialer& d) {
        d.OnMessage = [this](const std::string& s) { m_events += "message " + s + "\n"; };
        EXPECT_TRUE(d.Entries().empty());
        EXPECT_FALSE(d.RASAvailable());
        EXPECT_FALSE(d.IsConnected());
        d.setService("Modem");
        EXPECT_EQ(d.Service(), "");
        EXPECT_EQ(m_events,
                  "message TRasDialer component was unable to detect\rRAS on your system.\n");
        d.Dial();
        EXPECT_TRUE(d.Connected());
        d.HangUp();
        EXPECT_FALSE(d.Connected());
        m_events.clear();
    };
    TRasDialer noNmcli{fs::path()};
    check(noNmcli);
    write("stopped", "");
    TRasDialer stopped{MV_FAKE_NMCLI};
    check(stopped);
    EXPECT_EQ(read("calls"), "-t -f RUNNING general\n");
}

} // namespace
} // namespace mv
