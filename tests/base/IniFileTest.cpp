#include "base/IniFile.h"

#include "base/Files.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace mv {
namespace {

TEST(IniFile, ReadsSectionsAndKeysIgnoringCase) {
    IniFile ini("unused.ini");
    ini.parse("[Known]\r\nValid=1\r\n\r\n[Smaller]\nSize = 0x10\nBad=12z\n; comment\n");
    EXPECT_TRUE(ini.readBool("KNOWN", "valid", false));
    EXPECT_EQ(ini.readInteger("smaller", "SIZE", 0), 16);
    EXPECT_EQ(ini.readInteger("Smaller", "Bad", 5), 5);   // not a number: default
    EXPECT_EQ(ini.readInteger("Larger", "Size", 7), 7);   // missing section: default
    EXPECT_EQ(ini.readString("Known", "Missing", "d"), "d");
}

TEST(IniFile, BooleansAreAnyNonZeroInteger) {
    IniFile ini("unused.ini");
    ini.parse("[G]\na=2\nb=0\nc=yes\n");
    EXPECT_TRUE(ini.readBool("G", "a", false));
    EXPECT_FALSE(ini.readBool("G", "b", true));
    EXPECT_TRUE(ini.readBool("G", "c", true));
}

TEST(IniFile, WritesCrLfAndKeepsOrder) {
    IniFile ini("unused.ini");
    ini.writeBool("Known", "Valid", true);
    ini.writeInteger("Smaller", "Size", 10);
    ini.writeString("Known", "valid", "0");
    EXPECT_EQ(ini.text(), "[Known]\r\nValid=0\r\n\r\n[Smaller]\r\nSize=10\r\n");
}

TEST(IniFile, AValueCannotAddLines) {
    IniFile ini("unused.ini");
    ini.writeString("General", "Logfile", "a\r\n[Server]\r\nServer1=evil");
    IniFile back("unused.ini");
    back.parse(ini.text());
    EXPECT_EQ(back.sections(), std::vector<std::string>{"General"});
}

TEST(IniFile, SaveAndLoadRoundTrip) {
    auto path = std::filesystem::temp_directory_path() / ("mv-ini-" + std::to_string(::getpid()));
    IniFile ini(path);
    ini.writeString("Server", "Server1", "pop.example.test");
    ini.save();
    IniFile back(path);
    back.load();
    EXPECT_EQ(back.readString("Server", "Server1"), "pop.example.test");
    std::filesystem::remove(path);
    back.load(); // a missing file is an empty store
    EXPECT_TRUE(back.sections().empty());
}

TEST(IniFile, DamageIsToldFromLegitimateFiles) {
    struct Case {
        std::string text;
        std::optional<std::string> damage;
    };
    const Case cases[] = {
        {"", std::nullopt},
        {"\xEF\xBB\xBF[General]\r\nKill=1\r\n", std::nullopt},
        {"; comment\n# another\n\n[Future]\nUnknownKey=\xE9t\xE9\n", std::nullopt},
        {std::string("[General]\r\nKill=1\0\0\0", 20), "it holds NUL bytes"},
        {"[General]\r\nKill=1\r\ngarbage\r\n",
         "line 3 is neither a section, a key=value line nor a comment"},
        {"[General\r\n", "line 1 is neither a section, a key=value line nor a comment"},
        {"=1\r\n", "line 1 is neither a section, a key=value line nor a comment"},
        {"Kill=1\r\n[General]\r\n", "line 1 holds a value outside any section"},
        {"[General]\r\nK\xFFll=1\r\n", "line 2 holds a name that is not UTF-8 text"},
        {"\x89PNG\r\n\x1a\n", "line 1 is neither a section, a key=value line nor a comment"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IniFile::damageIn(c.text), c.damage) << c.text;
}

// A damaged file is said, kept byte for byte beside the new one, and never read as settings.
TEST(IniFile, ADamagedFileIsKeptAsideAndTheStoreStartsEmpty) {
    auto dir =
        std::filesystem::temp_directory_path() / ("mv-ini-dmg-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string damaged = "[General]\r\nKill=1\r\n\xDE\xAD\xBE\xEF\r\n";
    for (int i = 0; i < 2; ++i) { // the second finds the first copy's name taken
        writeFileAtomically(dir / "settings.ini", damaged);
        IniFile ini(dir / "settings.ini");
        std::optional<std::string> notice = ini.load();
        ASSERT_TRUE(notice);
        EXPECT_TRUE(notice->starts_with("The file " + (dir / "settings.ini").string() +
                                        " could not be read: line 3 is neither"))
            << *notice;
        EXPECT_TRUE(ini.sections().empty());
        EXPECT_FALSE(std::filesystem::exists(dir / "settings.ini"));
    }
    std::vector<std::string> kept;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        kept.push_back(e.path().filename().string());
        EXPECT_EQ(readFile(e.path()), damaged);
    }
    std::sort(kept.begin(), kept.end());
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_TRUE(kept[0].starts_with("settings.ini.damaged-")) << kept[0];
    EXPECT_EQ(kept[1], kept[0] + "-2");
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace mv
