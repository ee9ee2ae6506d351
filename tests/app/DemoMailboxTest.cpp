#include "app/DemoMailbox.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace mv {
namespace {

// A bare POP3 conversation over a blocking socket: enough to pin the responder's answers.
class Conversation {
public:
    explicit Conversation(int port) {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<uint16_t>(port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::connect(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    }
    ~Conversation() { ::close(m_fd); }
    std::string line() {
        std::string out;
        char c;
        while (::recv(m_fd, &c, 1, 0) == 1) {
            out += c;
            if (c == '\n') break;
        }
        return out;
    }
    std::string multiLine() {
        std::string out;
        for (std::string l = line(); !l.empty() && l != ".\r\n"; l = line())
            out += l;
        return out;
    }
    std::string ask(const std::string& command) {
        std::string text = command + "\r\n";
        EXPECT_EQ(::send(m_fd, text.data(), text.size(), 0), static_cast<ssize_t>(text.size()));
        return line();
    }

private:
    int m_fd;
};

TEST(DemoMailboxTest, ServesListsTopsAndDeletesAtQuit) {
    DemoMailbox box({"Subject: one\nFrom: a@b\n\nbody 1\n.dot line\n", "Subject: two\n\nbody\n"});
    {
        Conversation c(box.port());
        EXPECT_EQ(c.line(), "+OK Mailvane demo mailbox ready\r\n");
        EXPECT_EQ(c.ask("STAT"), "-ERR log in first\r\n");
        EXPECT_EQ(c.ask("USER demo"), "+OK\r\n");
        EXPECT_EQ(c.ask("PASS wrong"), "-ERR wrong password\r\n");
        EXPECT_EQ(c.ask("PASS demo"), "+OK logged in\r\n");
        EXPECT_EQ(c.ask("STAT"), "+OK 2 68\r\n");
        EXPECT_EQ(c.ask("LIST 1"), "+OK 1 46\r\n");
        EXPECT_EQ(c.ask("UIDL 2"), "+OK 2 demo-2\r\n");
        EXPECT_EQ(c.ask("TOP 1 1"), "+OK\r\n");
        EXPECT_EQ(c.multiLine(), "Subject: one\r\nFrom: a@b\r\n\r\nbody 1\r\n");
        EXPECT_EQ(c.ask("RETR 1"), "+OK 46 octets\r\n");
        EXPECT_EQ(c.multiLine(), "Subject: one\r\nFrom: a@b\r\n\r\nbody 1\r\n..dot line\r\n");
        EXPECT_EQ(c.ask("LIST 3"), "-ERR no such message\r\n");
        EXPECT_EQ(c.ask("DELE 1"), "+OK deleted\r\n");
        EXPECT_EQ(c.ask("LIST 1"), "-ERR no such message\r\n");
        EXPECT_EQ(box.messageCount(), 2u);
        EXPECT_EQ(c.ask("QUIT"), "+OK bye\r\n");
    }
    Conversation again(box.port());
    again.line();
    again.ask("USER demo");
    again.ask("PASS demo");
    EXPECT_EQ(again.ask("STAT"), "+OK 1 22\r\n");
    EXPECT_EQ(box.messageCount(), 1u);
}

TEST(DemoMailboxTest, DroppedSessionDeletesNothing) {
    DemoMailbox box({"Subject: one\n\nx\n"});
    {
        Conversation c(box.port());
        c.line();
        c.ask("USER demo");
        c.ask("PASS demo");
        c.ask("DELE 1");
    }
    Conversation c(box.port()); // served once the dropped session has ended
    c.line();
    EXPECT_EQ(box.messageCount(), 1u);
}

TEST(DemoMailboxTest, BundledMessagesLoad) {
    auto messages = DemoMailbox::loadMessages(MV_SOURCE_DIR "/assets/demo/messages");
    ASSERT_EQ(messages.size(), 20u);
    for (const auto& m : messages)
        EXPECT_NE(m.find("\r\n\r\n"), std::string::npos);
}

} // namespace
} // namespace mv
