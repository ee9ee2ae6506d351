#pragma once
// `rules`: lists the four rule tables and imports keyword or address lists into them.
// Lives for one run.
#include "cli/Command.h"

namespace mv {
class RuleSet;
}

namespace mv::cli {

class RulesCommand : public Command {
public:
    std::string_view name() const override { return "rules"; }
    std::string_view usage() const override;
    int run(Arguments& args, CommandContext& context) override;

private:
    int list(Arguments& args, CommandContext& context);
    int import(Arguments& args, CommandContext& context, bool keywords);
};

} // namespace mv::cli
