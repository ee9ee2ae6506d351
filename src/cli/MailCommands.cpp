#include "cli/MailCommands.h"

#include "app/ActivityLog.h"
#include "app/DemoHome.h"
#include "base/Files.h"
#include "base/Text.h"
#include "cli/CheckCommand.h"
#include "cli/CliView.h"
#include "cli/SavedListing.h"
#include "mail/EmailAddress.h"

#include <chrono>
#include <ostream>
#include <thread>

namespace mv::cli {

namespace {

constexpr auto kTick = std::chrono::minutes(1);
constexpr auto kSlice = std::chrono::milliseconds(100);

} // namespace

int ShowCommand::run(Arguments& args, CommandContext& context) {
    auto number = parseInteger(args.next("message number"));
    bool headers = args.flag("--headers");
    args.finish();
    if (!number || *number < 1) throw UsageError("the message number starts at 1");
    CheckSession session(context);
    int mailbox = session.controller.currentMailbox();
    const TRemotePOP& client = session.controller.client();
    std::optional<SavedListing> listing = loadListing(context.home, mailbox);
    // A listing made before the slot got another account names other messages.
    if (!listing || listing->server != client.server() || listing->user != client.userName()) {
        context.err << "Error: mailbox " << mailbox
                    << " has no listing to show from; list it first with: mailvane-cli check "
                       "--mailbox "
                    << mailbox << "\n";
        return 1;
    }
    auto count = static_cast<long long>(listing->items.size());
    if (*number > count) {
        context.err << "Error: there is no message " << *number << " (" << count << " listed)\n";
        return 1;
    }
    int index = static_cast<int>(*number - 1);
    TRemoteInfoItem& item = listing->items[static_cast<std::size_t>(index)];
    if (headers) {
        context.out << headerBlockText(item.Headers.GetFieldValue("Subject"),
                                       SplitAddress(item.Headers.GetFieldValue("From")).address,
                                       item.Headers);
        return 0;
    }
    auto body = session.list.downloadListedBody(index, std::move(item));
    if (!body) return 1;
    context.out << *body;
    if (!body->empty() && body->back() != '\n') context.out << '\n'; // end on a fresh line
    return 0;
}

int AutoCommand::run(Arguments& args, CommandContext& context) {
    bool once = args.flag("--once");
    args.finish();
    CheckSession session(context);
    session.view.setPrintCaptions(true);
    CheckController& c = session.controller;
    c.setAutomaticForRun(true);
    if (once) return c.checkNow() ? 0 : 1;
    // A tick a minute until Ctrl+C; a Ctrl+C during a check only cancels that check.
    for (;;) {
        for (auto waited = std::chrono::milliseconds(0); waited < kTick; waited += kSlice) {
            std::this_thread::sleep_for(kSlice);
            if (CliPlatform::takeInterrupt()) return 0;
        }
        if (c.timerEnabled()) c.Timer1Timer();
    }
}

int LogCommand::run(Arguments& args, CommandContext& context) {
    bool clear = args.flag("--clear");
    args.finish();
    GeneralSettings general = context.settings.ReadGeneralSettings();
    if (trim(general.logfile).empty()) {
        context.err << "Error: no activity log file is set (mailvane-cli options Logfile PATH)\n";
        return 1;
    }
    RegionalSettings regional = context.regional;
    fix2000(regional);
    std::filesystem::path path =
        workOutLogName(general.logfile, general.logNaming, context.home.programDir(),
                       context.clock.now(), regional);
    if (clear) {
        std::filesystem::remove(path);
        return 0;
    }
    auto text = readFile(path);
    if (!text) {
        context.err << "The activity log file does not exist!  Either you have cleared/deleted "
                       "the activity log or you have not yet begun to use Mailvane.\n";
        return 1;
    }
    context.out << *text;
    return 0;
}

int DemoCommand::run(Arguments& args, CommandContext& context) {
    args.finish();
    DemoMailbox mailbox(DemoHome::messages());
    DemoHome temp(mailbox);
    HomeFolder home(temp.dir());
    SettingsStore settings(home.settingsFile());

    context.out << "Checking the built-in demo mailbox (" << mailbox.messageCount()
                << " messages on 127.0.0.1:" << mailbox.port() << ")\n\n";
    CommandContext demoContext{context.in,
                               context.out,
                               context.err,
                               context.inputIsTerminal,
                               context.errorIsTerminal,
                               context.clock,
                               context.regional,
                               home,
                               settings};
    CheckSession session(demoContext);
    CheckOptions options;
    options.explain = true;
    int code = CheckCommand::runChecks(session, options, demoContext);
    if (auto log = readFile(home.defaultLogFile())) context.out << "\nActivity log:\n" << *log;
    return code;
}

} // namespace mv::cli
