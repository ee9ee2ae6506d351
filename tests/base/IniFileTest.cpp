#include "base/IniFile.h"

#include "base/Files.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace mv
