// One program per user: a second start finds the first, asks it forward and ends; the socket a
// crashed program leaves behind does not lock the user out.
#include "gui/desktop/SingleInstance.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace mv::gui {
namespace {

class SingleInstanceTest : public testing::Test {
protected:
    // A private folder per test, so a running program or another test never answers.
    QTemporaryDir dir;
    QString name = dir.filePath(QStringLiteral("instance"));
};

TEST_F(SingleInstanceTest, SecondStartAsksTheFirstForwardAndEnds) {
    SingleInstance first(name);
    ASSERT_TRUE(first.claim());
    QSignalSpy raised(&first, &SingleInstance::raiseRequested);

    for (int start = 1; start <= 2; ++start) {
        SingleInstance second(name);
        EXPECT_FALSE(second.claim()) << "start " << start;
        EXPECT_TRUE(raised.wait(2000)) << "start " << start;
        EXPECT_EQ(raised.count(), start);
    }
    // The later starts left the first one's socket alone.
    EXPECT_TRUE(QFile::exists(name));
}

TEST_F(SingleInstanceTest, AfterTheFirstEndsTheNextStartRuns) {
    {
        SingleInstance first(name);
        ASSERT_TRUE(first.claim());
    }
    SingleInstance next(name);
    EXPECT_TRUE(next.claim());
}

TEST_F(SingleInstanceTest, SocketLeftByACrashIsTakenOver) {
    // A bound socket whose process is gone: its file stays, nobody accepts on it.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(name);
    ASSERT_LT(size_t(path.size()), sizeof(address.sun_path));
    std::copy(path.begin(), path.end(), address.sun_path);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(name));

    SingleInstance restarted(name);
    EXPECT_TRUE(restarted.claim());
    QSignalSpy raised(&restarted, &SingleInstance::raiseRequested);
    SingleInstance second(name);
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(raised.wait(2000));
}

TEST_F(SingleInstanceTest, AFileInTheWayIsTakenOverToo) {
    QFile junk(name);
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("left over");
    junk.close();
    SingleInstance instance(name);
    EXPECT_TRUE(instance.claim());
    SingleInstance second(name);
    EXPECT_FALSE(second.claim());
}

} // namespace
} // namespace mv::gui
