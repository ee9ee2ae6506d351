#pragma once
// The home folder's write lock: while one process holds it, no other Mailvane process writes the
// same settings, rules or log. An advisory lock on the lock file, released by the system even when
// the process dies. The desktop program and the command line share a home, so the lock is held for
// one writing operation at a time (a check run with its log and rule saves, a deletion, a settings
// or rule save), never for a whole run: each program works while the other is idle.
#include <chrono>
#include <filesystem>
#include <functional>
#include <stdexcept>

namespace mv {

// The lock file's name in the configuration folder.
inline constexpr const char* kLockFileName = "mailvane.lock";
// How long an operation waits for another program's operation to end.
inline constexpr std::chrono::milliseconds kLockPatience = std::chrono::seconds(3);

// Another process kept the lock longer than we were willing to wait.
class LockError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One hold of the lock, from construction to destruction, on its own open file: a second HomeLock
// of the same file waits even in the same process.
class HomeLock {
public:
    // Waits up to `patience` for the lock, then throws LockError; a lock file that cannot be
    // created throws FileError. `whileWaiting` (optional) runs between tries, about every 10 ms:
    // the desktop program processes its events there, so its window stays live.
    explicit HomeLock(const std::filesystem::path& lockFile,
                      std::chrono::milliseconds patience = kLockPatience,
                      const std::function<void()>& whileWaiting = {});
    ~HomeLock();
    HomeLock(const HomeLock&) = delete;
    HomeLock& operator=(const HomeLock&) = delete;

private:
    int m_fd;
};

// The lock for one operation. Operations nest: a settings save inside a check run of the same
// process shares the run's hold instead of waiting for it; the lock goes when the outermost scope
// ends. For one thread of a process at a time.
class ScopedHomeLock {
public:
    // Waits and throws as HomeLock does when the process does not hold the lock yet.
    explicit ScopedHomeLock(const std::filesystem::path& lockFile,
                            std::chrono::milliseconds patience = kLockPatience,
                            const std::function<void()>& whileWaiting = {});
    ~ScopedHomeLock();
    ScopedHomeLock(const ScopedHomeLock&) = delete;
    ScopedHomeLock& operator=(const ScopedHomeLock&) = delete;

private:
    std::string m_key;
};

} // namespace mv
