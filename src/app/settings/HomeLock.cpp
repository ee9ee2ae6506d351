#include "app/settings/HomeLock.h"

#include "base/Files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace mv {

namespace {
// How often a waiting process tries again.
constexpr std::chrono::milliseconds kRetry(50);
} // namespace

HomeLock::HomeLock(const std::filesystem::path& lockFile, std::chrono::milliseconds patience)
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
        std::this_thread::sleep_for(kRetry);
    }
}

HomeLock::~HomeLock() {
    ::close(m_fd);
}

} // namespace mv
