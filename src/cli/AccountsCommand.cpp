#include "cli/AccountsCommand.h"

#include <istream>
#include <optional>
#include <ostream>
#include <termios.h>
#include <unistd.h>

namespace mv::cli {

namespace {
// The chooser's text, then how the session is protected.
std::string describe(int n, const MailboxAccount& a) {
    std::string text = std::to_string(n) + ") Mailbox " + a.user + " - Server " + a.server + " (" +
                       std::string(tlsModeName(a.security));
    if (!a.fingerprint.empty()) text += ", fingerprint " + a.fingerprint;
    if (a.password.empty()) text += ", no password";
    return text + ")";
}

void showProblems(const std::vector<std::string>& problems, std::ostream& err) {
    for (const std::string& problem : problems)
        err << problem << "\n";
}

// Keeps a typed password off the screen while it lives.
class HiddenTyping {
public:
    HiddenTyping() : m_active(::tcgetattr(STDIN_FILENO, &m_saved) == 0) {
        if (!m_active) return;
        termios quiet = m_saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    ~HiddenTyping() {
        if (m_active) ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &m_saved);
    }
    HiddenTyping(const HiddenTyping&) = delete;
    HiddenTyping& operator=(const HiddenTyping&) = delete;

private:
    termios m_saved{};
    bool m_active;
};

// One line from the input, without its line end; typed without echo at a terminal.
std::string readPassword(CommandContext& context) {
    std::optional<HiddenTyping> hidden;
    if (context.inputIsTerminal) {
        context.err << "Password: " << std::flush;
        hidden.emplace();
    }
    std::string line;
    std::getline(context.in, line);
    if (context.inputIsTerminal) context.err << "\n";
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.pop_back();
    return line;
}
} // namespace

std::string_view AccountsCommand::usage() const {
    return "accounts list\n"
           "accounts set N [--server S] [--user U] [--password-stdin] [--security MODE] "
           "[--fingerprint HEX]\n"
           "accounts clear N\n"
           "accounts choose N";
}

int AccountsCommand::run(Arguments& args, CommandContext& context) {
    std::string action = args.next("accounts action (list, set, clear or choose)");
    if (action == "list") return list(args, context);
    if (action == "set") return set(args, context);
    if (action == "clear") return clear(args, context);
    if (action == "choose") return choose(args, context);
    throw UsageError("unknown accounts action " + action);
}

int AccountsCommand::list(Arguments& args, CommandContext& context) {
    args.finish();
    ServerSettings stored = context.settings.readServerSettings();
    showProblems(stored.problems, context.err);
    bool any = false;
    for (int n = 1; n <= MailboxAccounts::kCount; ++n) {
        const MailboxAccount& a = stored.accounts[n];
        if (!a.configured()) continue;
        context.out << (n == stored.accounts.which ? "* " : "  ") << describe(n, a) << "\n";
        any = true;
    }
    if (!any) context.out << "No mailbox is set up.\n";
    return 0;
}

int AccountsCommand::set(Arguments& args, CommandContext& context) {
    std::optional<std::string> server = args.option("--server");
    std::optional<std::string> user = args.option("--user");
    std::optional<std::string> security = args.option("--security");
    std::optional<std::string> fingerprint = args.option("--fingerprint");
    bool passwordOnInput = args.flag("--password-stdin");
    int n = args.nextMailbox();
    args.finish();

    ServerSettings stored = context.settings.readServerSettings();
    MailboxAccount account = stored.accounts[n];
    if (server) {
        if (!isValidServerText(*server))
            throw UsageError("server must be host, host:port or [IPv6]:port, not " + *server);
        account.server = *server;
    }
    if (user) {
        if (user->find_first_of("\r\n") != std::string::npos)
            throw UsageError("user name must not contain a line break");
        account.user = *user;
    }
    if (security) {
        std::optional<TlsMode> mode = parseTlsMode(*security);
        if (!mode)
            throw UsageError("security mode must be tls, starttls, starttls-if-offered or none");
        account.security = *mode;
    }
    if (fingerprint) {
        std::optional<std::string> normal = normalizeFingerprint(*fingerprint);
        if (!normal && !fingerprint->empty())
            throw UsageError("fingerprint must be the 64 hexadecimal digits of a SHA-256 hash");
        account.fingerprint = normal.value_or("");
    }
    if (passwordOnInput) account.password = readPassword(context);

    AccountSaveResult result = context.settings.saveAccount(n, account);
    if (result.migrationWarning) context.err << kPasswordMigrationWarning << "\n";
    if (result.problem) {
        context.err << result.problem->message << "\n";
        return 1;
    }
    context.out << describe(n, account) << "\n";
    return 0;
}

int AccountsCommand::clear(Arguments& args, CommandContext& context) {
    int n = args.nextMailbox();
    args.finish();
    context.settings.clearAccount(n);
    return 0;
}

int AccountsCommand::choose(Arguments& args, CommandContext& context) {
    int n = args.nextMailbox();
    args.finish();
    if (!context.settings.readServerSettings().accounts[n].configured()) {
        context.err << "Mailbox " << n << " is not set up.\n";
        return 1;
    }
    context.settings.writeInteger(Setting::Which, n);
    return 0;
}

} // namespace mv::cli
