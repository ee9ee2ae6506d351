// mailvane-cli: the command-line front end over the same libraries as the desktop program.
#include "app/settings/SecretMemory.h"
#include "cli/Cli.h"

#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
    mv::forbidCoreDumps(); // before any command reads a password
    mv::SystemClock clock;
    mv::cli::CliEnvironment env{std::cin,
                                std::cout,
                                std::cerr,
                                ::isatty(0) == 1,
                                ::isatty(2) == 1,
                                clock,
                                mv::RegionalSettings::fromLocale(),
                                mv::processEnvironment()};
    return mv::cli::Cli().run(std::vector<std::string>(argv + 1, argv + argc), env);
}
