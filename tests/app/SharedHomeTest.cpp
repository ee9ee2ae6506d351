// The controller (as in the desktop program) and mailvane-cli in a second process on one home
// folder, against a real Dovecot: what either writes while the other checks, deletes or runs
// automatically is kept, and the hit counts of both add up.
#include "app/ControllerFixture.h"
#include "app/ListCommands.h"
#include "cli/Cli.h"
#include "screening/RuleRows.h"
#include "screening/SubjectRulesOnDisk.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <memory>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace mv {
namespace {

using test::message;

class SharedHomeTest : public test::ControllerHomeTest {
protected:
    void SetUp() override {
        ControllerHomeTest::SetUp();
        if (IsSkipped()) return;
        writeSubjectRules("6,2\r\n1,1,Contains\r\n2,1,viagra\r\n3,1,No\r\n4,1,Yes\r\n5,1,0\r\n");
    }
    // Starts mailvane-cli on this home in a child process; like the real one it waits for the
    // home lock while the controller holds it.
    pid_t startCli(std::vector<std::string> words, const std::string& input = {}) {
        words.insert(words.begin(), {"--home", m_temp.dir().string()});
        pid_t pid = ::fork();
        if (pid == 0) {
            std::istringstream in(input);
            std::ostringstream out, err;
            cli::CliEnvironment env{in, out, err, false, false, m_clock, RegionalSettings{}, {}};
            env.lockPatience = std::chrono::seconds(20);
            int code = cli::Cli().run(words, env);
            if (code != 0) std::fprintf(stderr, "%s%s", out.str().c_str(), err.str().c_str());
            std::fflush(stderr);
            ::_exit(code);
        }
        return pid;
    }
    static int finish(pid_t pid) {
        int status = 0;
        if (pid <= 0 || ::waitpid(pid, &status, 0) != pid) return -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // Starts the command when the controller reports checking its first message, lock held.
    void startCliDuringTheCheck(std::vector<std::string> words, const std::string& input = {}) {
        m_view.onStatus = [=, this](const std::string& status) {
            if (m_child < 0 && status.starts_with("Checking message 1 of"))
                m_child = startCli(words, input);
        };
    }
    // The subject rules on disk as "pattern=hits".
    std::vector<std::string> subjectRulesOnDisk() const {
        return mv::test::subjectRulesOnDisk(m_temp.dir());
    }

    // The subject rules or the exceptions on disk, as "matches=hits".
    std::vector<std::string> rulesOnDisk(TableId id) const {
        if (id != TableId::Exceptions) return subjectRulesOnDisk();
        RuleSet rules(m_temp.dir());
        rules.readSettings();
        std::vector<std::string> out;
        const RuleTable& table = rules.table(id);
        for (int row = 1; row < table.rowCount(); ++row)
            if (!table.isRowEmpty(row))
                out.push_back(table.cell(col::kExceptMatches, row) + "=" +
                              table.cell(col::kExceptHits, row));
        return out;
    }

    pid_t m_child = -1;
};

TEST_F(SharedHomeTest, RuleAddedWhileTheOtherChecksIsKeptAndHitCountsAddUp) {
    server->deliver(message("cheap viagra"));
    server->deliver(message("see you later"));
    std::filesystem::path keywords = m_temp.dir() / "keywords.txt";
    writeFileAtomically(keywords, "later\r\n");
    controller();

    startCliDuringTheCheck({"rules", "import-keywords", keywords.string()});
    EXPECT_EQ(controller().btListClick(), CheckOutcome::Listed);
    ASSERT_GT(m_child, 0) << "the check never reported its first message";
    EXPECT_EQ(finish(m_child), 0);
    std::vector<std::string> rules = subjectRulesOnDisk();
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(rules[0], "viagra=1");
    EXPECT_TRUE(rules[1].starts_with("later=")) << rules[1];
    std::string laterHits = rules[1].substr(6);

    // The command line checks too: both programs count hits on the same rules.
    EXPECT_EQ(finish(startCli({"check"})), 0);
    controller().btListClick();
    EXPECT_EQ(controller().rows()[1].mark, 0) << "the added rule screens the controller's check";
    rules = subjectRulesOnDisk();
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(rules[0], "viagra=3");
    EXPECT_EQ(rules[1],
              "later=" + std::to_string(std::stoi(laterHits.empty() ? "0" : laterHits) + 2));
}

// A quick-add while the command line has added a rule since the last check (the controller idle):
// what the other program saved is taken in before the edit, so its rule and the hits it counted
// stay beside the one added here.
TEST_F(SharedHomeTest, QuickAddKeepsTheRulesTheOtherProgramSaved) {
    struct Case {
        const char* name;
        const char* import; // the command line's rule import
        const char* imported;
        TableId table;
        std::function<void(ListCommands&)> quickAdd;
        std::vector<std::string> onDisk; // "matches=hits"
    } cases[] = {
        {"spam list", "import-keywords", "later", TableId::Subject,
         [](ListCommands& list) { list.AddtoSPAMlist1Click({1}); },
         {"see you later=1", "viagra=2", "later=1"}},
        {"exceptions", "import-addresses", "friend@example.com", TableId::Exceptions,
         [](ListCommands& list) { list.AddtoExceptions1Click({0}); },
         {"friend@example.com=1", "spam@bad.example=0"}},
    };
    server->deliver(message("cheap viagra", "spam@bad.example"));
    server->deliver(message("see you later", "friend@example.com"));
    std::filesystem::path imports = m_temp.dir() / "imports.txt";
    for (const Case& c : cases) {
        m_controller.reset();
        writeSubjectRules("6,2\r\n1,1,Contains\r\n2,1,viagra\r\n3,1,No\r\n4,1,Yes\r\n5,1,0\r\n");
        std::filesystem::remove(m_temp.dir() / "except.lst");
        ASSERT_EQ(controller().btListClick(), CheckOutcome::Listed) << c.name;
        writeFileAtomically(imports, std::string(c.imported) + "\r\n");
        ASSERT_EQ(finish(startCli({"rules", c.import, imports.string()})), 0) << c.name;
        ASSERT_EQ(finish(startCli({"check"})), 0) << c.name;

        ListCommands list(controller());
        c.quickAdd(list);

        EXPECT_EQ(rulesOnDisk(c.table), c.onDisk) << c.name;
    }
}

TEST_F(SharedHomeTest, AccountChangedWhileTheOtherRunsAutomaticallyIsKept) {
    m_settings.writeBool(Setting::Automatic, true);
    m_settings.writeBool(Setting::Kill, true);
    m_settings.writeBool(Setting::SysTray, true); // unattended: the window stays hidden
    m_view.visible = false;
    server->deliver(message("cheap viagra"));
    std::string closed = "127.0.0.1:" + std::to_string(test::freeLoopbackPort());
    controller();

    startCliDuringTheCheck(
        {"accounts", "set", "4", "--server", closed, "--user", "ann", "--password-stdin"}, "pw\n");
    controller().checkNow();
    ASSERT_GT(m_child, 0) << "the check never reported its first message";
    EXPECT_EQ(finish(m_child), 0);
    EXPECT_EQ(server->messagesOnDisk(), 0u); // deleted unattended

    SettingsStore stored(m_home.settingsFile());
    EXPECT_EQ(stored.readServerSettings().accounts[4].user, "ann");
    EXPECT_EQ(stored.readInteger(Setting::Count), 1);
    EXPECT_TRUE(stored.readBool(Setting::Automatic));

    // The running program takes the new mailbox into its next run.
    controller().checkNow();
    EXPECT_NE(log().find("FOR ann ON " + closed), std::string::npos) << log();
    EXPECT_EQ(SettingsStore(m_home.settingsFile()).readServerSettings().accounts[4].user, "ann");
}

TEST_F(SharedHomeTest, AutomaticCheckingHoldsTheHomeOnlyWhileItWrites) {
    pid_t automatic = startCli({"auto"}); // idle until its first tick, a minute away
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    auto options = [this](const std::string& mailer) {
        std::istringstream in;
        std::ostringstream out, err;
        cli::CliEnvironment env{in, out, err, false, false, m_clock, RegionalSettings{}, {}};
        env.lockPatience = std::chrono::milliseconds(100);
        int code =
            cli::Cli().run({"--home", m_temp.dir().string(), "options", "Mailer", mailer}, env);
        EXPECT_EQ(code, 0) << err.str();
    };
    options("first");
    EXPECT_EQ(controller().btListClick(), CheckOutcome::Listed);
    options("second");
    ::kill(automatic, SIGKILL);
    finish(automatic);
    m_settings.refresh();
    EXPECT_EQ(m_settings.readString(Setting::Mailer), "second");
}

} // namespace
} // namespace mv
