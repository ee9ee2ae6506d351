#include "cli/Cli.h"

#include "app/settings/HomeLock.h"
#include "cli/AccountsCommand.h"
#include "cli/CheckCommand.h"
#include "cli/MailCommands.h"
#include "cli/KnownCommand.h"
#include "cli/OptionsCommand.h"
#include "cli/RulesCommand.h"
#include "cli/SpamCommand.h"

#include <ostream>

namespace mv::cli {

namespace {
constexpr std::string_view kProgram = "mailvane-cli";

// The lines of a command's usage, each after the program's own synopsis.
void printSynopsis(std::ostream& out, std::string_view prefix, const Command& command) {
    std::string_view usage = command.usage();
    while (!usage.empty()) {
        std::size_t end = usage.find('\n');
        out << prefix << kProgram << " [--home DIR] " << usage.substr(0, end) << "\n";
        usage = end == std::string_view::npos ? std::string_view() : usage.substr(end + 1);
        prefix = std::string(prefix.size(), ' ');
    }
}
} // namespace

Cli::Cli() {
    add<AccountsCommand>();
    add<OptionsCommand>();
    add<CheckCommand>();
    add<ShowCommand>();
    add<AutoCommand>();
    add<LogCommand>();
    add<DemoCommand>();
    add<SpamCommand>();
    add<RulesCommand>();
    add<KnownCommand>();
}

Command* Cli::find(std::string_view name) const {
    for (const auto& command : m_commands)
        if (command->name() == name) return command.get();
    return nullptr;
}

void Cli::printUsage(std::ostream& out) const {
    std::string_view prefix = "Usage: ";
    for (const auto& command : m_commands) {
        printSynopsis(out, prefix, *command);
        prefix = "       ";
    }
}

int Cli::run(const std::vector<std::string>& args, CliEnvironment& env) {
    std::optional<std::filesystem::path> home;
    std::size_t i = 0;
    for (; i < args.size() && args[i].starts_with("-"); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            printUsage(env.out);
            return kDone;
        }
        if (args[i] == "--home" && i + 1 < args.size()) {
            home = args[++i];
        } else if (args[i].starts_with("--home=")) {
            home = args[i].substr(7);
        } else {
            env.err << kProgram << ": unknown option " << args[i] << "\n";
            printUsage(env.err);
            return kUsage;
        }
    }
    if (i == args.size() || args[i] == "help") {
        printUsage(i == args.size() ? env.err : env.out);
        return i == args.size() ? kUsage : kDone;
    }
    Command* command = find(args[i]);
    if (command == nullptr) {
        env.err << kProgram << ": unknown command " << args[i] << "\n";
        printUsage(env.err);
        return kUsage;
    }
    Arguments rest(std::vector<std::string>(args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                            args.end()));
    try {
        return runCommand(*command, rest, home, env);
    } catch (const UsageError& e) {
        env.err << kProgram << ": " << e.what() << "\n";
        printSynopsis(env.err, "Usage: ", *command);
        return kUsage;
    } catch (const std::exception& e) {
        env.err << e.what() << "\n";
        return kError;
    }
}

int Cli::runCommand(Command& command, Arguments& args,
                    const std::optional<std::filesystem::path>& home, CliEnvironment& env) {
    HomeFolder folder = HomeFolder::resolve(home, env.variables);
    folder.create();
    std::optional<HomeLock> lock;
    if (command.needsLock()) lock.emplace(folder.lockFile(), env.lockPatience);
    SettingsStore settings(folder.settingsFile());
    CommandContext context{env.in,    env.out,     env.err, env.inputIsTerminal, env.errorIsTerminal,
                           env.clock, env.regional, folder, settings};
    return command.run(args, context);
}

} // namespace mv::cli
