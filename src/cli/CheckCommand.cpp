#include "cli/CheckCommand.h"

#include "base/Files.h"
#include "base/Text.h"
#include "cli/SavedListing.h"

#include <iomanip>
#include <ostream>
#include <sstream>

namespace mv::cli {

namespace {

std::string markWord(MarkState mark) {
    switch (mark) {
    case kMarkNone:
        return "";
    case kMarkDelete:
        return "delete";
    case kMarkQuestion:
        return "question";
    case kMarkKnownSpammer:
        return "known";
    default:
        return "except";
    }
}

std::string jsonText(std::string_view text) {
    std::string out = "\"";
    for (char c : displayText(text)) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                out += buffer;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

// The reason lines after the three heading lines of "Why was this e-mail marked?".
std::vector<std::string> reasonLines(CheckSession& session, int index) {
    auto lines = session.controller.reasons(index);
    return {lines.begin() + std::min<std::ptrdiff_t>(3, static_cast<std::ptrdiff_t>(lines.size())),
            lines.end()};
}

struct MailboxResult {
    int mailbox;
    std::string server, user;
    std::vector<MessageEntry> rows;
    std::vector<std::vector<std::string>> reasons;
    int deleted = 0;
};

void printText(const MailboxResult& r, std::ostream& out) {
    out << "Mailbox " << r.mailbox << ": " << r.user << " on " << r.server << "\n";
    out << std::left << " No. " << std::setw(9) << "Mark" << std::right << std::setw(8) << "Size"
        << "  " << std::left << std::setw(24) << "Date" << std::setw(32) << "Sender"
        << "Subject\n";
    for (std::size_t i = 0; i < r.rows.size(); ++i) {
        const MessageEntry& row = r.rows[i];
        out << std::right << std::setw(4) << i + 1 << " " << std::left << std::setw(9)
            << markWord(row.mark) << std::right << std::setw(8) << row.size << "  " << std::left
            << std::setw(24) << displayText(row.date) << std::setw(32) << displayText(row.sender)
            << displayText(row.subject) << "\n";
        if (i < r.reasons.size())
            for (const auto& line : r.reasons[i])
                out << "      " << displayText(line) << "\n";
    }
    out << totalCountText(r.rows) << "\n";
}

// A size the server did not give is null, never a size of 0.
std::string jsonSize(std::string_view size) {
    std::optional<long long> octets = parseInteger(size);
    return octets ? std::to_string(*octets) : "null";
}

void printJson(const MailboxResult& r, std::ostream& out) {
    out << "{\"mailbox\":" << r.mailbox << ",\"server\":" << jsonText(r.server)
        << ",\"user\":" << jsonText(r.user) << ",\"messages\":[";
    for (std::size_t i = 0; i < r.rows.size(); ++i) {
        const MessageEntry& row = r.rows[i];
        out << (i ? "," : "") << "{\"number\":" << i + 1 << ",\"index\":" << i
            << ",\"subject\":" << jsonText(row.subject) << ",\"sender\":" << jsonText(row.sender)
            << ",\"size\":" << jsonSize(row.size) << ",\"date\":" << jsonText(row.date)
            << ",\"mark\":" << row.mark
            << ",\"delete\":" << (isMarkedForDeletion(row.mark) ? "true" : "false")
            << ",\"reasons\":[";
        if (i < r.reasons.size())
            for (std::size_t k = 0; k < r.reasons[i].size(); ++k)
                out << (k ? "," : "") << jsonText(r.reasons[i][k]);
        out << "]}";
    }
    out << "],\"deleted\":" << r.deleted << "}";
}

// Applies --mark and --unmark; false (with a message) when a number names no message.
bool applyMarks(CheckSession& session, const CheckOptions& options, CommandContext& context) {
    CheckController& c = session.controller;
    const auto& rows = c.rows();
    for (const auto* numbers : {&options.mark, &options.unmark})
        for (int n : *numbers)
            if (n > static_cast<int>(rows.size())) {
                context.err << "Error: there is no message " << n << " in mailbox "
                            << c.listedMailbox() << " (" << rows.size() << " listed)\n";
                return false;
            }
    for (int n : options.mark)
        c.setMark(n - 1, kMarkDelete);
    for (int n : options.unmark)
        c.setMark(n - 1, kMarkNone);
    return true;
}

// Keeps the listing for `show` in later runs, numbered as the server numbers the messages now:
// when the list was not read again after a deletion, the deleted messages leave it.
void keepListing(CheckSession& session, int mailbox, CommandContext& context) {
    CheckController& c = session.controller;
    const TRemoteInfo& info = c.client().RemoteInfo();
    SavedListing listing{c.client().server(), c.client().userName(), {}};
    std::set<int> deleted(c.client().DeletedIndexes().begin(), c.client().DeletedIndexes().end());
    bool readAgain = c.rows().size() == info.Count();
    for (std::size_t i = 0; i < info.Count(); ++i)
        if (readAgain || !deleted.contains(static_cast<int>(i))) listing.items.push_back(info[i]);
    for (TRemoteInfoItem& item : listing.items)
        item.Marks = 0;
    try {
        saveListing(context.home, mailbox, listing);
    } catch (const FileError& e) {
        session.view.showWarning(e.what()); // the check itself stands
    }
}

std::vector<int> mailboxesToCheck(const CheckSession& session, const CheckOptions& options) {
    if (!options.all) return {options.mailbox.value_or(session.controller.currentMailbox())};
    std::vector<int> numbers;
    for (int n = 1; n <= MailboxAccounts::kCount; ++n)
        if (session.controller.accounts()[n].configured()) numbers.push_back(n);
    return numbers;
}

} // namespace

std::set<int> parseMessageNumbers(const std::string& list) {
    std::set<int> numbers;
    std::stringstream items(list);
    for (std::string item; std::getline(items, item, ',');) {
        std::size_t dash = item.find('-');
        auto first = parseInteger(item.substr(0, dash));
        auto last = dash == std::string::npos ? first : parseInteger(item.substr(dash + 1));
        if (!first || !last || *first < 1 || *last < *first || *last > 100000)
            throw UsageError("not a list of message numbers: " + list);
        for (long long n = *first; n <= *last; ++n)
            numbers.insert(static_cast<int>(n));
    }
    if (numbers.empty()) throw UsageError("not a list of message numbers: " + list);
    return numbers;
}

int CheckCommand::runChecks(CheckSession& session, const CheckOptions& options,
                            CommandContext& context) {
    CheckController& c = session.controller;
    session.view.setAssumeYes(options.yes);
    std::vector<MailboxResult> results;
    int code = 0;
    for (int mailbox : mailboxesToCheck(session, options)) {
        c.setCurrentMailbox(mailbox);
        if (c.btListClick() != CheckOutcome::Listed || !applyMarks(session, options, context)) {
            code = 1;
            continue;
        }
        MailboxResult r{mailbox, c.client().server(), c.client().userName(), c.rows(), {}, 0};
        if (options.explain)
            for (std::size_t i = 0; i < r.rows.size(); ++i)
                r.reasons.push_back(reasonLines(session, static_cast<int>(i)));
        if (!options.json) printText(r, context.out);
        if (options.remove) {
            if (!c.btDeleteClick()) code = 1;
            r.deleted = c.lastDeletedCount();
            if (!options.json && r.deleted > 0) context.out << session.view.status() << "\n";
        }
        keepListing(session, mailbox, context);
        results.push_back(std::move(r));
    }
    if (options.json) {
        if (options.all) context.out << "[";
        for (std::size_t i = 0; i < results.size(); ++i) {
            if (i) context.out << ",";
            printJson(results[i], context.out);
        }
        if (options.all) context.out << "]";
        context.out << "\n";
    }
    return code;
}

int CheckCommand::run(Arguments& args, CommandContext& context) {
    CheckOptions options;
    if (auto mailbox = args.option("--mailbox")) {
        auto n = parseInteger(*mailbox);
        if (!n || !MailboxAccounts::isMailboxNumber(static_cast<int>(*n)))
            throw UsageError("--mailbox takes a number from 1 to 12");
        options.mailbox = static_cast<int>(*n);
    }
    options.all = args.flag("--all");
    if (options.all && options.mailbox) throw UsageError("--mailbox and --all exclude each other");
    options.explain = args.flag("--explain");
    if (auto list = args.option("--mark")) options.mark = parseMessageNumbers(*list);
    if (auto list = args.option("--unmark")) options.unmark = parseMessageNumbers(*list);
    options.remove = args.flag("--delete");
    options.yes = args.flag("--yes");
    options.json = args.flag("--json");
    args.finish();
    CheckSession session(context);
    return runChecks(session, options, context);
}

} // namespace mv::cli
