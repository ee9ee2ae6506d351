#pragma once
// Running the helper program the dial-up component drives (NetworkManager's nmcli): started
// without a shell, its standard output read through a pipe that the socket layer's wait watches,
// so a long "connection up" keeps Cancel and the pump live and ends at the time-out. Nothing of a
// run outlives the call: a child still running at cancel or time-out is stopped and reaped.
#include "net/Wait.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

enum class CommandEnd { Finished, Canceled, TimedOut, NotStarted };

struct CommandResult {
    CommandEnd end = CommandEnd::NotStarted;
    int exitCode = -1;     // when Finished: the exit status, or 128 + signal
    std::string output;    // standard output
    std::string errorText; // standard error, trimmed
};

// Runs `argv` (argv[0] a path to the program) and waits at most `timeoutSeconds` in all.
CommandResult runCommand(const std::vector<std::string>& argv, const WaitHooks& hooks,
                         int timeoutSeconds);

// The program `name` in a folder of PATH, or empty.
std::filesystem::path findProgram(std::string_view name);
// The program `name` in a folder of `searchPath` (folders separated by ':'), or empty.
std::filesystem::path findProgram(std::string_view name, std::string_view searchPath);

} // namespace mv
