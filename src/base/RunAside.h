// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Long work off the caller's thread: `work` runs on a thread of its own while the caller runs
// `whileWaiting` about every 10 ms until it is done (the desktop program processes its window
// events there, so a slow keyring or a large message never freezes a window). The result, or the
// exception `work` threw, comes back as if it had been called directly. `work` must not touch
// what `whileWaiting` may change.
#include <chrono>
#include <functional>
#include <future>

namespace mv {

template <class Work>
auto runAside(Work&& work, const std::function<void()>& whileWaiting) {
    if (!whileWaiting) return work();
    auto done = std::async(std::launch::async, std::forward<Work>(work));
    while (done.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
        whileWaiting();
    return done.get();
}

} // namespace mv
