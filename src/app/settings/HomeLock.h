#pragma once
// The home folder's write lock: while one process holds it, no other Mailvane process writes the
// same settings, rules or log. Held from construction to destruction (an advisory lock on the lock
// file, released by the system even when the process dies).
#include <chrono>
#include <filesystem>
#include <stdexcept>

namespace mv {

// Another process kept the lock longer than we were willing to wait.
class LockError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class HomeLock {
public:
    // Waits up to `patience` for the lock, then throws LockError; a lock file that cannot be
    // created throws FileError.
    explicit HomeLock(const std::filesystem::path& lockFile,
                      std::chrono::milliseconds patience = std::chrono::seconds(3));
    ~HomeLock();
    HomeLock(const HomeLock&) = delete;
    HomeLock& operator=(const HomeLock&) = delete;

private:
    int m_fd;
};

} // namespace mv
