#include "base/Files.h"

#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>
#include <sys/time.h>

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

TEST_F(FilesTest, ModeIsKeptOrNarrowedForPrivateFiles) {
    struct Case {
        mode_t before;
        bool privateFile;
        mode_t after;
    };
    for (const Case& c : {Case{0640, false, 0640}, Case{0644, true, 0600}, Case{0600, false, 0600},
                          Case{0660, true, 0600}}) {
        auto file = m_dir / "settings.ini";
        writeFileAtomically(file, "old");
        ASSERT_EQ(::chmod(file.c_str(), c.before), 0);
        writeFileAtomically(file, "new", c.privateFile);
        struct stat st {};
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, c.after) << std::oct << c.before << " " << c.privateFile;
    }
}

TEST_F(FilesTest, SymbolicLinksAreWrittenThroughAndStayLinks) {
    namespace fs = std::filesystem;
    fs::create_directories(m_dir / "dotfiles");
    struct Case {
        const char* name;
        fs::path link; // where the link points, relative to m_dir unless absolute
        fs::path target;
    };
    for (const Case& c :
         {Case{"relative", "dotfiles/subj.lst", m_dir / "dotfiles/subj.lst"},
          Case{"absolute", m_dir / "dotfiles/from.lst", m_dir / "dotfiles/from.lst"},
          Case{"dangling", "dotfiles/new.lst", m_dir / "dotfiles/new.lst"}}) {
        auto link = m_dir / (std::string(c.name) + ".lst");
        if (std::string(c.name) != "dangling") writeFileAtomically(c.target, "old");
        fs::create_symlink(c.link, link);
        writeFileAtomically(link, "new", true);
        EXPECT_TRUE(fs::is_symlink(link)) << c.name;
        EXPECT_EQ(readFile(c.target), "new") << c.name;
    }
    // A chain of two links ends at the same file.
    fs::create_symlink(m_dir / "relative.lst", m_dir / "chain.lst");
    writeFileAtomically(m_dir / "chain.lst", "chained");
    EXPECT_EQ(readFile(m_dir / "dotfiles/subj.lst"), "chained");
    EXPECT_TRUE(fs::is_symlink(m_dir / "relative.lst"));
    // No temporaries left behind anywhere.
    for (const auto& e : fs::recursive_directory_iterator(m_dir))
        EXPECT_EQ(e.path().string().find(".tmp"), std::string::npos) << e.path();
}

TEST_F(FilesTest, PlantedTemporaryNamesCatchNothing) {
    // Someone who can write the folder plants links under the names an old writer would use.
    auto file = m_dir / "settings.ini";
    auto elsewhere = m_dir / "elsewhere";
    writeFileAtomically(elsewhere, "untouched");
    for (const std::string& suffix :
         {std::string(".tmp"), ".tmp" + std::to_string(::getpid()), std::string(".new")}) {
        auto planted = file;
        planted += suffix;
        std::filesystem::create_symlink(elsewhere, planted);
    }
    writeFileAtomically(file, "password", true);
    EXPECT_EQ(readFile(elsewhere), "untouched");
    EXPECT_EQ(readFile(file), "password");
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

// Whatever stands in a home file's place, a read ends at once with the file's name and the
// reason: a FIFO with no writer would block an ordinary open for ever, and /dev/zero never ends.
TEST_F(FilesTest, OnlyRegularFilesOfBoundedSizeAreRead) {
    namespace fs = std::filesystem;
    ASSERT_EQ(::mkfifo((m_dir / "fifo.lst").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", m_dir / "zero.lst");
    fs::create_directory(m_dir / "folder.lst");
    writeFileAtomically(m_dir / "big.lst", std::string(1001, 'x'));
    fs::create_symlink(m_dir / "big.lst", m_dir / "link.lst");
    struct Case {
        const char* name;
        const char* reason;
    };
    for (const Case& c : {Case{"fifo.lst", "it is not a regular file"},
                          Case{"zero.lst", "it is not a regular file"},
                          Case{"folder.lst", "it is a folder, not a file"},
                          Case{"big.lst", "it is larger than 1000 bytes"}}) {
        try {
            readFile(m_dir / c.name, 1000);
            ADD_FAILURE() << c.name << " was read";
        } catch (const FileError& e) {
            EXPECT_EQ(e.what(), "Unable to read " + (m_dir / c.name).string() + ": " + c.reason);
        }
    }
    EXPECT_EQ(readFile(m_dir / "link.lst", 1001)->size(), 1001u) << "a link to a file is read";
}

// Left by rewrites that were killed: the program's own temporaries go once a minute old; a fresh
// one (another program's rewrite in flight), look-alikes and a link under such a name stay.
TEST_F(FilesTest, StaleTemporariesOfKilledRewritesAreRemoved) {
    namespace fs = std::filesystem;
    auto make = [&](const std::string& name, bool old) {
        writeFileAtomically(m_dir / name, "x");
        if (!old) return;
        struct timeval times[2] = {{::time(nullptr) - 120, 0}, {::time(nullptr) - 120, 0}};
        ASSERT_EQ(::utimes((m_dir / name).c_str(), times), 0);
    };
    const std::string digits = "0123456789abcdef";
    make("settings.ini.tmp" + digits, true);
    make("listing_1.txt.tmp" + digits, true);
    make("subj.lst.tmp" + digits, false);
    make("subj.lst.tmp" + digits.substr(1), true); // 15 digits
    make("subj.lst.tmp0123456789ABCDEF", true);    // not ours: upper case
    make("notes.tmp", true);
    make("elsewhere", true);
    fs::create_symlink(m_dir / "elsewhere", m_dir / ("from.lst.tmp" + digits));
    removeStaleTemporaries(m_dir);
    std::set<std::string> left;
    for (const auto& e : fs::directory_iterator(m_dir))
        left.insert(e.path().filename().string());
    EXPECT_EQ(left,
              (std::set<std::string>{"subj.lst.tmp" + digits, "subj.lst.tmp" + digits.substr(1),
                                     "subj.lst.tmp0123456789ABCDEF", "notes.tmp", "elsewhere",
                                     "from.lst.tmp" + digits}));
}

} // namespace
} // namespace mv
