// The controller driven the way a desktop window drives it: commands arrive from inside the View's
// callbacks and from the pump while an operation runs, Cancel comes at any moment, and the pump
// must run often enough for the window to stay live.
#include "app/ControllerFixture.h"
#include "app/ListCommands.h"

#include <arpa/inet.h>
#include <algorithm>
#include <chrono>
#include <functional>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace mv {
namespace {

using test::AutomaticRunTest;
using test::CheckControllerTest;
using test::message;
using Clock = std::chrono::steady_clock;

// A name server on loopback that takes every query and never answers.
class SilentNameServer {
public:
    SilentNameServer() {
        m_fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
    }
    ~SilentNameServer() { ::close(m_fd); }
    SilentNameServer(const SilentNameServer&) = delete;
    SilentNameServer& operator=(const SilentNameServer&) = delete;
    int port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = 0;
};

// What a window would do while a check runs; each result is recorded.
struct Attempts {
    std::optional<CheckOutcome> check;
    std::optional<bool> deletion, mark, locked, timer;
    bool download = false;
    std::vector<std::string> notRefused; // the commands that did not say "busy"
};

// Every command a window, the tray or the timer may send, each in turn; records which ones were
// not refused in the status line.
void tryEverything(CheckController& c, test::RecordingView& view, Attempts& attempts) {
    ListCommands list(c);
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"check", [&] { attempts.check = c.btListClick(); }},
        {"tray check", [&] { c.Show1Click(); }},
        {"check now", [&] { c.checkNow(); }},
        {"delete", [&] { attempts.deletion = c.btDeleteClick(); }},
        {"general settings", [&] { c.btGeneralClick(); }},
        {"settings closed", [&] { c.settingsClosed(); }},
        {"tray's enable automatic", [&] { c.EnableAutomatic1Click(true); }},
        {"automatic for the run", [&] { c.setAutomaticForRun(false); }},
        {"timer tick", [&] { c.Timer1Timer(); }},
        {"timer paused", [&] { c.disableTimer(); }},
        {"timer restored", [&] { c.restoreTimer(); }},
        {"current mailbox", [&] { c.setCurrentMailbox(2); }},
        {"launch", [&] { c.btLaunchClick(); }},
        {"download", [&] { attempts.download = c.downloadMessage(0).has_value(); }},
        {"mark", [&] { attempts.mark = c.setMark(0, kMarkDelete); }},
        {"mark selected", [&] { list.btMarkClick({0}); }},
        {"reset marks", [&] { list.ResetButtonClick(); }},
        {"auto-mark", [&] { list.btRemarkClick(); }},
        {"why", [&] { list.Why1Click({0}); }},
        {"view headers", [&] { list.ViewHeader1Click({0}); }},
        {"view message", [&] { list.ViewMessages1Click({0}); }},
        {"add to spam list", [&] { list.AddtoSPAMlist1Click({0}); }},
        {"add to exceptions", [&] { list.AddtoExceptions1Click({0}); }},
        {"save rules", [&] { c.saveRules(); }},
        {"lock home", [&] { attempts.locked = c.lockHome() != nullptr; }},
    };
    const std::string refused = std::string("status: ") + kBusyText;
    for (const auto& [name, run] : commands) {
        std::size_t before = view.calls.size();
        run();
        if (std::find(view.calls.begin() + static_cast<std::ptrdiff_t>(before), view.calls.end(),
                      refused) == view.calls.end())
            attempts.notRefused.push_back(name);
    }
    attempts.timer = c.timerEnabled();
}

TEST_F(CheckControllerTest, CommandsDuringACheckAreRefused) {
    for (const char* from : {"view", "pump"}) {
        m_controller.reset();
        m_view = {};
        std::filesystem::remove(logPath());
        for (int i = 0; i < 3; ++i)
            server->deliver(message("m" + std::to_string(i)));
        Attempts attempts;
        bool tried = false;
        auto attempt = [&] {
            if (tried || !controller().busy()) return;
            tried = true;
            tryEverything(controller(), m_view, attempts);
        };
        if (std::string(from) == "view")
            m_view.onRowsInserted = [&](int) { attempt(); };
        else
            m_platform.onPump = attempt;
        // Automatic mode: a timer restored under the check would be on.
        controller().setAutomaticForRun(true);

        EXPECT_EQ(controller().btListClick(), CheckOutcome::Listed) << from;

        ASSERT_TRUE(tried) << from;
        EXPECT_EQ(attempts.notRefused, std::vector<std::string>{}) << from;
        EXPECT_EQ(attempts.check, CheckOutcome::NotRun) << from;
        EXPECT_EQ(attempts.deletion, false) << from;
        EXPECT_FALSE(attempts.download) << from;
        EXPECT_EQ(attempts.mark, false) << from;
        EXPECT_EQ(attempts.locked, false) << from;
        EXPECT_EQ(attempts.timer, false) << from; // no timer under the running check
        EXPECT_TRUE(controller().automaticMode()) << from;
        EXPECT_TRUE(m_view.matching("text: ").empty()) << from; // no viewer over the wait
        EXPECT_TRUE(m_view.matching("information: ").empty()) << from;
        EXPECT_TRUE(m_platform.calls.empty()) << from; // no mail program
        EXPECT_FALSE(m_view.saw("settings window")) << from;
        EXPECT_FALSE(m_settings.ReadGeneralSettings().automatic) << from;
        EXPECT_EQ(controller().currentMailbox(), 1) << from;
        EXPECT_EQ(controller().rules().subject().rowCount(), 3) << from; // nothing quick-added
        EXPECT_EQ(controller().rows().size(), 3u) << from;
        EXPECT_EQ(log(), checkEntry(3, server->plainServer())) << from;
        EXPECT_FALSE(controller().busy());
        test::emptyMailbox(server->plainServer());
    }
}

// Pressing Cancel ends the network operation, but the controller stays busy until the command
// that ran it has returned.
TEST_F(CheckControllerTest, BusyUntilTheCancelledCommandHasReturned) {
    server->deliver(message("one"));
    server->deliver(message("two"));
    bool busyAfterCancel = false;
    std::optional<CheckOutcome> second;
    m_view.onRowsInserted = [&](int first) {
        if (first != 0) return;
        controller().cancel();
        busyAfterCancel = controller().busy();
        second = controller().btListClick();
    };
    EXPECT_EQ(controller().btListClick(), CheckOutcome::Failed);
    EXPECT_TRUE(busyAfterCancel);
    EXPECT_EQ(second, CheckOutcome::NotRun);
    EXPECT_FALSE(controller().busy());
    EXPECT_EQ(m_view.matching("busy: "), (std::vector<std::string>{"busy: on", "busy: off"}));
}

// Closing the main window during a check cancels it: its session is closed as the check unwinds,
// never disconnected under its running wait.
TEST_F(CheckControllerTest, ClosingTheWindowDuringACheckCancelsIt) {
    constexpr int kMessages = 200;
    for (int i = 0; i < kMessages; ++i)
        server->deliver(message("m" + std::to_string(i)));
    bool closed = false;
    m_view.onRowsInserted = [&](int first) {
        if (first != 0) return;
        closed = true;
        controller().FormCloseQuery();
    };
    EXPECT_EQ(controller().btListClick(), CheckOutcome::Failed);
    ASSERT_TRUE(closed);
    EXPECT_TRUE(m_view.saw("error: Operation has been canceled"));
    EXPECT_TRUE(controller().rows().empty());
    EXPECT_FALSE(controller().client().Connected());
    EXPECT_FALSE(controller().busy());
    EXPECT_EQ(server->messagesOnDisk(), static_cast<std::size_t>(kMessages));
}

// Rows arrive as insertions, a re-screening reports only the rows whose mark changed, and a new
// check starts with a reset: what a list model needs to keep its selection.
TEST_F(CheckControllerTest, RowNoticesForAListModel) {
    server->deliver(message("Hello"));
    server->deliver(message("cheap viagra"));
    controller().btListClick();
    std::vector<std::string> notices;
    for (const auto& call : m_view.calls)
        if (call == "reset" || call.starts_with("inserted: ") || call.starts_with("changed: "))
            notices.push_back(call);
    EXPECT_EQ(notices,
              (std::vector<std::string>{"reset", "inserted: 0-0", "inserted: 1-1", "changed: 1"}));
    m_view.calls.clear();
    controller().setMark(1, kMarkNone);
    controller().setMark(0, kMarkNone); // no change, no notice
    EXPECT_EQ(m_view.calls, (std::vector<std::string>{"changed: 1"}));
}

// Cancel pressed while the operation waits (from the pump, as a window delivers the click) ends it
// at once, wherever it waits.
TEST_F(CheckControllerTest, CancelEndsTheOperationAtOnce) {
    enum class Step { Listing, Deletion, NameLookUp };
    constexpr int kMessages = 1000; // long enough to be under way when the pump runs
    SilentNameServer nameServer;
    for (Step step : {Step::Listing, Step::Deletion, Step::NameLookUp}) {
        m_controller.reset();
        m_view = {};
        // Marked for deletion, except where the unknown-domain check is to be asked.
        const char* subject = step == Step::NameLookUp ? "hello " : "viagra ";
        for (int i = 0; i < kMessages; ++i)
            server->deliver(message(subject + std::to_string(i)));
        m_settings.writeBool(Setting::Ask, false);
        if (step == Step::NameLookUp) {
            writeFileAtomically(m_temp.dir() / "mailvane.ini", "[Known]\r\nValid=1\r\n");
            m_settings.writeString(Setting::DNSAddress, "127.0.0.1");
            m_settings.writeInteger(Setting::DNSPort, nameServer.port());
        }
        if (step == Step::Deletion) controller().btListClick();
        std::optional<Clock::time_point> pressed;
        m_platform.onPump = [&] {
            bool waiting = step == Step::Deletion
                               ? m_view.saw("progress: Deleting messages ... standby")
                           : step == Step::Listing ? m_view.saw("status: Updating headers")
                                                   : !controller().rows().empty();
            if (pressed || !waiting) return;
            pressed = Clock::now();
            controller().cancel();
        };
        if (step == Step::Deletion)
            EXPECT_FALSE(controller().btDeleteClick());
        else
            EXPECT_EQ(controller().btListClick(), CheckOutcome::Failed);
        ASSERT_TRUE(pressed.has_value()) << static_cast<int>(step);
        EXPECT_LT(Clock::now() - *pressed, std::chrono::milliseconds(500))
            << static_cast<int>(step);
        EXPECT_TRUE(m_view.saw("error: Operation has been canceled")) << static_cast<int>(step);
        EXPECT_EQ(server->messagesOnDisk(), static_cast<std::size_t>(kMessages));
        m_platform.onPump = nullptr;
        test::emptyMailbox(server->plainServer());
        writeFileAtomically(m_temp.dir() / "mailvane.ini", "[Known]\r\nValid=0\r\n");
    }
}

// A long listing from a fast server on loopback never waits a whole slice, and the pump must still
// keep a window live: no stretch of the check, from the click to the first pump, between two
// pumps or from the last pump to the return, goes without one for long. The pump is due every
// 10 ms, but on a shared two-core machine single gaps of 20 to 30 ms come up (during the server's
// log-in, or while the process is scheduled out), so the bound is 100 ms: a fraction of the
// listing, which a pump that never runs during it, or only at its start, cannot meet.
TEST_F(CheckControllerTest, ThePumpRunsThroughoutALongListing) {
    constexpr int kMessages = 3000;
    constexpr auto kLongestGap = std::chrono::milliseconds(100);
    for (int i = 0; i < kMessages; ++i)
        server->deliver(message("message " + std::to_string(i)));
    controller(); // started up before the click
    std::vector<Clock::time_point> times;
    m_platform.onPump = [&] { times.push_back(Clock::now()); };
    times.push_back(Clock::now());
    ASSERT_EQ(controller().btListClick(), CheckOutcome::Listed);
    times.push_back(Clock::now());
    ASSERT_EQ(controller().rows().size(), static_cast<std::size_t>(kMessages));
    Clock::duration longest{};
    std::size_t at = 0;
    for (std::size_t i = 1; i < times.size(); ++i)
        if (times[i] - times[i - 1] > longest) {
            longest = times[i] - times[i - 1];
            at = i;
        }
    using std::chrono::duration_cast, std::chrono::microseconds;
    EXPECT_LE(longest, kLongestGap)
        << duration_cast<microseconds>(longest).count() << " us before pump " << at << " of "
        << times.size() - 2 << " (the last one is the return), over "
        << duration_cast<std::chrono::milliseconds>(times.back() - times.front()).count()
        << " ms";
}

// The tray's mode switch and a second run during an automatic run are refused: no timer starts
// under the running check, and the run is not run twice.
TEST_F(AutomaticRunTest, TheTrayCannotStartTheTimerUnderARun) {
    bool tried = false;
    m_view.onStatus = [&](const std::string& s) {
        if (tried || !s.starts_with("Checking message")) return;
        tried = true;
        controller().EnableAutomatic1Click(false);
        controller().checkNow();
    };
    controller().checkNow();
    EXPECT_TRUE(tried);
    EXPECT_TRUE(m_settings.ReadGeneralSettings().automatic); // the switch was refused
    EXPECT_EQ(m_view.matching("caption: Mailvane - Now checking e-mail for bob").size(), 2u);
    EXPECT_EQ(controller().countdown(), 2);
}

} // namespace
} // namespace mv
