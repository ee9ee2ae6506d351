#include "cli/CliRunner.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

using test::CliResult;
using test::CliRunner;

TEST(OptionsCommand, ListsEveryGeneralOptionWithItsDefault) {
    CliResult r = CliRunner().run({"options"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "Logfile=\nMailer=\nAlarmFile=\nAutomatic=0\nAsk=1\nKill=0\nMinutes=10\n"
                     "Launch=1\nExit=0\nAlarm=1\nRepeat=1\nRAS=0\nCount=0\nSysTray=0\n"
                     "DNSAddress=\nDNSPort=53\nAsis=1\nMonth=0\nQuarter=0\nNotify=1\n");
}

TEST(OptionsCommand, ReadsAndSetsByValueName) {
    struct Step {
        std::vector<std::string> words;
        int code;
        const char* out;
        const char* err; // first line
    };
    const Step steps[] = {
        {{"minutes"}, 0, "10\n", ""},
        {{"Minutes", "0x1e"}, 0, "", ""},
        {{"MINUTES"}, 0, "30\n", ""},
        {{"Minutes", "601"}, 2, "", "mailvane-cli: Minutes must be a whole number from 2 to 600"},
        {{"Minutes"}, 0, "30\n", ""},
        {{"Logfile", "/tmp/my log.txt"}, 0, "", ""},
        {{"Logfile"}, 0, "/tmp/my log.txt\n", ""},
        {{"DNSAddress", "127.0.0.1"}, 0, "", ""},
        {{"DNSPort", "5353"}, 0, "", ""},
        {{"DNSPort"}, 0, "5353\n", ""},
        {{"Month", "yes"}, 0, "", ""},
        {{"Asis"}, 0, "0\n", ""},
        {{"Which"}, 2, "", "mailvane-cli: unknown option Which"},
        {{"Version161", "1"}, 2, "", "mailvane-cli: unknown option Version161"},
        {{"Kill", "1", "2"}, 2, "", "mailvane-cli: unexpected argument 2"},
    };
    CliRunner cli;
    for (const Step& s : steps) {
        std::vector<std::string> words = s.words;
        words.insert(words.begin(), "options");
        CliResult r = cli.run(words);
        std::string shown = testing::PrintToString(words);
        EXPECT_EQ(r.code, s.code) << shown;
        EXPECT_EQ(r.out, s.out) << shown;
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')), s.err) << shown;
    }
    GeneralSettings g = cli.settings().ReadGeneralSettings();
    EXPECT_EQ(g.logNaming, LogNaming::Month);
    EXPECT_EQ(g.dnsPort, 5353);
}

} // namespace
} // namespace mv
