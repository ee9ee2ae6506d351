#pragma once
// Waiting on a socket without spinning: poll() in slices of at most 50 ms against a time-out that
// measures silence, a cancel flag tested on every slice, and a pump callback run between slices
// (the desktop program processes its window events there, so Cancel and the tray stay live).
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

// What a caller's wait may do besides waiting. Both members are optional.
struct WaitHooks {
    const std::atomic<bool>* cancel = nullptr; // set by another party to stop the wait
    std::function<void()> pump;                // run between slices, and every few ms while data flows
};

enum class WaitOutcome { Ready, Canceled, TimedOut };

// Waits until `fd` is ready for `events` (POLLIN, POLLOUT); `revents` receives poll's result,
// POLLERR and POLLHUP included, when the outcome is Ready.
WaitOutcome waitForSocket(int fd, short events, const WaitHooks& hooks,
                          const TTimeCounter& timeout, short* revents = nullptr);

} // namespace mv
