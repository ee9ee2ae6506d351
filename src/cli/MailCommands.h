#pragma once
// The command line's other commands over the check controller: `show` (a message's body or header
// block), `auto` (automatic checking in the foreground), `log` (the activity log) and `demo` (a
// check of the built-in demo mailbox). Each lives for one run.
#include "cli/Command.h"

namespace mv::cli {

class ShowCommand : public Command {
public:
    std::string_view name() const override { return "show"; }
    std::string_view usage() const override { return "show N [--headers]"; }
    int run(Arguments& args, CommandContext& context) override;
};

class AutoCommand : public Command {
public:
    std::string_view name() const override { return "auto"; }
    std::string_view usage() const override { return "auto [--once]"; }
    // Runs for hours beside the desktop program: each check run and deletion takes the lock.
    bool needsLock() const override { return false; }
    int run(Arguments& args, CommandContext& context) override;
};

class LogCommand : public Command {
public:
    std::string_view name() const override { return "log"; }
    std::string_view usage() const override { return "log [--clear]"; }
    int run(Arguments& args, CommandContext& context) override;
};

class DemoCommand : public Command {
public:
    std::string_view name() const override { return "demo"; }
    std::string_view usage() const override { return "demo"; }
    // The demo works in a temporary home of its own and never touches the user's.
    bool needsLock() const override { return false; }
    int run(Arguments& args, CommandContext& context) override;
};

} // namespace mv::cli
