#pragma once
// mailvane-cli's dispatcher: reads the global options, picks the sub-command, prepares the home
// folder, its lock and the settings store, runs the command and turns failures into messages and
// exit codes (0 done, 1 error, 2 usage). Lives for one run of the program; tests run it in-process.
#include "cli/Command.h"

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace mv::cli {

// What the process gives the command line: streams, clock, regional settings, environment.
struct CliEnvironment {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool inputIsTerminal = false;
    bool errorIsTerminal = false;
    const Clock& clock;
    RegionalSettings regional;
    std::map<std::string, std::string> variables; // for the home folder
    // How long to wait for another Mailvane process to release the home folder.
    std::chrono::milliseconds lockPatience = std::chrono::seconds(3);
};

class Cli {
public:
    static constexpr int kDone = 0;
    static constexpr int kError = 1;
    static constexpr int kUsage = 2;

    Cli();
    // `words`: the command line without the program name. "--home DIR" and "--help" may stand
    // anywhere; the first other word names the command.
    int run(const std::vector<std::string>& words, CliEnvironment& env);

private:
    template <typename T> void add() { m_commands.push_back(std::make_unique<T>()); }
    Command* find(std::string_view name) const;
    void printUsage(std::ostream& out) const;
    int runCommand(Command& command, Arguments& args, const std::optional<std::string>& home,
                   CliEnvironment& env);

    std::vector<std::unique_ptr<Command>> m_commands;
};

} // namespace mv::cli
