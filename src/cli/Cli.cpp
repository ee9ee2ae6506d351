#include "cli/Cli.h"

#include "app/settings/HomeLock.h"
#include "app/settings/PasswordKeyring.h"
#include "cli/AccountsCommand.h"
#include "cli/CheckCommand.h"
#include "cli/KnownCommand.h"
#include "cli/MailCommands.h"
#include "cli/OptionsCommand.h"
#include "cli/RulesCommand.h"
#include "cli/SpamCommand.h"
#include "cli/StatsCommand.h"

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
    add<StatsCommand>();
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

int Cli::run(const std::vector<std::string>& words, CliEnvironment& env) {
    Arguments args(words);
    Command* command = nullptr;
    try {
        std::optional<std::string> home = args.option("--home");
        if (args.flag("--help")) {
            printUsage(env.out);
            return kDone;
        }
        std::string name = args.next("command");
        if (name == "help") {
            printUsage(env.out);
            return kDone;
        }
        command = find(name);
        if (command == nullptr) throw UsageError("unknown command " + name);
        return runCommand(*command, args, home, env);
    } catch (const UsageError& e) {
        env.err << kProgram << ": " << e.what() << "\n";
        if (command != nullptr)
            printSynopsis(env.err, "Usage: ", *command);
        else
            printUsage(env.err);
        return kUsage;
    } catch (const std::exception& e) {
        env.err << e.what() << "\n";
        return kError;
    }
}

int Cli::runCommand(Command& command, Arguments& args, const std::optional<std::string>& home,
                    CliEnvironment& env) {
    std::optional<std::filesystem::path> homeDir;
    if (home) homeDir = *home;
    HomeFolder folder = HomeFolder::resolve(homeDir, env.variables);
    folder.prepare();
    std::optional<ScopedHomeLock> lock;
    if (command.needsLock()) lock.emplace(folder.lockFile(), env.lockPatience);
    SettingsStore settings(folder.settingsFile());
    settings.usePasswordKeyring(keyringForHome(homeDir, env.variables));
    CommandContext context{
        env.in,       env.out, env.err, env.inputIsTerminal, env.errorIsTerminal, env.clock,
        env.regional, folder,  settings};
    return command.run(args, context);
}

} // namespace mv::cli
