// Screening a full mailbox listing: 10,000 messages of about 25 header lines against 200 subject,
// 200 sender, 100 header and 100 exception rules and a 5,000-entry known-spammer list, with the
// unknown-domain check on (answers cached after the first look-up of each domain). About one
// message in twenty matches a rule; the rest walk every table to the end, the costly case.
#include "mail/EmailAddress.h"
#include "screening/ScreeningPass.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

namespace mv {
namespace {

class InstantResolver : public DomainResolver {
public:
    DomainLookup resolve(const std::string& domain) override {
        return domain.starts_with("gone") ? DomainAnswer::DoesNotExist : DomainAnswer::Exists;
    }
};

void addRow(RuleTable& table, const std::vector<std::string>& cells) {
    int row = table.rowCount();
    table.setRowCount(row + 1);
    for (std::size_t c = 0; c < cells.size(); ++c)
        table.setCell(static_cast<int>(c), row, cells[c]);
}

void fillRules(RuleSet& rules) {
    const char* textConditions[] = {"Contains", "Contains (whole word)", "Equals", "Starts with",
                                    "Ends with"};
    for (RuleTable* t : {&rules.subject(), &rules.sender(), &rules.header(), &rules.exceptions()})
        t->setRowCount(1);
    for (int i = 0; i < 200; ++i) {
        std::string word = "offer" + std::to_string(i);
        addRow(rules.subject(),
               {"", textConditions[i % 5], word, i % 7 ? "No" : "Yes", i % 3 ? "No" : "Yes", "0"});
        addRow(rules.sender(), {"", i % 2 ? "Domain name" : "E-mail address",
                                i % 10 == 9 ? "50% numeric" : textConditions[i % 5],
                                i % 10 == 9 ? "" : "bulk" + std::to_string(i) + ".example",
                                i % 3 ? "Yes" : "No", "0"});
    }
    for (int i = 0; i < 100; ++i) {
        std::string what = i % 25 == 0 ? "To does not contain" : textConditions[i % 5];
        std::string matches = i % 25 == 0 ? "nobody@home.example - MailBox #2"
                                          : "X-Bulk-Tool-" + std::to_string(i) + ": yes";
        addRow(rules.header(), {"", what, matches, i % 4 ? "No" : "Yes", "Yes", "0"});
        const char* kinds[] = {"E-mail address", "Domain name", "Subject", "To:", "Any Header"};
        const char* kind = kinds[i % 5];
        std::string pattern =
            std::string(kind) == "E-mail address" ? "friend" + std::to_string(i) + "@"
            : std::string(kind) == "Domain name"  ? "friends" + std::to_string(i) + ".org"
                                                  : "club-" + std::to_string(i);
        addRow(rules.exceptions(),
               {kind, textConditions[i % 5], pattern, "No", "0", "", std::to_string(3 + i % 12)});
    }
    for (int i = 0; i < 5000; ++i)
        rules.known().add(i % 2 ? "spammer" + std::to_string(i) + "@mass" + std::to_string(i) +
                                      ".example"
                                : "junk" + std::to_string(i) + ".example");
}

std::vector<MessageEntry> makeMessages(int count) {
    std::mt19937 random(42);
    std::vector<MessageEntry> rows(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        bool spam = pick(20) == 0;
        std::string domain = spam ? "bulk" + std::to_string(pick(200)) + ".example"
                                  : "mail" + std::to_string(pick(300)) + ".example.org";
        std::string from = "user" + std::to_string(pick(100000)) + "@" + domain;
        std::vector<std::string> lines = {
            "Return-Path: <" + from + ">",
            "Received: from relay" + std::to_string(pick(50)) + ".example.net (relay.example.net",
            "\t[192.0.2." + std::to_string(pick(255)) + "]) by mx.home.example with ESMTP id " +
                std::to_string(random()),
            "\tfor <me@home.example>; Tue, 8 Dec 2026 10:00:00 +0100",
            "Received: from localhost (localhost [127.0.0.1]) by relay.example.net",
            "\twith SMTP id " + std::to_string(random()) + "; Tue, 8 Dec 2026 09:59:58 +0100",
            "Message-ID: <" + std::to_string(random()) + "." + std::to_string(i) + "@" + domain +
                ">",
            "Date: Tue, 8 Dec 2026 10:00:00 +0100",
            "From: \"User " + std::to_string(i) + "\" <" + from + ">",
            "Reply-To: " + from,
            "To: Me <me@home.example>",
            "Subject: " + std::string(spam ? "special offer" + std::to_string(pick(200))
                                           : "minutes of meeting " + std::to_string(i)),
            "MIME-Version: 1.0",
            "Content-Type: multipart/alternative;",
            "\tboundary=\"----=_NextPart_000_" + std::to_string(random()) + "\"",
            "X-Priority: 3",
            "X-MSMail-Priority: Normal",
            "X-Mailer: Some Mail Program 6.00.2800",
            "X-MimeOLE: Produced By Some Mail Program",
            "X-Originating-IP: [198.51.100." + std::to_string(pick(255)) + "]",
            "X-Virus-Scanned: by scanner at home.example",
            "X-Spam-Level: ",
            "List-Unsubscribe: <mailto:leave-" + std::to_string(i) + "@" + domain + ">",
            "Precedence: " + std::string(spam ? "bulk" : "list"),
            "Content-Transfer-Encoding: 7bit",
        };
        MessageEntry& row = rows[static_cast<std::size_t>(i)];
        row.headers = TMailHeaders(std::move(lines));
        row.subject = row.headers.GetFieldValue("Subject");
        row.sender = SplitAddress(row.headers.GetFieldValue("From")).address;
        row.size = std::to_string(2000 + pick(60000));
    }
    return rows;
}

struct Setup {
    RuleSet rules{std::filesystem::temp_directory_path() / "mv-screening-bench-unused"};
    InstantResolver resolver;
    UnknownDomainCheck domains{resolver, rules.options()};
    ScreeningPass pass{rules, domains, [] { return 1; }};
    std::vector<MessageEntry> rows = makeMessages(10000);

    Setup() {
        fillRules(rules);
        rules.options().largerOn = true;
        rules.options().largerLimit = 50000;
        rules.options().largerDeletes = false;
    }
};

void BM_ScreenMailbox(benchmark::State& state) {
    Setup s;
    int marked = 0;
    for (auto _ : state) {
        marked = s.pass.autoMark(s.rows);
        benchmark::DoNotOptimize(marked);
    }
    state.counters["marked"] = marked;
    state.counters["messages"] = static_cast<double>(s.rows.size());
}
BENCHMARK(BM_ScreenMailbox)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The check run screens each row as soon as it is listed.
void BM_ScreenRowByRow(benchmark::State& state) {
    Setup s;
    for (auto _ : state) {
        for (MessageEntry& row : s.rows)
            row.mark = kMarkNone;
        for (int i = 0; i < static_cast<int>(s.rows.size()); ++i)
            s.pass.MarkForDeletion(s.rows, i);
    }
}
BENCHMARK(BM_ScreenRowByRow)->Unit(benchmark::kMillisecond);

void BM_ExplainOneMessage(benchmark::State& state) {
    Setup s;
    s.pass.autoMark(s.rows); // domains cached as a check run leaves them
    MessageEntry& row = s.rows[17];
    for (auto _ : state)
        benchmark::DoNotOptimize(s.pass.whyMarked(row));
}
BENCHMARK(BM_ExplainOneMessage)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace mv

BENCHMARK_MAIN();
