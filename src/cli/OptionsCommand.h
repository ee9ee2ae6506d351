#pragma once
// `options`: shows or sets the general options by their stored value names. Lives for one run.
#include "cli/Command.h"

namespace mv::cli {

class OptionsCommand : public Command {
public:
    std::string_view name() const override { return "options"; }
    std::string_view usage() const override { return "options [KEY [VALUE]]"; }
    int run(Arguments& args, CommandContext& context) override;
};

} // namespace mv::cli
