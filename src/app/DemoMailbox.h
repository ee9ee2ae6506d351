#pragma once
// The demo mailbox: a minimal POP3 responder on a loopback port that serves a fixed set of sample
// messages, so that the demo can show a real check without any account. It is a demo fixture only:
// the real checks and the client's tests never use it. Serves one session at a time on its own
// thread from construction until destruction; deletions take effect at QUIT, as on a real server.
#include <atomic>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace mv {

class DemoMailbox {
public:
    static constexpr const char* kUser = "demo";
    static constexpr const char* kPassword = "demo";

    // Listens on 127.0.0.1 on a free port. Throws std::runtime_error when no socket can be had.
    explicit DemoMailbox(std::vector<std::string> messages);
    ~DemoMailbox();
    DemoMailbox(const DemoMailbox&) = delete;
    DemoMailbox& operator=(const DemoMailbox&) = delete;

    int port() const { return m_port; }
    // The messages still on the server.
    std::size_t messageCount() const;

    // Every *.eml file of `folder` in name order, line ends made CR LF.
    static std::vector<std::string> loadMessages(const std::filesystem::path& folder);
    // The bundled demo files: share/mailvane/demo beside the running program's bin folder.
    static std::filesystem::path assetsFolder();

private:
    void serve();
    void session(int fd);
    std::string reply(const std::string& line, std::vector<bool>& deleted, bool& authorized,
                      bool& quit);
    bool valid(const std::string& arg, const std::vector<bool>& deleted, std::size_t& index) const;

    std::vector<std::string> m_messages;
    mutable std::mutex m_mutex; // guards m_messages between the serving thread and messageCount
    int m_listener = -1;
    int m_wake[2] = {-1, -1}; // written to on destruction to end the serving thread's poll
    int m_port = 0;
    std::thread m_thread;
};

} // namespace mv
