#include "base/Files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace mv {
namespace {

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("mv-files-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    std::filesystem::path m_dir;
};

TEST_F(FilesTest, RewriteReplacesTheWholeFileAndLeavesNoTemporary) {
    auto file = m_dir / "subj.lst";
    writeFileAtomically(file, "first version, longer\r\n");
    writeFileAtomically(file, "second\r\n");
    EXPECT_EQ(readFile(file), "second\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir), {}), 1);
}

TEST_F(FilesTest, PrivateFilesAreReadableByTheOwnerOnly) {
    auto file = m_dir / "settings.ini";
    writeFileAtomically(file, "x", true);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(FilesTest, FailedWriteNamesTheFileAndKeepsTheOld) {
    auto file = m_dir / "missing-folder" / "known.lst";
    try {
        writeFileAtomically(file, "x");
        FAIL() << "expected FileError";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("known.lst"), std::string::npos);
    }
    EXPECT_FALSE(readFile(m_dir / "nothing-here"));
}

} // namespace
} // namespace mv
