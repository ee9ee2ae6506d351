#include "app/settings/HomeFolder.h"
#include "app/settings/HomeLock.h"
#include "app/settings/TempHome.h"

#include "base/Files.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace mv {
namespace {

struct FolderCase {
    const char* name;
    std::optional<std::filesystem::path> override;
    std::map<std::string, std::string> env;
    std::filesystem::path configDir, programDir;
};

TEST(HomeFolder, ResolvesInOrderOfPrecedence) {
    const FolderCase cases[] = {
        {"--home wins", "/h", {{"MAILVANE_HOME", "/m"}, {"HOME", "/u"}}, "/h", "/h"},
        {"MAILVANE_HOME", std::nullopt, {{"MAILVANE_HOME", "/m"}, {"HOME", "/u"}}, "/m", "/m"},
        {"empty --home ignored", "", {{"MAILVANE_HOME", "/m"}}, "/m", "/m"},
        {"XDG folders",
         std::nullopt,
         {{"XDG_CONFIG_HOME", "/c"}, {"XDG_DATA_HOME", "/d"}, {"HOME", "/u"}},
         "/c/mailvane",
         "/d/mailvane"},
        {"XDG fallbacks",
         std::nullopt,
         {{"HOME", "/u"}},
         "/u/.config/mailvane",
         "/u/.local/share/mailvane"},
        {"relative XDG ignored",
         std::nullopt,
         {{"XDG_CONFIG_HOME", "rel"}, {"XDG_DATA_HOME", "rel"}, {"HOME", "/u"}},
         "/u/.config/mailvane",
         "/u/.local/share/mailvane"},
    };
    for (const FolderCase& c : cases) {
        HomeFolder home = HomeFolder::resolve(c.override, c.env);
        EXPECT_EQ(home.configDir(), c.configDir) << c.name;
        EXPECT_EQ(home.programDir(), c.programDir) << c.name;
    }
}

TEST(HomeFolder, NoFolderWithoutHome) {
    EXPECT_THROW(HomeFolder::resolve(std::nullopt, {}), FileError);
    EXPECT_THROW(HomeFolder::resolve(std::nullopt, {{"XDG_CONFIG_HOME", "/c"}}), FileError);
    EXPECT_NO_THROW(
        HomeFolder::resolve(std::nullopt, {{"XDG_CONFIG_HOME", "/c"}, {"XDG_DATA_HOME", "/d"}}));
}

TEST(HomeFolder, NamesItsFiles) {
    HomeFolder home("/c", "/p");
    EXPECT_EQ(home.settingsFile(), "/c/settings.ini");
    EXPECT_EQ(home.lockFile(), "/c/mailvane.lock");
    EXPECT_EQ(home.iniFile(), "/p/mailvane.ini");
    EXPECT_EQ(home.programFile("known.lst"), "/p/known.lst");
    EXPECT_EQ(home.defaultLogFile(), "/p/logfile.txt");
    EXPECT_EQ(home.emlFile(7), "/p/msg_7.eml");
}

TEST(HomeFolder, CreatesConfigFolderPrivate) {
    test::TempHome temp;
    HomeFolder home(temp.dir() / "config", temp.dir() / "data");
    home.create();
    struct stat st {};
    ASSERT_EQ(::stat(home.configDir().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_TRUE(std::filesystem::is_directory(home.programDir()));
    home.create(); // existing folders are fine
}

TEST(HomeFolder, FailsWhenAFileIsInTheWay) {
    test::TempHome temp;
    std::filesystem::path blocker = temp.dir() / "file";
    { std::ofstream(blocker) << "x"; }
    EXPECT_THROW(HomeFolder(blocker / "sub").create(), FileError);
    EXPECT_THROW(HomeFolder(blocker).create(), FileError);
}

TEST(HomeLock, SecondHolderWaitsThenFailsClearly) {
    test::TempHome temp;
    std::filesystem::path file = temp.dir() / "mailvane.lock";
    {
        HomeLock first(file);
        try {
            HomeLock second(file, std::chrono::milliseconds(120));
            FAIL() << "second lock was granted";
        } catch (const LockError& e) {
            EXPECT_EQ(std::string(e.what()), "Another Mailvane program is using " +
                                                 temp.dir().string() +
                                                 "; try again when it has finished.");
        }
    }
    HomeLock again(file, std::chrono::milliseconds(0)); // released with its holder
}

TEST(HomeLock, HoldsOffAnotherProcess) {
    test::TempHome temp;
    std::filesystem::path file = temp.dir() / "mailvane.lock";
    auto childCanLock = [&] {
        pid_t pid = ::fork();
        if (pid == 0) {
            try {
                HomeLock lock(file, std::chrono::milliseconds(0));
                ::_exit(0);
            } catch (...) {
                ::_exit(1);
            }
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    };
    {
        HomeLock held(file);
        EXPECT_FALSE(childCanLock());
    }
    EXPECT_TRUE(childCanLock());
}

TEST(ScopedHomeLock, NestedScopesShareOneHoldThatForkedChildrenDoNotInherit) {
    test::TempHome temp;
    std::filesystem::path file = temp.dir() / "mailvane.lock";
    // A child forked while the scope is held must wait like any other process, even through a
    // scope of its own.
    auto childCanLock = [&] {
        pid_t pid = ::fork();
        if (pid == 0) {
            try {
                ScopedHomeLock lock(file, std::chrono::milliseconds(0));
                ::_exit(0);
            } catch (const LockError&) {
                ::_exit(1);
            }
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    };
    {
        ScopedHomeLock outer(file);
        {
            ScopedHomeLock inner(file, std::chrono::milliseconds(0)); // no wait for itself
            EXPECT_FALSE(childCanLock());
        }
        EXPECT_FALSE(childCanLock()); // the outer scope still holds it
    }
    EXPECT_TRUE(childCanLock());
}

TEST(HomeLock, LockFileIsPrivate) {
    test::TempHome temp;
    HomeLock lock(temp.dir() / "mailvane.lock");
    struct stat st {};
    ASSERT_EQ(::stat((temp.dir() / "mailvane.lock").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(HomeLock, MissingFolderIsAFileError) {
    EXPECT_THROW(HomeLock("/nonexistent-mailvane/dir/mailvane.lock"), FileError);
}

} // namespace
} // namespace mv
