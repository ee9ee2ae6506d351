#pragma once
// `known`: lists the known-spammer blacklist and adds or removes single entries. Lives for one run.
#include "cli/Command.h"

namespace mv::cli {

class KnownCommand : public Command {
public:
    std::string_view name() const override { return "known"; }
    std::string_view usage() const override { return "known list | add ENTRY | remove ENTRY"; }
    int run(Arguments& args, CommandContext& context) override;
};

} // namespace mv::cli
