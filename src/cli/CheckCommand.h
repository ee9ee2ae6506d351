#pragma once
// `check`: lists one mailbox or all of them with each message's mark, optionally with the reasons,
// changes marks by message number and deletes the marked messages. The demo runs the same listing.
// Lives for one run.
#include "cli/CliView.h"
#include "cli/Command.h"

#include <optional>
#include <set>

namespace mv::cli {

struct CheckOptions {
    std::optional<int> mailbox; // --mailbox N; the chosen mailbox when absent
    bool all = false;
    bool explain = false;
    std::set<int> mark, unmark; // message numbers
    bool remove = false;        // --delete
    bool yes = false;
    bool json = false;
};

// "1,3,7-9": message numbers from 1 up. UsageError for anything else.
std::set<int> parseMessageNumbers(const std::string& list);

class CheckCommand : public Command {
public:
    std::string_view name() const override { return "check"; }
    std::string_view usage() const override {
        return "check [--mailbox N | --all] [--explain] [--mark LIST] [--unmark LIST] [--delete] "
               "[--yes] [--json]";
    }
    int run(Arguments& args, CommandContext& context) override;

    // Checks the mailboxes the options name over a started session; returns the exit code.
    static int runChecks(CheckSession& session, const CheckOptions& options,
                         CommandContext& context);
};

} // namespace mv::cli
