// `mailvane-cli show N` on a real Dovecot mailbox of 1,000 messages, each from its own domain, with
// the unknown-domain check on and a name server that never answers: the time until the body is
// printed (a whole command run in-process: start-up, one session, the re-read check, RETR, decode).
// For scale, `check` of the same mailbox with the unknown-domain check off, the listing a viewing
// no longer pays for; with the silent name server it would wait out one query per domain.
#include "cli/CliRunner.h"
#include "support/DovecotServer.h"
#include "support/SilentUdpPort.h"

#include "base/Files.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace mv::bench {
namespace {

using test::DovecotServer;

constexpr int kMessages = 1000;

std::string message(int n) {
    std::string id = std::to_string(n);
    std::string text = "From: \"Offers\" <offers@deals" + id +
                       ".example>\r\n"
                       "To: bob@example.org\r\n"
                       "Subject: Weekly selection " +
                       id +
                       "\r\n"
                       "Date: Wed, 9 Dec 2026 10:15:00 +0000\r\n"
                       "Message-ID: <" +
                       id + "@deals" + id +
                       ".example>\r\n"
                       "MIME-Version: 1.0\r\n"
                       "Content-Type: text/plain; charset=us-ascii\r\n\r\n";
    for (int line = 0; line < 40; ++line)
        text += "Body text line " + std::to_string(line) + " of message " + id + ".\r\n";
    return text;
}

// One mailbox and one home for the whole run: the home holds the listing of a check made with the
// unknown-domain check off; from then on the check is on, against the silent name server.
struct Setup {
    DovecotServer server;
    test::SilentUdpPort nameServer;
    test::CliRunner cli;

    Setup() {
        for (int n = 1; n <= kMessages; ++n)
            server.deliver(message(n));
        SettingsStore settings = cli.settings();
        settings.saveAccount(1, {server.plainServer(), DovecotServer::kUser,
                                 DovecotServer::kPassword, TlsMode::None, ""});
        settings.writeString(Setting::DNSAddress, "127.0.0.1");
        settings.writeInteger(Setting::DNSPort, nameServer.port());
        domainCheck(false);
        if (cli.run({"check"}).code != 0) throw std::runtime_error("the first check failed");
        domainCheck(true);
    }
    void domainCheck(bool on) {
        writeFileAtomically(cli.home() / "mailvane.ini",
                            std::string("[Known]\r\nValid=") + (on ? "1" : "0") + "\r\n");
    }
};

Setup* setup(benchmark::State& state) {
    static std::unique_ptr<Setup> made;
    if (std::string reason = DovecotServer::unavailableReason(); !reason.empty()) {
        state.SkipWithError(reason.c_str());
        return nullptr;
    }
    if (!made) made = std::make_unique<Setup>();
    return made.get();
}

void showBody(benchmark::State& state) {
    Setup* s = setup(state);
    if (s == nullptr) return;
    for (auto _ : state) {
        auto r = s->cli.run({"show", "500"});
        if (r.code != 0 || r.out.find("Body text line 39 of message 500.") == std::string::npos)
            state.SkipWithError(("show failed: " + r.err).c_str());
    }
    state.counters["dns_queries"] = s->nameServer.received() ? 1 : 0;
}

void checkWithoutDomainCheck(benchmark::State& state) {
    Setup* s = setup(state);
    if (s == nullptr) return;
    s->domainCheck(false);
    for (auto _ : state)
        if (s->cli.run({"check"}).code != 0) state.SkipWithError("check failed");
    s->domainCheck(true);
}

BENCHMARK(showBody)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
BENCHMARK(checkWithoutDomainCheck)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
} // namespace mv::bench

BENCHMARK_MAIN();
