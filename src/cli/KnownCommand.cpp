#include "cli/KnownCommand.h"

#include "base/Files.h"
#include "base/Text.h"
#include "screening/KnownListPage.h"
#include "screening/RuleSet.h"

#include <algorithm>
#include <ostream>

namespace mv::cli {

namespace {
bool holds(const KnownList& list, std::string_view entry) {
    return std::any_of(list.entries().begin(), list.entries().end(),
                       [&](const std::string& e) { return equalsNoCase(e, entry); });
}

// The entry as the list's own save rules would keep it, or a usage error saying why not.
std::string acceptedEntry(std::string_view text) {
    std::string entry = trim(text);
    if (entry.empty())
        throw UsageError("an empty entry would match every message without a sender");
    if (isNumericAddress(entry))
        throw UsageError("numeric addresses such as " + entry + " are not kept on the list");
    return entry;
}
} // namespace

int KnownCommand::run(Arguments& args, CommandContext& context) {
    std::string action = args.next("known action (list, add or remove)");
    if (action != "list" && action != "add" && action != "remove")
        throw UsageError("unknown known action " + action);
    std::optional<std::string> entry;
    if (action != "list") entry = acceptedEntry(args.next("ENTRY"));
    args.finish();

    RuleSet rules(context.home.programDir());
    bool exists = fileExists(rules.knownPath());
    if (std::optional<std::string> problem = rules.LoadUpKnownList()) {
        context.err << *problem << '\n';
        return 1;
    }
    KnownList& known = rules.known();
    if (action == "list") {
        if (!exists) {
            context.err << kBlacklistMissing << '\n';
            return 1;
        }
        for (const std::string& e : known.entries())
            context.out << e << '\n';
        return 0;
    }
    if (action == "add") {
        if (holds(known, *entry)) {
            context.out << *entry << " is already on the list.\n";
            return 0;
        }
        known.add(*entry);
    } else {
        if (!holds(known, *entry)) {
            context.err << *entry << " is not on the list.\n";
            return 1;
        }
        KnownList kept;
        for (const std::string& e : known.entries())
            if (!equalsNoCase(e, *entry)) kept.add(e);
        known = std::move(kept);
    }
    rules.saveKnownList();
    return 0;
}

} // namespace mv::cli
