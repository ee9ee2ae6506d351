#include "net/Wait.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>

namespace mv {

namespace {
constexpr std::chrono::milliseconds kSlice{50};
}

void WaitHooks::pumpIfDue() const {
    if (pump && std::chrono::steady_clock::now() - lastPump >= kPumpInterval) runPump();
}

void WaitHooks::runPump() const {
    if (!pump) return;
    lastPump = std::chrono::steady_clock::now();
    pump();
}

bool TTimeCounter::expired() const {
    return remaining().count() == 0;
}

std::chrono::milliseconds TTimeCounter::remaining() const {
    auto limit = std::chrono::seconds(std::max(m_timeout, 1));
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_start);
    return std::max(std::chrono::milliseconds(0),
                    std::chrono::duration_cast<std::chrono::milliseconds>(limit) - elapsed);
}

WaitOutcome waitForSocket(int fd, short events, const WaitHooks& hooks, const TTimeCounter& timeout,
                          short* revents) {
    // With a pump the slices are short enough to run it on time.
    const std::chrono::milliseconds sliceLimit = hooks.pump ? kPumpInterval : kSlice;
    for (;;) {
        hooks.pumpIfDue();
        if (hooks.cancel != nullptr && hooks.cancel->load()) return WaitOutcome::Canceled;
        if (timeout.expired()) return WaitOutcome::TimedOut;
        pollfd p{fd, events, 0};
        int slice = static_cast<int>(std::min(sliceLimit, timeout.remaining()).count());
        int n = ::poll(&p, 1, std::max(slice, 1));
        if (n > 0) {
            if (revents != nullptr) *revents = p.revents;
            return WaitOutcome::Ready;
        }
        if (n < 0 && errno != EINTR) { // report it as ready: the caller's read or write fails
            if (revents != nullptr) *revents = POLLERR;
            return WaitOutcome::Ready;
        }
    }
}

} // namespace mv
