#pragma once
// Waiting on a socket without spinning: poll() in slices against a time-out that measures silence,
// a cancel flag tested on every slice, and a pump callback run at least every kPumpInterval (the
// desktop program processes its window events there, so Cancel and the tray stay live).
#include <atomic>
#include <chrono>
#include <functional>

namespace mv {

// The time-out countdown: counts whole seconds of silence; `restart` on every sign of life.
// A time-out of 0 or less expires on the first one-second tick.
class TTimeCounter {
public:
    using Clock = std::chrono::steady_clock;
    explicit TTimeCounter(int timeoutSeconds) : m_timeout(timeoutSeconds) { restart(); }
    void restart() { m_start = Clock::now(); }
    bool expired() const;
    // Time left before expiry, never negative.
    std::chrono::milliseconds remaining() const;

private:
    int m_timeout;
    Clock::time_point m_start;
};

// How often a busy operation runs the pump: a window stays responsive when it processes its
// events at least every 20 ms.
inline constexpr std::chrono::milliseconds kPumpInterval{10};

// What a caller's wait may do besides waiting. Both members are optional.
struct WaitHooks {
    const std::atomic<bool>* cancel = nullptr; // set by another party to stop the wait
    std::function<void()> pump;                // run between slices and by pumpIfDue

    // Runs the pump when kPumpInterval has passed since it last ran through these hooks. Waits
    // call it on entry, and readers that find their data already received call it too: a fast
    // peer on loopback answers before any wait slice passes, and the pump must still run.
    void pumpIfDue() const;
    // Runs the pump now.
    void runPump() const;

    mutable std::chrono::steady_clock::time_point lastPump{};
};

enum class WaitOutcome { Ready, Canceled, TimedOut };

// Waits until `fd` is ready for `events` (POLLIN, POLLOUT); `revents` receives poll's result,
// POLLERR and POLLHUP included, when the outcome is Ready.
WaitOutcome waitForSocket(int fd, short events, const WaitHooks& hooks, const TTimeCounter& timeout,
                          short* revents = nullptr);

} // namespace mv
