// The header pass (UpdateInfo) against a real Dovecot, sequential versus pipelined, on plain
// loopback and through a proxy adding a 10 ms round trip, next to a minimal client that sends
// every command at once (the most the link and the server allow); and the CPU a client burns while
// it waits on a silent server. Wall time is the benchmark's real time; process_cpu_s is the client
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
#include <netinet/tcp.h>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <sys/socket.h>
#include <thread>
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

// The mailbox of `count` messages; null, the benchmark skipped, where Dovecot cannot run.
DovecotServer* mailboxOrSkip(benchmark::State& state, int count) {
    if (std::string reason = DovecotServer::unavailableReason(); !reason.empty()) {
        state.SkipWithError(reason.c_str());
        return nullptr;
    }
    return &mailbox(count);
}

// A proxy adding the round trip in front of the server; none for 0.
std::optional<DelayProxy> delayed(const DovecotServer& server, int roundTripMs) {
    if (roundTripMs <= 0) return std::nullopt;
    return std::optional<DelayProxy>(std::in_place, server.pop3Port(), roundTripMs / 2);
}

void headerPass(benchmark::State& state, int count, bool pipelined, int roundTripMs) {
    DovecotServer* mailbox = mailboxOrSkip(state, count);
    if (mailbox == nullptr) return;
    DovecotServer& server = *mailbox;
    std::optional<DelayProxy> proxy = delayed(server, roundTripMs);
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

// The yardstick: a minimal client that logs in and then sends UIDL and every LIST and TOP at once
// (from a second thread, so the replies are read while the commands go out) and only counts the
// replies. What the link and the server allow; list_s is comparable with headerPass's.
class AllAtOnceClient {
public:
    explicit AllAtOnceClient(std::uint16_t port) {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        int on = 1;
        ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0)
            throw std::runtime_error("cannot connect");
    }
    ~AllAtOnceClient() { ::close(m_fd); }

    // Seconds from the first listing command to the last reply.
    double listAll(int count) {
        line(); // greeting
        sendAll(std::string("USER ") + DovecotServer::kUser + "\r\n");
        line();
        sendAll(std::string("PASS ") + DovecotServer::kPassword + "\r\n");
        if (!line().starts_with("+OK")) throw std::runtime_error("login refused");
        auto start = std::chrono::steady_clock::now();
        std::string commands = "UIDL\r\n";
        for (int n = 1; n <= count; ++n)
            commands += "LIST " + std::to_string(n) + "\r\nTOP " + std::to_string(n) + " 1\r\n";
        std::thread writer([&] { sendAll(commands); });
        multiLine(); // UIDL
        for (int n = 1; n <= count; ++n) {
            line();      // LIST
            multiLine(); // TOP
        }
        auto end = std::chrono::steady_clock::now();
        writer.join();
        sendAll("QUIT\r\n");
        line();
        return std::chrono::duration<double>(end - start).count();
    }

private:
    void sendAll(std::string_view data) {
        while (!data.empty()) {
            ssize_t n = ::send(m_fd, data.data(), data.size(), MSG_NOSIGNAL);
            if (n <= 0) throw std::runtime_error("send failed");
            data.remove_prefix(static_cast<std::size_t>(n));
        }
    }
    std::string line() {
        for (;;) {
            std::size_t lf = m_buffer.find('\n', m_start);
            if (lf != std::string::npos) {
                std::string text = m_buffer.substr(m_start, lf + 1 - m_start);
                m_start = lf + 1;
                if (m_start > 65536) {
                    m_buffer.erase(0, m_start);
                    m_start = 0;
                }
                return text;
            }
            char chunk[65536];
            ssize_t n = ::recv(m_fd, chunk, sizeof chunk, 0);
            if (n <= 0) throw std::runtime_error("connection ended");
            m_buffer.append(chunk, static_cast<std::size_t>(n));
        }
    }
    void multiLine() {
        line(); // +OK
        while (line() != ".\r\n") {
        }
    }

    int m_fd = -1;
    std::string m_buffer;
    std::size_t m_start = 0;
};

void allAtOnce(benchmark::State& state, int count, int roundTripMs) {
    DovecotServer* mailbox = mailboxOrSkip(state, count);
    if (mailbox == nullptr) return;
    DovecotServer& server = *mailbox;
    std::optional<DelayProxy> proxy = delayed(server, roundTripMs);
    double listing = 0;
    for (auto _ : state) {
        AllAtOnceClient client(proxy ? proxy->port() : server.pop3Port());
        listing += client.listAll(count);
    }
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
BENCHMARK_CAPTURE(allAtOnce, all_at_once_1000_rtt10ms, 1000, 10)->Apply([](auto* b) {
    configure(b, 3);
});
BENCHMARK_CAPTURE(allAtOnce, all_at_once_5000_rtt10ms, 5000, 10)->Apply([](auto* b) {
    configure(b, 3);
});
BENCHMARK_CAPTURE(allAtOnce, all_at_once_5000_loopback, 5000, 0)->Apply([](auto* b) {
    configure(b, 3);
});
BENCHMARK(silentServerWait)->Apply([](auto* b) { configure(b, 1); });

} // namespace
} // namespace mv::bench

BENCHMARK_MAIN();
