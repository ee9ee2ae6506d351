#include "net/Wait.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>

namespace mv {

namespace {
constexpr std::chrono::milliseconds kSlice{50};
constexpr std::chrono::milliseconds kPumpGap{10};

// The pump runs while the data keeps coming too, at most every kPumpGap: a server that always
// answers within a slice must not freeze the windows (and their Cancel) for a whole transfer.
void pumpIfDue(const WaitHooks& hooks) {
    thread_local auto last = std::chrono::steady_clock::now();
    auto now = std::chrono::steady_clock::now();
    if (!hooks.pump || now - last < kPumpGap) return;
    last = now;
    hooks.pump();
}
} // namespace

bool TTimeCounter::expired() const { return remaining().count() == 0; }

std::chrono::milliseconds TTimeCounter::remaining() const {
    auto limit = std::chrono::seconds(std::max(m_timeout, 1));
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_start);
    return std::max(std::chrono::milliseconds(0),
                    std::chrono::duration_cast<std::chrono::milliseconds>(limit) - elapsed);
}

WaitOutcome waitForSocket(int fd, short events, const WaitHooks& hooks,
                          const TTimeCounter& timeout, short* revents) {
    for (;;) {
        pumpIfDue(hooks);
        if (hooks.cancel != nullptr && hooks.cancel->load()) return WaitOutcome::Canceled;
        if (timeout.expired()) return WaitOutcome::TimedOut;
        pollfd p{fd, events, 0};
        int slice = static_cast<int>(std::min(kSlice, timeout.remaining()).count());
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
