#pragma once
// `accounts`: lists, sets, clears and chooses the twelve mailbox accounts. Lives for one run.
#include "cli/Command.h"

namespace mv::cli {

class AccountsCommand : public Command {
public:
    std::string_view name() const override { return "accounts"; }
    std::string_view usage() const override;
    int run(Arguments& args, CommandContext& context) override;

private:
    int list(Arguments& args, CommandContext& context);
    int set(Arguments& args, CommandContext& context);
    int clear(Arguments& args, CommandContext& context);
    int choose(Arguments& args, CommandContext& context);
};

} // namespace mv::cli
