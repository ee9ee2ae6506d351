#pragma once
// One sub-command of mailvane-cli and what it is given to run: its arguments, its streams and the
// home folder's settings. A command object lives for one run of the program; the dispatcher
// creates every command, picks one by name and runs it under the home folder's lock.
#include "app/settings/HomeFolder.h"
#include "app/settings/SettingsStore.h"
#include "base/DateTime.h"
#include "base/RegionalSettings.h"
#include "cli/Arguments.h"

#include <iosfwd>
#include <string_view>

namespace mv::cli {

struct CommandContext {
    std::istream& in;
    std::ostream& out;    // results
    std::ostream& err;    // errors, warnings, progress
    bool inputIsTerminal; // a person can answer questions on `in`
    bool errorIsTerminal; // progress lines are wanted on `err`
    const Clock& clock;
    const RegionalSettings& regional;
    const HomeFolder& home;
    SettingsStore& settings;
};

class Command {
public:
    virtual ~Command() = default;
    // The word that selects the command ("accounts").
    virtual std::string_view name() const = 0;
    // Its synopsis after "mailvane-cli [--home DIR] ", one line per form.
    virtual std::string_view usage() const = 0;
    // The home lock is held for the whole command, one short operation. Commands that only read
    // files the program never rewrites need none; long-running ones lock each operation themselves.
    virtual bool needsLock() const { return true; }
    // Returns the exit code. Throws UsageError for a command line that does not fit; any other
    // exception is an error reported with exit code 1.
    virtual int run(Arguments& args, CommandContext& context) = 0;
};

} // namespace mv::cli
