#pragma once
// `spam`: shows or sets the spam options of "mailvane.ini" as SECTION/KEY ("Known/Valid").
// Lives for one run.
#include "cli/Command.h"

namespace mv::cli {

class SpamCommand : public Command {
public:
    std::string_view name() const override { return "spam"; }
    std::string_view usage() const override { return "spam [SECTION/KEY [VALUE]]"; }
    int run(Arguments& args, CommandContext& context) override;
};

} // namespace mv::cli
