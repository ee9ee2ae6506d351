#include "cli/CliRunner.h"

#include "base/Files.h"
#include "base/IniFile.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

using test::CliResult;
using test::CliRunner;

TEST(SpamCommand, ListsEveryOptionWithItsDefault) {
    CliResult r = CliRunner().run({"spam"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "Known/QMonitor=1\nKnown/Valid=1\nKnown/Question=0\nKnown/Num=0\n"
                     "Smaller/QSmaller=0\nSmaller/Num=100\nSmaller/Check=1\n"
                     "Larger/QLarger=0\nLarger/Num=20000\nLarger/Check=1\n");
}

TEST(SpamCommand, ReadsAndSetsBySectionAndKey) {
    struct Step {
        std::vector<std::string> words;
        int code;
        const char* out;
        const char* err; // first line
    };
    const Step steps[] = {
        {{"Known/Valid", "0"}, 0, "", ""},
        {{"known/valid"}, 0, "0\n", ""},
        {{"Smaller/Num", "0x40"}, 0, "", ""},
        {{"Smaller/Num"}, 0, "64\n", ""},
        {{"Larger/Num", "-5"}, 2, "", "mailvane-cli: Larger/Num must be a whole number from 0"},
        {{"Known/Question", "maybe"}, 2, "", "mailvane-cli: Known/Question must be 1 or 0"},
        {{"Known/Num", "7"}, 0, "", ""},
        {{"Known/Num"}, 0, "7\n", ""},
        {{"Valid"}, 2, "", "mailvane-cli: unknown spam option Valid"},
    };
    CliRunner cli;
    for (const Step& s : steps) {
        std::vector<std::string> words = s.words;
        words.insert(words.begin(), "spam");
        CliResult r = cli.run(words);
        std::string shown = testing::PrintToString(words);
        EXPECT_EQ(r.code, s.code) << shown;
        EXPECT_EQ(r.out, s.out) << shown;
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')), s.err) << shown;
    }
}

TEST(SpamCommand, KeepsTheFileOtherSections) {
    CliRunner cli;
    writeFileAtomically(cli.home() / "mailvane.ini",
                        "[Window]\r\nLeft=10\r\n[Known]\r\nValid=1\r\n");
    EXPECT_EQ(cli.run({"spam", "Known/Valid", "off"}).code, 0);
    IniFile ini(cli.home() / "mailvane.ini");
    ini.load();
    EXPECT_EQ(ini.readString("Window", "Left"), "10");
    EXPECT_EQ(ini.readString("Known", "Valid"), "0");
}

} // namespace
} // namespace mv
