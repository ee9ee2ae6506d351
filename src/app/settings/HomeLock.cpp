#include "app/settings/HomeLock.h"

#include "base/Files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace mv {

namespace {
// How often a waiting process tries again and runs its caller's wait callback.
constexpr std::chrono::milliseconds kRetry(10);

// The holds of this process, by lock file.
struct Hold {
    std::unique_ptr<HomeLock> lock;
    int depth = 0;
    pid_t owner = 0;
};
std::map<std::string, Hold>& holds() {
    static std::map<std::string, Hold> map;
    return map;
}
std::mutex& holdsMutex() {
    static std::mutex mutex;
    return mutex;
}
std::string keyOf(const std::filesystem::path& lockFile) {
    return std::filesystem::absolute(lockFile).lexically_normal().string();
}
} // namespace

HomeLock::HomeLock(const std::filesystem::path& lockFile, std::chrono::milliseconds patience,
                   const std::function<void()>& whileWaiting)
    : m_fd(::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
    if (m_fd < 0)
        throw FileError("Unable to create lock file " + lockFile.string() + ": " +
                        std::strerror(errno));
    auto deadline = std::chrono::steady_clock::now() + patience;
    // flock belongs to the open file, so a second open in the same process waits like another
    // process would.
    while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            int err = errno;
            ::close(m_fd);
            throw FileError("Unable to lock " + lockFile.string() + ": " + std::strerror(err));
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ::close(m_fd);
            throw LockError("Another Mailvane program is using " + lockFile.parent_path().string() +
                            "; try again when it has finished.");
        }
        if (whileWaiting) whileWaiting();
        std::this_thread::sleep_for(kRetry);
    }
}

HomeLock::~HomeLock() {
    ::close(m_fd);
}

ScopedHomeLock::ScopedHomeLock(const std::filesystem::path& lockFile,
                               std::chrono::milliseconds patience,
                               const std::function<void()>& whileWaiting)
    : m_key(keyOf(lockFile)) {
    std::unique_lock guard(holdsMutex());
    Hold& hold = holds()[m_key];
    // A child forked while its parent held the lock inherits the parent's hold, not the lock: it
    // must wait for it like any other process.
    if (hold.depth > 0 && hold.owner != ::getpid()) hold = Hold{};
    if (hold.depth == 0) {
        // Not held across the wait: what `whileWaiting` runs may take a lock of its own.
        guard.unlock();
        std::unique_ptr<HomeLock> lock;
        try {
            lock = std::make_unique<HomeLock>(lockFile, patience, whileWaiting);
        } catch (...) {
            guard.lock();
            if (holds()[m_key].depth == 0) holds().erase(m_key);
            throw;
        }
        guard.lock();
        Hold& taken = holds()[m_key];
        taken.lock = std::move(lock);
        taken.owner = ::getpid();
        ++taken.depth;
        return;
    }
    ++hold.depth;
}

ScopedHomeLock::~ScopedHomeLock() {
    std::lock_guard guard(holdsMutex());
    auto it = holds().find(m_key);
    if (it != holds().end() && it->second.owner == ::getpid() && --it->second.depth == 0)
        holds().erase(it);
}

} // namespace mv
