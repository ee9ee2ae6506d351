#include "net/RasDialerProcess.h"

#include "base/Text.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace mv {

namespace {

// Closes a descriptor when the run ends, however it ends.
class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    void reset() {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd;
};

int exitCodeOf(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

int reap(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return exitCodeOf(status);
}

void stop(pid_t pid) {
    ::kill(pid, SIGTERM);
    reap(pid);
}

// Standard error goes to an anonymous file, read once the child has ended: a second pipe could
// fill up while only the first is watched and stall the child.
std::string readAll(int fd) {
    std::string text;
    ::lseek(fd, 0, SEEK_SET);
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

} // namespace

CommandResult runCommand(const std::vector<std::string>& argv, const WaitHooks& hooks,
                         int timeoutSeconds) {
    CommandResult result;
    int pipeFds[2];
    if (argv.empty() || ::pipe2(pipeFds, O_CLOEXEC) != 0) return result;
    Fd readEnd(pipeFds[0]);
    Fd writeEnd(pipeFds[1]);
    Fd errorFile(::memfd_create("mailvane-command-stderr", MFD_CLOEXEC));
    if (errorFile.get() < 0) return result;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errorFile.get(), STDERR_FILENO);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    int rc = posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return result;
    writeEnd.reset(); // the child's copy is the only writer left, so its exit ends the reads

    TTimeCounter counter(timeoutSeconds);
    char buffer[4096];
    for (;;) {
        WaitOutcome outcome;
        try {
            outcome = waitForSocket(readEnd.get(), POLLIN, hooks, counter);
        } catch (...) { // from the pump: no child may outlive the call
            stop(pid);
            throw;
        }
        if (outcome != WaitOutcome::Ready) {
            stop(pid);
            result.end =
                outcome == WaitOutcome::Canceled ? CommandEnd::Canceled : CommandEnd::TimedOut;
            return result;
        }
        ssize_t n = ::read(readEnd.get(), buffer, sizeof buffer);
        if (n > 0) {
            result.output.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
            break;
        }
    }
    result.exitCode = reap(pid);
    result.end = CommandEnd::Finished;
    result.errorText = trim(readAll(errorFile.get()));
    return result;
}

std::filesystem::path findProgram(std::string_view name) {
    const char* path = std::getenv("PATH");
    return findProgram(name, path != nullptr ? path : "/usr/bin:/bin");
}

std::filesystem::path findProgram(std::string_view name, std::string_view searchPath) {
    std::stringstream dirs{std::string(searchPath)};
    for (std::string dir; std::getline(dirs, dir, ':');) {
        if (dir.empty()) continue;
        std::filesystem::path candidate = std::filesystem::path(dir) / name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

} // namespace mv
