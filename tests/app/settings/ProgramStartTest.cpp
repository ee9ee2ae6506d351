// Both programs, started as a user starts them, switch core files off before anything else: the
// desktop program reads the accounts' passwords at start-up and the command line as it runs a
// command, and a crash after that must not leave them on disk. Each is started with core files
// allowed and looked at while it waits (the command line for a password on its input, the
// desktop program in its event loop).
#include "app/settings/TempHome.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace mv {
namespace {

// The soft and hard core-file limits of a running process, as "soft hard".
std::optional<std::string> coreLimits(pid_t pid) {
    std::ifstream limits("/proc/" + std::to_string(pid) + "/limits");
    const std::string label = "Max core file size";
    for (std::string line; std::getline(limits, line);)
        if (line.starts_with(label)) {
            std::istringstream values(line.substr(label.size()));
            std::string soft, hard;
            values >> soft >> hard;
            return soft + " " + hard;
        }
    return std::nullopt;
}

// A program started with its input on a pipe that stays open, so that it waits there.
class Started {
public:
    explicit Started(std::vector<std::string> words) {
        int input[2];
        if (::pipe(input) != 0) throw std::runtime_error("pipe failed");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
        posix_spawn_file_actions_addclose(&actions, input[1]);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        std::vector<std::string> env{"QT_QPA_PLATFORM=offscreen"};
        for (char** e = environ; *e != nullptr; ++e)
            if (!std::string(*e).starts_with("QT_QPA_PLATFORM=")) env.emplace_back(*e);
        if (::posix_spawn(&m_pid, words[0].c_str(), &actions, nullptr, pointers(words).data(),
                          pointers(env).data()) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(input[0]);
        m_input = input[1];
    }
    ~Started() {
        ::close(m_input);
        if (m_pid <= 0) return;
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
    }
    Started(const Started&) = delete;
    Started& operator=(const Started&) = delete;

    pid_t pid() const { return m_pid; }

private:
    static std::vector<char*> pointers(std::vector<std::string>& words) {
        std::vector<char*> out;
        for (std::string& w : words)
            out.push_back(w.data());
        out.push_back(nullptr);
        return out;
    }

    pid_t m_pid = -1;
    int m_input = -1;
};

TEST(ProgramStart, NeitherProgramCanWriteACoreFile) {
    rlimit core{};
    ASSERT_EQ(::getrlimit(RLIMIT_CORE, &core), 0);
    if (core.rlim_max == 0) GTEST_SKIP() << "core files are forbidden here already";
    // Started so, a program that does not forbid them runs with core files allowed.
    core.rlim_cur = core.rlim_max;
    ASSERT_EQ(::setrlimit(RLIMIT_CORE, &core), 0);

    test::TempHome home;
    const std::string dir = home.dir().string();
    const std::vector<std::vector<std::string>> programs{
        {MAILVANE_CLI, "--home", dir, "accounts", "set", "1", "--server", "pop.example", "--user",
         "me", "--password-stdin"},
        {MAILVANE_DESKTOP, "--home", dir},
    };
    for (const auto& words : programs) {
        Started program(words);
        ASSERT_GT(program.pid(), 0) << words[0];
        // Until the program has come as far as its main, it shows the limits it inherited.
        std::optional<std::string> limits;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        do {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            limits = coreLimits(program.pid());
        } while (limits != "0 0" && std::chrono::steady_clock::now() < until);
        EXPECT_EQ(limits, "0 0") << words[0];
    }
}

} // namespace
} // namespace mv
