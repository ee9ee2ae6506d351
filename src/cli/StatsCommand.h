#pragma once
// `stats`: the statistics of the activity log (the figures the statistics window shows) as text
// or as one JSON document, for one mailbox or all and a date range. Lives for one run.
#include "cli/Command.h"

namespace mv::cli {

class StatsCommand : public Command {
public:
    std::string_view name() const override { return "stats"; }
    std::string_view usage() const override {
        return "stats [--log FILE] [--mailbox NAME] [--from DATE --to DATE | --months N | "
               "--days N] [--json]";
    }
    // It only reads the log, which the program appends to and never rewrites.
    bool needsLock() const override { return false; }
    int run(Arguments& args, CommandContext& context) override;
};

} // namespace mv::cli
