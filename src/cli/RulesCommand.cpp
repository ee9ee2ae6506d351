#include "cli/RulesCommand.h"

#include "base/Files.h"
#include "base/Text.h"
#include "screening/RuleImports.h"
#include "screening/RuleSet.h"

#include <istream>
#include <iterator>
#include <ostream>

namespace mv::cli {

namespace {
struct TableName {
    TableId id;
    std::string_view name;
};
constexpr std::array<TableName, 4> kTableNames{{
    {TableId::Subject, "subject"},
    {TableId::Header, "header"},
    {TableId::Sender, "sender"},
    {TableId::Exceptions, "exceptions"},
}};

// The columns a person reads: the rule tables without their picture column, the exception table
// with its picture number in place of the picture.
std::vector<int> shownColumns(TableId id) {
    if (id == TableId::Exceptions)
        return {col::kExceptWhat, col::kExceptCondition, col::kExceptMatches,
                col::kExceptCase, col::kExceptHits,      col::kExceptPictureIndex};
    return {col::kWhat, col::kMatches, col::kCase, col::kDelete, col::kHits};
}

// One line per cell value: line breaks and tabs inside a rule would break the columns.
std::string cellText(std::string_view text) {
    std::string shown = displayText(text);
    for (char& c : shown)
        if (c == '\r' || c == '\n' || c == '\t') c = ' ';
    return shown;
}

std::string cellOf(const RuleTable& table, TableId id, int column, int row) {
    if (id == TableId::Exceptions && column == col::kExceptPictureIndex) {
        if (row == 0) return "Picture";
        std::optional<int> picture = RuleSet::exceptionPicture(table, row);
        return picture ? std::to_string(*picture) : cellText(table.cell(column, row));
    }
    return cellText(table.cell(column, row));
}

void printTable(const RuleSet& rules, TableId id, std::ostream& out) {
    const RuleTable& table = rules.table(id);
    std::vector<int> columns = shownColumns(id);
    for (int row = 0; row < table.rowCount(); ++row) {
        if (row > 0 && table.isRowEmpty(row)) continue;
        out << (row == 0 ? std::string("#") : std::to_string(row));
        for (int c : columns)
            out << '\t' << cellOf(table, id, c, row);
        out << '\n';
    }
}

std::vector<std::string> readLines(const std::string& file, std::istream& in) {
    if (file == "-") return splitLines(std::string(std::istreambuf_iterator<char>(in), {}));
    std::optional<std::string> text = readFile(file);
    if (!text) throw FileError("File " + file + " not found");
    return splitLines(*text);
}

// The rule set as stored; a table that did not load is reported and makes the command fail.
RuleSet loadRules(CommandContext& context, std::vector<std::string>& problems) {
    RuleSet rules(context.home.programDir());
    problems = rules.readSettings();
    rules.SetGridHeadings();
    return rules;
}

void report(const std::vector<std::string>& problems, std::ostream& err) {
    for (const std::string& problem : problems)
        err << problem << '\n';
}
} // namespace

std::string_view RulesCommand::usage() const {
    return "rules list [subject|header|sender|exceptions]\n"
           "rules import-keywords FILE\n"
           "rules import-addresses FILE";
}

int RulesCommand::run(Arguments& args, CommandContext& context) {
    std::string action = args.next("rules action (list, import-keywords or import-addresses)");
    if (action == "list") return list(args, context);
    if (action == "import-keywords") return import(args, context, true);
    if (action == "import-addresses") return import(args, context, false);
    throw UsageError("unknown rules action " + action);
}

int RulesCommand::list(Arguments& args, CommandContext& context) {
    std::optional<std::string> which = args.nextIfAny();
    args.finish();
    std::vector<TableName> chosen;
    for (const TableName& t : kTableNames)
        if (!which || *which == t.name) chosen.push_back(t);
    if (chosen.empty()) throw UsageError("unknown rule table " + *which);

    std::vector<std::string> problems;
    RuleSet rules = loadRules(context, problems);
    report(problems, context.err);
    bool failed = false;
    for (const TableName& t : chosen) {
        if (chosen.size() > 1)
            context.out << (t.id == chosen.front().id ? "[" : "\n[") << t.name << "]\n";
        printTable(rules, t.id, context.out);
        failed = failed || !rules.isLoaded(t.id);
    }
    return failed ? 1 : 0;
}

int RulesCommand::import(Arguments& args, CommandContext& context, bool keywords) {
    std::string file = args.next("FILE");
    args.finish();
    std::vector<std::string> lines = readLines(file, context.in);

    std::vector<std::string> problems;
    RuleSet rules = loadRules(context, problems);
    report(problems, context.err);
    TableId id = keywords ? TableId::Subject : TableId::Exceptions;
    // Its file may be intact but unreadable for now: the rule set would never save over it, so
    // the import would be lost without a word.
    if (!rules.isLoaded(id)) return 1;
    int added =
        keywords ? importKeywords(rules.table(id), lines) : importAddresses(rules.table(id), lines);
    std::vector<std::string> saveProblems = rules.Savesettings();
    report(saveProblems, context.err);
    if (!saveProblems.empty()) return 1;
    context.out << added << (keywords ? " subject rule" : " exception") << (added == 1 ? "" : "s")
                << " added.\n";
    return 0;
}

} // namespace mv::cli
