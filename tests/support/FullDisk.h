#pragma once
// While it lives, every file write past a few bytes fails as on a full disk (the process's file
// size limit: EFBIG). Read-only folders do not stop root, who runs CI; this does.
#include <csignal>
#include <sys/resource.h>

namespace mv::test {

class FullDisk {
public:
    FullDisk() {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN); // the write fails instead of ending the test
        rlimit tiny{4, m_saved.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &tiny);
    }
    ~FullDisk() {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    rlimit m_saved{};
    void (*m_handler)(int) = SIG_DFL;
};

} // namespace mv::test
