// The check controller against a real Dovecot on loopback, through a recording view: the check
// run, cancel, deletion, the activity log written by both, automatic runs and the list commands.
#include "app/ControllerFixture.h"
#include "app/ListCommands.h"

#include <functional>
#include <sys/stat.h>

namespace mv {
namespace {

using test::AutomaticRunTest;
using test::CheckControllerTest;
using test::DovecotServer;
using test::kStamp;
using test::message;
namespace fs = std::filesystem;

TEST_F(CheckControllerTest, CheckListsScreensAndLogs) {
    server->deliver(message("Hello"));
    server->deliver(message("cheap viagra", "Spammer <spam@bad.example>"));
    server->deliver(message("maybe later", "", "not a date"));

    EXPECT_EQ(controller().btListClick(), CheckOutcome::Listed);

    const auto& rows = controller().rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].subject, "Hello");
    EXPECT_EQ(rows[0].date, "3/16/1998 10:00:00 AM");
    EXPECT_EQ(rows[1].sender, "spam@bad.example");
    EXPECT_EQ(rows[2].sender, "");         // no From
    EXPECT_EQ(rows[2].date, "not a date"); // unparsable date shown as it is
    EXPECT_EQ(marks(), (std::vector<int>{-1, 0, 1}));

    std::string host = server->plainServer();
    for (const char* status : {"Updating headers", "Checking message 1 of 3 total waiting messages",
                               "Checking message 3 of 3 total waiting messages"})
        EXPECT_TRUE(m_view.saw(std::string("status: ") + status)) << status;
    EXPECT_TRUE(m_view.saw("status: Opening connection for bob on " + host));
    EXPECT_TRUE(m_view.saw("status: 3 msg(s) for bob on " + host));
    EXPECT_EQ(m_view.matching("status: ").back(), "status: Message Total: 3 Number Marked: 1");
    EXPECT_TRUE(m_view.matching("chooser").empty()); // only mailbox 1: no chooser
    EXPECT_TRUE(controller().client().Connected());  // kept open for the deletion
    EXPECT_EQ(m_view.buttons, (ButtonStates{true, true}));
    EXPECT_EQ(m_view.exitCaption, "Goodbye");
    EXPECT_TRUE(m_view.checkPictureUp);
    EXPECT_EQ(log(), checkEntry(3, host));
}

TEST_F(CheckControllerTest, NoMessagesAndExitWhenEmpty) {
    m_settings.writeBool(Setting::Exit, true);
    EXPECT_EQ(controller().btListClick(), CheckOutcome::Listed);
    EXPECT_TRUE(controller().rows().empty());
    EXPECT_EQ(m_view.buttons, (ButtonStates{true, false}));
    EXPECT_FALSE(m_view.checkPictureUp);
    EXPECT_TRUE(m_view.saw("close window"));
    EXPECT_EQ(log(), checkEntry(0, server->plainServer()));
}

TEST_F(CheckControllerTest, EveryCheckStartsAFreshSession) {
    server->deliver(message("one"));
    controller().btListClick();
    ASSERT_TRUE(controller().client().Connected());
    server->deliver(message("two"));
    controller().btListClick();
    EXPECT_EQ(controller().rows().size(), 2u);
}

TEST_F(CheckControllerTest, ChooserCancelledContactsNothing) {
    server->deliver(message("one"));
    setAccount(2, server->plainServer());
    m_view.chosenMailbox = 1;
    controller().btListClick();
    ASSERT_EQ(controller().rows().size(), 1u);
    m_view.chosenMailbox.reset();
    EXPECT_EQ(controller().btListClick(), CheckOutcome::NotRun);
    EXPECT_EQ(controller().rows().size(), 1u); // the previous rows stay
    EXPECT_EQ(m_view.matching("chooser: 2 entries").size(), 2u);
    EXPECT_EQ(log(), checkEntry(1, server->plainServer()));
}

TEST_F(CheckControllerTest, MissingUserNameOpensTheSettings) {
    m_settings.clearAccount(1);
    EXPECT_EQ(controller().btListClick(), CheckOutcome::NotRun);
    EXPECT_TRUE(m_view.saw("error: You need to enter your e-mail username in the settings."));
    EXPECT_TRUE(m_view.saw("settings window"));
    EXPECT_EQ(log(), "");
}

TEST_F(CheckControllerTest, CancelDuringThePass) {
    for (int i = 0; i < 3; ++i)
        server->deliver(message("m" + std::to_string(i)));
    m_view.onStatus = [this](const std::string& s) {
        if (s == "Checking message 2 of 3 total waiting messages") controller().cancel();
    };
    EXPECT_EQ(controller().btListClick(), CheckOutcome::Failed);
    EXPECT_TRUE(controller().rows().empty());
    EXPECT_TRUE(m_view.saw("error: Operation has been canceled"));
    EXPECT_EQ(m_view.buttons, (ButtonStates{true, false}));
    EXPECT_EQ(m_view.exitCaption, "Goodbye");
    std::string host = server->plainServer();
    EXPECT_EQ(log(), "OPERATION CANCELED FOR bob ON " + host + " AT " + kStamp + "\r\n" +
                         "ERROR Operation has been canceled FOR bob ON " + host + " AT " + kStamp +
                         "\r\n");
}

TEST_F(CheckControllerTest, FailedCheckReturnsToIdle) {
    setAccount(1, "127.0.0.1:" + std::to_string(test::freeLoopbackPort()));
    EXPECT_EQ(controller().btListClick(), CheckOutcome::Failed);
    EXPECT_EQ(m_view.matching("error: ").size(), 1u);
    EXPECT_EQ(m_view.buttons, (ButtonStates{true, false}));
    EXPECT_EQ(m_view.exitCaption, "Goodbye");
    EXPECT_TRUE(log().starts_with("ERROR ")) << log();
    EXPECT_EQ(log().find("MAIL CHECK"), std::string::npos);
}

TEST_F(CheckControllerTest, DeletingTwoOfThreeAsksLogsAndLaunches) {
    server->deliver(message("cheap viagra", "x@spam.example"));
    server->deliver(message("Hello"));
    server->deliver(message("more viagra\tnow", "y@spam.example"));
    controller().btListClick();
    ASSERT_EQ(marks(), (std::vector<int>{0, -1, 0}));
    std::vector<MessageEntry> before = controller().rows();
    m_view.answers = {true};

    EXPECT_TRUE(controller().btDeleteClick());

    EXPECT_TRUE(m_view.saw("ask: Really delete 2 messages from server?"));
    EXPECT_EQ(server->messagesOnDisk(), 1u);
    EXPECT_TRUE(controller().rows().empty()); // Launch on and wanted mail left: not listed again
    EXPECT_EQ(m_platform.calls, (std::vector<std::string>{"open mail-program"}));
    EXPECT_TRUE(m_view.saw("status: There were 2 messages deleted"));
    EXPECT_TRUE(m_view.saw("hint: 2 spams deleted"));
    EXPECT_EQ(m_settings.ReadGeneralSettings().count, 2);
    std::string host = server->plainServer(), expected = checkEntry(3, host);
    for (int i : {0, 2})
        expected += std::string("DELETE SPAM on ") + kStamp + "\r\n" + "   Server:  " + host +
                    " Mailbox: bob\r\n" + "   Subject: " + before[i].subject + "\r\n" +
                    "   Sender:  " + before[i].sender + "\r\n" + "   Size:    " + before[i].size +
                    "  Date: 3/16/1998 10:00:00 AM\r\n";
    EXPECT_EQ(log(), expected);
}

TEST_F(CheckControllerTest, AnsweringNoChangesNothing) {
    server->deliver(message("viagra"));
    controller().btListClick();
    m_view.answers = {false};
    controller().btDeleteClick();
    EXPECT_EQ(server->messagesOnDisk(), 1u);
    EXPECT_EQ(controller().rows().size(), 1u);
    EXPECT_EQ(m_settings.ReadGeneralSettings().count, 0);
}

TEST_F(CheckControllerTest, AllMarkedIsListedAgainWithoutLaunch) {
    server->deliver(message("viagra 1"));
    server->deliver(message("viagra 2"));
    m_settings.writeBool(Setting::Ask, false);
    controller().btListClick();
    controller().btDeleteClick();
    EXPECT_TRUE(m_view.matching("ask: ").empty());
    EXPECT_EQ(server->messagesOnDisk(), 0u);
    EXPECT_TRUE(controller().rows().empty());
    EXPECT_TRUE(m_platform.calls.empty());
    EXPECT_EQ(controller().lastDeletedCount(), 2);
}

TEST_F(CheckControllerTest, UncommittedDeletionIsNeitherLoggedNorCounted) {
    auto file = server->deliver(message("viagra"));
    server->deliver(message("Hello"));
    m_settings.writeBool(Setting::Ask, false);
    setAccount(2, server->plainServer()); // no session is kept open with two mailboxes
    m_view.chosenMailbox = 1;
    controller().btListClick();
    server->removeOnDisk(file); // another program took the message meanwhile
    EXPECT_FALSE(controller().btDeleteClick());
    EXPECT_EQ(server->messagesOnDisk(), 1u);
    EXPECT_EQ(m_settings.ReadGeneralSettings().count, 0);
    EXPECT_EQ(log().find("DELETE SPAM"), std::string::npos);
    EXPECT_NE(log().find("\r\nERROR "), std::string::npos) << log();
    EXPECT_EQ(m_view.matching("error: ").size(), 1u);
    EXPECT_EQ(m_view.exitCaption, "Goodbye");
    EXPECT_EQ(m_view.buttons.checkEnabled, true);
}

TEST_F(CheckControllerTest, BlankLogPathWritesNothing) {
    m_settings.writeString(Setting::Logfile, "");
    server->deliver(message("viagra"));
    m_settings.writeBool(Setting::Ask, false);
    controller().btListClick();
    controller().btDeleteClick();
    EXPECT_EQ(server->messagesOnDisk(), 0u);
    for (const auto& entry : fs::directory_iterator(m_temp.dir()))
        EXPECT_NE(entry.path().extension(), ".txt") << entry.path();
}

TEST_F(CheckControllerTest, MonthAndQuarterLogNames) {
    m_settings.writeOption(Setting::Month, "1");
    controller().btListClick();
    EXPECT_TRUE(readFile(m_temp.dir() / "Mar98.txt").has_value());
    m_settings.writeOption(Setting::Quarter, "1");
    controller().settingsClosed();
    controller().btListClick();
    EXPECT_EQ(readFile(m_temp.dir() / "Q1_98.txt").value_or(""),
              checkEntry(0, server->plainServer()));
}

TEST_F(CheckControllerTest, UnopenableLogIsReportedOnceAndTheCheckCompletes) {
    m_settings.writeString(Setting::Logfile, (m_temp.dir() / "no" / "log.txt").string());
    server->deliver(message("viagra"));
    m_view.answers = {true};
    controller().btListClick();
    controller().btDeleteClick();
    EXPECT_EQ(server->messagesOnDisk(), 0u);
    EXPECT_EQ(m_view.matching("error: Unable to write to").size(), 1u);
}

TEST_F(CheckControllerTest, CountdownCaptions) {
    m_settings.writeBool(Setting::Automatic, true);
    m_settings.writeInteger(Setting::Minutes, 2);
    controller();
    EXPECT_EQ(m_view.caption, "Mailvane - next e-mail check in 2 minutes");
    EXPECT_TRUE(controller().timerEnabled());
    controller().Timer1Timer();
    EXPECT_EQ(m_view.caption, "Mailvane - next e-mail check in 1 minute");
    EXPECT_EQ(log(), "");
    controller().Timer1Timer(); // the run
    EXPECT_EQ(m_view.caption, "Mailvane - No waiting messages found");
    EXPECT_EQ(log(), checkEntry(0, server->plainServer()));
    EXPECT_EQ(controller().countdown(), 2);
    EXPECT_TRUE(controller().timerEnabled());
}

TEST_F(CheckControllerTest, SwitchingAutomaticModeLogsAndRestartsTheCountdown) {
    m_settings.writeInteger(Setting::Minutes, 5);
    controller().EnableAutomatic1Click(true);
    controller().Timer1Timer();
    controller().EnableAutomatic1Click(false);
    EXPECT_FALSE(controller().timerEnabled());
    EXPECT_EQ(controller().countdown(), 5);
    EXPECT_EQ(m_view.caption, "Mailvane");
    EXPECT_EQ(log(), std::string("Automatic mode enabled at ") + kStamp + "\r\n" +
                         "Automatic mode disabled at " + kStamp + "\r\n");
    EXPECT_FALSE(m_settings.ReadGeneralSettings().automatic);
    controller().Timer1Timer(); // a tick already on its way does not switch the timer back on
    EXPECT_FALSE(controller().timerEnabled());
}

TEST_F(CheckControllerTest, LaunchDropsTheKeptSessionAndAlarmPlaysTheFile) {
    server->deliver(message("Hello"));
    controller().btListClick();
    ASSERT_TRUE(controller().client().Connected());
    controller().btLaunchClick();
    EXPECT_FALSE(controller().client().Connected());
    EXPECT_TRUE(controller().rows().empty());
    EXPECT_EQ(m_platform.calls, (std::vector<std::string>{"open mail-program"}));
    EXPECT_NE(log().find("OPERATION CANCELED FOR bob ON " + server->plainServer()),
              std::string::npos);

    fs::path sound = m_temp.dir() / "alarm.wav";
    writeFileAtomically(sound, "RIFF");
    m_settings.writeString(Setting::AlarmFile, sound.string());
    controller().settingsClosed();
    controller().playAlarmSound(true);
    EXPECT_EQ(m_platform.calls.back(), "play " + sound.string() + " looped");
    m_settings.writeString(Setting::Mailer, "");
    controller().settingsClosed();
    controller().btLaunchClick();
    EXPECT_TRUE(m_view.saw("error: Mail program not specified in the general settings. "));
}

TEST_F(AutomaticRunTest, StopsAtTheFirstMailboxWithMail) {
    controller().checkNow();
    EXPECT_EQ(m_view.caption, "Mailvane - MailBox bob - 2 messages");
    EXPECT_TRUE(m_view.saw("show window"));
    EXPECT_EQ(m_platform.calls, (std::vector<std::string>{"beep"})); // no alarm file
    EXPECT_EQ(log(), checkEntry(0, server->plainServer()) + checkEntry(2, three->plainServer()));
    // The list, the current mailbox and the client agree: mailbox 3.
    EXPECT_EQ(controller().currentMailbox(), 3);
    EXPECT_EQ(controller().listedMailbox(), 3);
    EXPECT_EQ(controller().client().server(), three->plainServer());
    EXPECT_TRUE(controller().timerEnabled());
}

TEST_F(AutomaticRunTest, KillCleansEveryMailboxWithoutAlarm) {
    m_settings.writeBool(Setting::Kill, true);
    controller().checkNow();
    EXPECT_EQ(m_view.caption, "Mailvane - No waiting messages found");
    EXPECT_TRUE(m_platform.calls.empty());
    EXPECT_TRUE(m_view.matching("ask: ").empty());
    EXPECT_EQ(three->messagesOnDisk(), 1u);
    std::string text = log();
    EXPECT_NE(text.find(checkEntry(0, five->plainServer())), std::string::npos) << text;
    EXPECT_NE(text.find("   Subject: viagra\r\n"), std::string::npos);
    // Mailbox 5, checked last, is empty: the chosen mailbox is current again.
    EXPECT_TRUE(controller().rows().empty());
    EXPECT_EQ(controller().currentMailbox(), 1);
    EXPECT_EQ(controller().client().server(), server->plainServer());
}

TEST_F(AutomaticRunTest, UnattendedFailureIsAnErrorEntryAndNothingIsDeleted) {
    m_settings.writeBool(Setting::Kill, true);
    std::string closed = "127.0.0.1:" + std::to_string(test::freeLoopbackPort());
    setAccount(1, closed);
    controller().checkNow();
    std::string text = log();
    EXPECT_TRUE(text.starts_with("ERROR ")) << text;
    EXPECT_EQ(text.find("on server " + closed + " "), std::string::npos) << text;
    EXPECT_TRUE(m_view.matching("error: ").empty()); // swallowed while hidden
    EXPECT_EQ(three->messagesOnDisk(), 1u);          // the run went on
}

TEST_F(CheckControllerTest, ListCommandsMarksHeadersAndBody) {
    server->deliver(message("maybe"));
    server->deliver(message("viagra"));
    controller().btListClick();
    ListCommands list(controller());

    list.btMarkClick({0}); // question becomes delete
    list.btMarkClick({1}); // delete becomes none
    EXPECT_EQ(marks(), (std::vector<int>{0, -1}));
    list.btMarkClick({});
    EXPECT_TRUE(m_view.saw(
        "information: No messages were selected.  To select one message click on a subject.  To "
        "select multiple messages drag the mouse over the list of desired subjects."));
    list.ResetButtonClick();
    EXPECT_EQ(marks(), (std::vector<int>{-1, -1}));

    std::string stars(38, '*');
    std::string headers = list.headerViewText({1});
    EXPECT_TRUE(headers.starts_with(stars + "\nSubject : viagra Sender : a@example.com\n" + stars +
                                    "\nSubject: viagra\n"))
        << headers;

    // A stale delete mark on the client must not ride along with the download.
    controller().client().MarkDelete(0);
    auto body = list.downloadBody(1);
    ASSERT_TRUE(body.has_value());
    EXPECT_EQ(*body, "Hello");
    EXPECT_EQ(server->messagesOnDisk(), 2u);
    struct stat info {};
    ASSERT_EQ(::stat(m_home.emlFile(1).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    writeFileAtomically(m_home.emlFile(150), "x");
    writeFileAtomically(m_temp.dir() / "msg_keep.eml", "x");
    CleanUpEMLFiles(m_home);
    EXPECT_FALSE(fs::exists(m_home.emlFile(1)));
    EXPECT_FALSE(fs::exists(m_home.emlFile(150)));
    EXPECT_TRUE(fs::exists(m_temp.dir() / "msg_keep.eml"));

    auto why = list.whyText(1);
    EXPECT_EQ(why[0], "Message from a@example.com");
}

// Whichever way an automatic run ends, the countdown starts again: a run that ended early must
// not run again, and fail again, at every following tick.
TEST_F(AutomaticRunTest, EveryWayOutOfARunRestartsTheCountdown) {
    struct Case {
        const char* name;
        bool visible;     // a failure is shown to the user and ends the run
        bool mailboxDown; // mailbox 1 cannot be reached
    } cases[] = {
        {"failure shown", true, true},
        {"mail found", false, false},
        {"failure logged, run goes on", false, true},
    };
    for (const Case& c : cases) {
        m_controller.reset();
        m_view = {};
        m_view.visible = c.visible;
        setAccount(1, c.mailboxDown ? "127.0.0.1:" + std::to_string(test::freeLoopbackPort())
                                    : server->plainServer());
        controller().checkNow();
        EXPECT_EQ(controller().countdown(), 2) << c.name;
        std::size_t errors = m_view.matching("error: ").size();
        controller().Timer1Timer(); // one minute later: no run
        EXPECT_EQ(controller().countdown(), 1) << c.name;
        EXPECT_EQ(m_view.matching("error: ").size(), errors) << c.name;
        EXPECT_EQ(m_view.caption, "Mailvane - next e-mail check in 1 minute") << c.name;
        EXPECT_TRUE(controller().timerEnabled()) << c.name;
    }
}

// The command line's automatic checking with Kill on: the run's own automatic mode never reaches
// the settings file, and the deletion's save leaves every other setting as it stands there.
TEST_F(CheckControllerTest, ARunsAutomaticModeIsNeverStored) {
    server->deliver(message("viagra"));
    m_settings.writeBool(Setting::Kill, true);
    controller().setAutomaticForRun(true);
    m_settings.writeInteger(Setting::Minutes, 7); // the settings window, meanwhile

    controller().checkNow();

    EXPECT_EQ(server->messagesOnDisk(), 0u);
    GeneralSettings stored = m_settings.ReadGeneralSettings();
    EXPECT_FALSE(stored.automatic);
    EXPECT_EQ(stored.count, 1);
    EXPECT_EQ(stored.minutes, 7);
}

// One message that matches a rule raises its counter by one, although the finished list is
// screened once more.
TEST_F(CheckControllerTest, OneMatchRaisesTheHitCounterByOne) {
    writeFileAtomically(m_temp.dir() / "except.lst",
                        "7,2\r\n0,1,Subject\r\n1,1,Contains\r\n2,1,friend\r\n3,1,No\r\n4,1,0\r\n");
    server->deliver(message("cheap viagra"));
    server->deliver(message("maybe later"));
    server->deliver(message("from a friend"));
    controller().btListClick();
    ASSERT_EQ(marks(), (std::vector<int>{0, 1, 3})); // delete, question, exception
    const RuleSet& rules = controller().rules();
    EXPECT_EQ(rules.subject().cell(col::kHits, 1), "1");
    EXPECT_EQ(rules.subject().cell(col::kHits, 2), "1");
    EXPECT_EQ(rules.exceptions().cell(col::kExceptHits, 1), "1");
}

// A cancelled deletion leaves nothing behind: the next deletion lists the mailbox again in full.
TEST_F(CheckControllerTest, ACancelEndsWithTheOperationItCancelled) {
    server->deliver(message("viagra"));
    server->deliver(message("Hello"));
    server->deliver(message("Hello again"));
    m_settings.writeBool(Setting::Ask, false);
    m_settings.writeBool(Setting::Launch, false); // list again after deleting
    controller().btListClick();
    bool cancelled = false;
    m_view.onStatus = [&](const std::string& s) {
        if (!cancelled && s.starts_with("Deleting ")) {
            cancelled = true;
            controller().cancel();
        }
    };
    EXPECT_FALSE(controller().btDeleteClick());
    EXPECT_EQ(server->messagesOnDisk(), 3u);
    controller().btListClick();

    EXPECT_TRUE(controller().btDeleteClick());

    EXPECT_EQ(server->messagesOnDisk(), 2u);
    EXPECT_EQ(controller().rows().size(), 2u);
    EXPECT_TRUE(m_view.saw("status: 2 msg(s) for bob on " + server->plainServer()));
    EXPECT_TRUE(m_view.saw("status: There were 1 messages deleted"));
}

// The server committed the deletion: it is reported as done, and the listing after it that fails
// is reported on its own without ending the automatic run.
TEST_F(AutomaticRunTest, ACommittedDeletionStandsWhenListingAgainFails) {
    m_settings.writeBool(Setting::Kill, true);
    m_view.visible = true;
    std::string closed = "127.0.0.1:" + std::to_string(test::freeLoopbackPort());
    bool deleted = false, moved = false;
    m_view.onStatus = [&](const std::string& s) {
        deleted = deleted || s.starts_with("Deleting ");
        // The deletion's session is over: the listing after it finds no server.
        if (deleted && !moved && s == "Connection closed") {
            moved = true;
            controller().client().setServer(closed);
        }
    };
    controller().checkNow();

    ASSERT_TRUE(moved);
    EXPECT_EQ(three->messagesOnDisk(), 1u);
    EXPECT_EQ(m_settings.ReadGeneralSettings().count, 1);
    EXPECT_TRUE(m_view.saw("status: There were 1 messages deleted"));
    EXPECT_EQ(m_view.matching("error: "), (std::vector<std::string>{"error: Connection refused"}));
    std::string text = log();
    EXPECT_NE(text.find("ERROR Connection refused FOR bob ON " + closed + " "), std::string::npos)
        << text;
    EXPECT_NE(text.find("   Subject: viagra\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find(checkEntry(0, five->plainServer())), std::string::npos) << text;
    EXPECT_TRUE(controller().rows().empty()); // a partial list is never deleted from
}

// Cancel in a run with the window hidden (the tray's exit item) ends the whole run, wherever it
// came: no later mailbox is checked, and none is deleted from.
TEST_F(AutomaticRunTest, ACancelEndsTheWholeRun) {
    enum class When { FirstListing, Deletion, ListingAgain };
    struct Case {
        const char* name;
        bool kill;
        When when;
        std::size_t leftInThree; // mailbox 3 holds two messages, one marked for deletion
    } cases[] = {
        {"listing the first mailbox", false, When::FirstListing, 2},
        {"listing the first mailbox, Kill on", true, When::FirstListing, 2},
        {"deleting from the second", true, When::Deletion, 2},
        {"listing the second again after deleting", true, When::ListingAgain, 1},
    };
    for (const Case& c : cases) {
        m_controller.reset();
        m_view = {};
        m_view.visible = false;
        std::filesystem::remove(logPath());
        test::emptyMailbox(three->plainServer());
        three->deliver(message("Hello"));
        three->deliver(message("viagra"));
        m_settings.writeBool(Setting::Kill, c.kill);
        bool deleting = false, cancelled = false;
        m_view.onStatus = [&](const std::string& s) {
            deleting = deleting || s.starts_with("Deleting ");
            std::string opening = "Opening connection for bob on ";
            bool now = c.when == When::FirstListing ? s == opening + server->plainServer()
                       : c.when == When::Deletion   ? deleting
                                                    : deleting && s == opening + three->plainServer();
            if (now && !cancelled) {
                cancelled = true;
                controller().cancel();
            }
        };
        controller().checkNow();

        ASSERT_TRUE(cancelled) << c.name;
        EXPECT_EQ(three->messagesOnDisk(), c.leftInThree) << c.name;
        std::string text = log();
        if (c.when == When::FirstListing) {
            EXPECT_EQ(text.find(three->plainServer()), std::string::npos) << c.name << "\n" << text;
        }
        EXPECT_EQ(text.find(five->plainServer()), std::string::npos) << c.name << "\n" << text;
        EXPECT_FALSE(m_view.saw("show window")) << c.name;
        EXPECT_EQ(controller().countdown(), 2) << c.name;
        EXPECT_FALSE(controller().busy()) << c.name;
    }
}

// After a failed operation, a command that fails on its own still writes its ERROR entry, also
// when what it raises is no std::exception.
TEST_F(CheckControllerTest, EveryFailingCommandIsLogged) {
    struct Case {
        const char* name;
        std::function<void()> raise;
        const char* text;
    } cases[] = {
        {"std::exception", [] { throw std::runtime_error("The window went away"); },
         "The window went away"},
        {"anything else", [] { throw 42; }, "An unexpected error ended the operation"},
    };
    setAccount(1, "127.0.0.1:" + std::to_string(test::freeLoopbackPort()));
    for (const Case& c : cases) {
        m_controller.reset();
        m_view = {};
        ASSERT_EQ(controller().btListClick(), CheckOutcome::Failed) << c.name;
        std::filesystem::remove(logPath());
        m_view.onCaption = [&](const std::string&) { c.raise(); };

        controller().settingsClosed(); // its captions fail

        m_view.onCaption = nullptr;
        EXPECT_TRUE(m_view.saw(std::string("status: ") + c.text)) << c.name;
        EXPECT_TRUE(m_view.saw(std::string("error: ") + c.text)) << c.name;
        EXPECT_TRUE(log().starts_with(std::string("ERROR ") + c.text + " FOR bob ON "))
            << c.name << "\n" << log();
    }
}

// A session that runs into a new month or quarter writes that period's log file.
TEST_F(CheckControllerTest, TheLogNameFollowsTheDateOfEachEntry) {
    struct Case {
        Setting naming;
        const char* march;
        const char* april;
    } cases[] = {{Setting::Month, "Mar98.txt", "Apr98.txt"},
                 {Setting::Quarter, "Q1_98.txt", "Q2_98.txt"}};
    for (const Case& c : cases) {
        m_controller.reset();
        m_clock.set(*encodeDate(1998, 3, 31) + *encodeTime(23, 59));
        m_settings.writeOption(c.naming, "1");
        controller().btListClick();
        m_clock.set(*encodeDate(1998, 4, 1) + *encodeTime(0, 1));
        controller().btListClick();
        EXPECT_NE(readFile(m_temp.dir() / c.march).value_or("").find("MAIL CHECK 0"),
                  std::string::npos)
            << c.march;
        EXPECT_NE(readFile(m_temp.dir() / c.april).value_or("").find("MAIL CHECK 0"),
                  std::string::npos)
            << c.april;
    }
}

// Messages for the user that come up during a check wait until it has ended: a modal box must not
// stand in the middle of a network wait.
TEST_F(CheckControllerTest, MessagesWaitUntilTheOperationHasEnded) {
    struct Case {
        const char* name;
        bool brokenRule, brokenLog;
        const char* message;
    } cases[] = {
        {"screening problem", true, false, "error: Subject rule 2: nothing to match"},
        {"log cannot be opened", false, true, "error: Unable to write to"},
    };
    server->deliver(message("Hello"));
    for (const Case& c : cases) {
        m_controller.reset();
        m_view = {};
        if (c.brokenLog)
            m_settings.writeString(Setting::Logfile, (m_temp.dir() / "no" / "log.txt").string());
        controller();
        if (c.brokenRule) controller().rules().subject().setCell(col::kMatches, 2, "");
        m_view.calls.clear();
        controller().btListClick();
        auto at = [&](const std::string& prefix) {
            auto it =
                std::find_if(m_view.calls.begin(), m_view.calls.end(),
                             [&](const std::string& call) { return call.starts_with(prefix); });
            return it - m_view.calls.begin();
        };
        ASSERT_LT(at(c.message), static_cast<std::ptrdiff_t>(m_view.calls.size())) << c.name;
        EXPECT_GT(at(c.message), at("busy: off")) << c.name;
    }
}

TEST(FirstTimeHeaderRuleTest, OnlyWithAUserName) {
    test::TempHome temp;
    RuleSet rules(temp.dir());
    rules.readSettings();
    MailboxAccounts accounts;
    EXPECT_FALSE(AddMyselfFromPopToHeader(rules, accounts)); // no user name: postponed
    EXPECT_EQ(rules.header().cell(1, 1), "");
    accounts[1].user = "bob";
    EXPECT_TRUE(AddMyselfFromPopToHeader(rules, accounts));
    EXPECT_EQ(rules.header().cell(1, 1), "To does not contain");
    EXPECT_EQ(rules.header().cell(2, 1), "bob - MailBox #1");
    EXPECT_EQ(rules.header().cell(4, 1), "Yes");
    EXPECT_EQ(rules.header().picture(0, 1), 0);
}

} // namespace
} // namespace mv
