// The header pass (UpdateInfo) against a real Dovecot, sequential versus pipelined, on plain
// loopback and through a proxy adding a 10 ms round trip; and the CPU a client burns while it
// waits on a silent server. Wall time is the benchmark's real time; process_cpu_s is the client
// process's CPU time per pass (the proxy runs in a child process and is not counted); login_s is
// the part before the listing starts (connect, login, the server opening the mailbox) and list_s
// the listing itself (UIDL, LIST and TOP of every message).
#include "DelayProxy.h"
#include "net/RemotePOP.h"
#include "support/DovecotServer.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <map>
#include <memory>
#include <netinet/in.h>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

namespace mv::bench {
namespace {

using test::DovecotServer;

double processCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

std::string typicalMessage(int n) {
    std::string id = std::to_string(n);
    std::string message =
        "Return-Path: <offers" + id +
        "@deals.example.com>\r\n"
        "Received: from mx.deals.example.com (mx.deals.example.com [192.0.2.17])\r\n"
        "\tby mail.example.org with ESMTPS id 4Bx" +
        id +
        "\r\n"
        "\tfor <bob@example.org>; Wed, 9 Dec 2026 10:15:02 +0000\r\n"
        "Received: from app" +
        id +
        ".deals.example.com (10.0.0.5) by mx.deals.example.com\r\n"
        "\twith SMTP; Wed, 9 Dec 2026 10:15:01 +0000\r\n"
        "From: \"Deals Team\" <offers" +
        id +
        "@deals.example.com>\r\n"
        "To: bob@example.org\r\n"
        "Subject: Your weekly selection, number " +
        id +
        "\r\n"
        "Date: Wed, 9 Dec 2026 10:15:00 +0000\r\n"
        "Message-ID: <" +
        id +
        ".1765275300@deals.example.com>\r\n"
        "MIME-Version: 1.0\r\n"
        "Content-Type: multipart/alternative; boundary=\"b" +
        id +
        "\"\r\n"
        "X-Mailer: Bulk 2.1\r\n"
        "List-Unsubscribe: <https://deals.example.com/u/" +
        id +
        ">\r\n"
        "\r\n";
    for (int line = 0; line < 40; ++line)
        message += "Body text line " + std::to_string(line) + " of the weekly offers letter.\r\n";
    return message;
}

// One Dovecot per mailbox size, filled and indexed once for the whole run.
DovecotServer& mailbox(int count) {
    static std::map<int, std::unique_ptr<DovecotServer>> servers;
    auto& server = servers[count];
    if (!server) {
        server = std::make_unique<DovecotServer>();
        for (int n = 1; n <= count; ++n)
            server->deliver(typicalMessage(n));
        TRemotePOP warmUp; // lets Dovecot build its index outside the timing
        warmUp.setServer(server->plainServer());
        warmUp.setUserName(DovecotServer::kUser);
        warmUp.setPassword(DovecotServer::kPassword);
        warmUp.setSecurity(TlsMode::None);
        warmUp.UpdateInfo();
    }
    return *server;
}

void headerPass(benchmark::State& state, int count, bool pipelined, int roundTripMs) {
    if (std::string reason = DovecotServer::unavailableReason(); !reason.empty()) {
        state.SkipWithError(reason.c_str());
        return;
    }
    DovecotServer& server = mailbox(count);
    std::optional<DelayProxy> proxy;
    if (roundTripMs > 0) proxy.emplace(server.pop3Port(), roundTripMs / 2);
    TRemotePOP pop;
    pop.setServer("127.0.0.1:" + std::to_string(proxy ? proxy->port() : server.pop3Port()));
    pop.setUserName(DovecotServer::kUser);
    pop.setPassword(DovecotServer::kPassword);
    pop.setSecurity(TlsMode::None);
    pop.setUsePipelining(pipelined);
    using Clock = std::chrono::steady_clock;
    Clock::time_point listingStart;
    Clock::time_point listingEnd;
    pop.OnUpdatingInfo = [&](TRemotePOP&) { listingStart = Clock::now(); };
    pop.OnNextInfoUpdated = [&](TRemotePOP&, int) { listingEnd = Clock::now(); };
    double cpu = 0;
    double login = 0;
    double listing = 0;
    for (auto _ : state) {
        double start = processCpuSeconds();
        Clock::time_point wallStart = Clock::now();
        pop.UpdateInfo();
        cpu += processCpuSeconds() - start;
        login += std::chrono::duration<double>(listingStart - wallStart).count();
        listing += std::chrono::duration<double>(listingEnd - listingStart).count();
        if (pop.RemoteInfo().Count() != static_cast<std::size_t>(count))
            state.SkipWithError("listing incomplete");
    }
    state.counters["process_cpu_s"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
    state.counters["login_s"] = benchmark::Counter(login, benchmark::Counter::kAvgIterations);
    state.counters["list_s"] = benchmark::Counter(listing, benchmark::Counter::kAvgIterations);
}

// A server that accepts connections (the kernel completes them from the backlog) and never says
// a word: the client waits out its whole 5 s time-out.
void silentServerWait(benchmark::State& state) {
    int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    ::bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(listener, 8);
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&a), &length);
    TRemotePOP pop;
    pop.setServer("127.0.0.1:" + std::to_string(ntohs(a.sin_port)));
    pop.setUserName("bob");
    pop.setPassword("secret");
    pop.setSecurity(TlsMode::None);
    pop.setTimeOut(5);
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        double start = processCpuSeconds();
        auto wallStart = std::chrono::steady_clock::now();
        try {
            pop.UpdateInfo();
        } catch (const ETimedOutError&) {
        }
        cpu += processCpuSeconds() - start;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    }
    ::close(listener);
    state.counters["process_cpu_s"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
    state.counters["cpu_percent_of_core"] = cpu / wall * 100;
}

void configure(benchmark::internal::Benchmark* b, int iterations) {
    b->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(iterations);
}

BENCHMARK_CAPTURE(headerPass, sequential_1000_loopback, 1000, false, 0)->Apply([](auto* b) {
    configure(b, 5);
});
BENCHMARK_CAPTURE(headerPass, pipelined_1000_loopback, 1000, true, 0)->Apply([](auto* b) {
    configure(b, 5);
});
BENCHMARK_CAPTURE(headerPass, sequential_5000_loopback, 5000, false, 0)->Apply([](auto* b) {
    configure(b, 3);
});
BENCHMARK_CAPTURE(headerPass, pipelined_5000_loopback, 5000, true, 0)->Apply([](auto* b) {
    configure(b, 3);
});
BENCHMARK_CAPTURE(headerPass, pipelined_1000_rtt10ms, 1000, true, 10)->Apply([](auto* b) {
    configure(b, 3);
});
BENCHMARK_CAPTURE(headerPass, pipelined_5000_rtt10ms, 5000, true, 10)->Apply([](auto* b) {
    configure(b, 3);
});
BENCHMARK_CAPTURE(headerPass, sequential_1000_rtt10ms, 1000, false, 10)->Apply([](auto* b) {
    configure(b, 1);
});
BENCHMARK_CAPTURE(headerPass, sequential_5000_rtt10ms, 5000, false, 10)->Apply([](auto* b) {
    configure(b, 1);
});
BENCHMARK(silentServerWait)->Apply([](auto* b) { configure(b, 1); });

} // namespace
} // namespace mv::bench

BENCHMARK_MAIN();
