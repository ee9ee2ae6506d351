#pragma once
// A rule set in a temporary home with a scripted resolver and a screening pass over it, plus
// helpers that add rule rows and build message rows the way the check run fills them.
#include "TempDir.h"
#include "mail/EmailAddress.h"
#include "screening/ScreeningPass.h"

#include <map>
#include <string>
#include <vector>

namespace mv::test {

// Answers from a script; unknown domains exist. Records every question.
class ScriptedResolver : public DomainResolver {
public:
    std::map<std::string, DomainAnswer> answers;
    std::map<std::string, std::chrono::seconds> lifetimes; // the longest when not given
    std::vector<std::string> asked;

    DomainLookup resolve(const std::string& domain) override {
        asked.push_back(domain);
        auto answer = answers.find(domain);
        auto lifetime = lifetimes.find(domain);
        return {answer == answers.end() ? DomainAnswer::Exists : answer->second,
                lifetime == lifetimes.end() ? kMaxDomainLifetime : lifetime->second};
    }
};

// One test's rule set, resolver and screening pass, with helpers that add rule rows.
struct Screener {
    TempDir home;
    RuleSet rules{home.path()};
    ScriptedResolver resolver;
    UnknownDomainCheck::Clock::time_point now{}; // the time answers expire by
    UnknownDomainCheck domains{resolver, rules.options(), [this] { return now; }};
    int mailbox = 1;
    ScreeningPass pass{rules, domains, [this] { return mailbox; }};

    Screener() { rules.options().checkDomains = false; }

    // Writes the cells from column 0 into the table's empty first rule row, or a new last row.
    int addRow(TableId id, const std::vector<std::string>& cells) {
        RuleTable& t = rules.table(id);
        int row = t.rowCount() == 2 && t.isRowEmpty(1) ? 1 : t.rowCount();
        if (row == t.rowCount()) t.setRowCount(row + 1);
        for (std::size_t c = 0; c < cells.size(); ++c)
            t.setCell(static_cast<int>(c), row, cells[c]);
        return row;
    }
    int subject(std::string condition, std::string matches, std::string caseSensitive,
                std::string del) {
        return addRow(TableId::Subject, {"", condition, matches, caseSensitive, del, "0"});
    }
    int sender(std::string what, std::string condition, std::string matches, std::string del) {
        return addRow(TableId::Sender, {"", what, condition, matches, del, "0"});
    }
    int header(std::string what, std::string matches, std::string caseSensitive, std::string del) {
        return addRow(TableId::Header, {"", what, matches, caseSensitive, del, "0"});
    }
    int exception(std::string what, std::string condition, std::string matches,
                  std::string caseSensitive = "No", std::string picture = "") {
        return addRow(TableId::Exceptions,
                      {what, condition, matches, caseSensitive, "0", "", picture});
    }
    std::string hits(TableId id, int row) const {
        return rules.table(id).cell(hitsColumn(id), row);
    }

    MarkState mark(MessageEntry message) {
        pass.MarkForDeletion(std::span(&message, 1), 0);
        return message.mark;
    }
};

// A message row as the check run lists it: subject and sender read from the header lines.
inline MessageEntry message(std::vector<std::string> lines, std::string size = "5000") {
    MessageEntry m;
    m.headers = TMailHeaders(std::move(lines));
    m.subject = m.headers.GetFieldValue("Subject");
    m.sender = SplitAddress(m.headers.GetFieldValue("From")).address;
    m.size = std::move(size);
    return m;
}

} // namespace mv::test
