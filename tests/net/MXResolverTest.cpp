// The resolver against a real name server (dnsmasq) and against a scripted one on loopback that
// forges, garbles, withholds or refuses answers.
#include "net/MXResolver.h"
#include "net/NetErrors.h"
#include "support/Dnsmasq.h"

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace mv {
namespace {

using namespace std::chrono_literals;

// ---- against dnsmasq ----

class MXResolverDnsmasq : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_server = new test::DnsmasqServer({
            // listed so that the server sends the larger preference first
            "mx-host=multi.test,mxb.multi.test,10",
            "mx-host=multi.test,mxa.multi.test,10",
            "mx-host=multi.test,mx20.multi.test,20",
            "host-record=nomx.test,192.0.2.1",
            "mx-host=target.test,mail.target.test,5",
            "cname=alias.test,target.test",
            "local-ttl=300",
        });
    }
    static void TearDownTestSuite() {
        delete s_server;
        s_server = nullptr;
    }
    void SetUp() override {
        if (!s_server->started()) GTEST_SKIP() << s_server->error();
        m_resolver.setDNSAddress("127.0.0.1");
        m_resolver.setPort(s_server->port());
        m_resolver.setTimeOut(5);
    }

    std::string lookUp(const std::string& domain) {
        m_resolver.setDomain(domain);
        m_resolver.Resolve();
        std::string out;
        for (const TMXRec& r : m_resolver.MXList()) {
            out += std::to_string(r.Preference) + " " + r.Exchange + ";";
        }
        return out;
    }

    static test::DnsmasqServer* s_server;
    TMXResolver m_resolver;
};

test::DnsmasqServer* MXResolverDnsmasq::s_server = nullptr;

TEST_F(MXResolverDnsmasq, AnswersSortedByPreference) {
    std::string list = lookUp("multi.test");
    EXPECT_TRUE(list == "10 mxa.multi.test.;10 mxb.multi.test.;20 mx20.multi.test.;" ||
                list == "10 mxb.multi.test.;10 mxa.multi.test.;20 mx20.multi.test.;")
        << list;
    EXPECT_EQ(lookUp("Multi.TEST."), list) << "a trailing dot and letter case change nothing";
}

TEST_F(MXResolverDnsmasq, CnameBeforeMxGivesJustTheMxRecords) {
    EXPECT_EQ(lookUp("alias.test"), "5 mail.target.test.;");
}

TEST_F(MXResolverDnsmasq, ExistingDomainWithoutMxIsKnownWithAnEmptyList) {
    EXPECT_EQ(lookUp("nomx.test"), "");
    DomainCheck check = m_resolver.checkDomain("nomx.test");
    EXPECT_EQ(check.status, DomainStatus::Exists);
    EXPECT_EQ(check.error, "");
}

TEST_F(MXResolverDnsmasq, UnknownDomainDoesNotExist) {
    try {
        lookUp("unknown.test");
        FAIL() << "no error";
    } catch (const EResolverError& e) {
        EXPECT_STREQ(e.what(), "Domain name does not exist");
        EXPECT_EQ(e.rcode(), 3);
    }
    EXPECT_TRUE(m_resolver.MXList().empty());
    DomainCheck check = m_resolver.checkDomain("unknown.test");
    EXPECT_EQ(check.status, DomainStatus::DoesNotExist);
    EXPECT_EQ(check.error, "Domain name does not exist");
}

// The unknown-domain check keeps an answer as long as the name server lets it: the MX records'
// TTL; an answer without records and without an SOA to tell is not kept.
TEST_F(MXResolverDnsmasq, TheAnswerCarriesItsLifetime) {
    struct Case {
        const char* domain;
        DomainStatus status;
        std::chrono::seconds lifetime;
    } cases[] = {
        {"multi.test", DomainStatus::Exists, 300s},
        {"unknown.test", DomainStatus::DoesNotExist, 0s},
    };
    for (const Case& c : cases) {
        DomainCheck check = m_resolver.checkDomain(c.domain);
        EXPECT_EQ(check.status, c.status) << c.domain;
        EXPECT_EQ(check.lifetime, c.lifetime) << c.domain;
    }
}

TEST_F(MXResolverDnsmasq, AsksAnIpv6NameServer) {
    if (!s_server->hasIpv6()) GTEST_SKIP() << "no IPv6 loopback on this host";
    m_resolver.setDNSAddress("::1");
    EXPECT_EQ(lookUp("alias.test"), "5 mail.target.test.;");
}

TEST_F(MXResolverDnsmasq, EventsInOrderAlsoAfterAFailure) {
    std::string events;
    m_resolver.OnSendingQuery = [&] { events += "sending "; };
    m_resolver.OnWaitingForResponse = [&] { events += "waiting "; };
    m_resolver.OnClosingConnection = [&] { events += "closing "; };
    lookUp("alias.test");
    EXPECT_EQ(events, "sending waiting closing ");
    events.clear();
    EXPECT_THROW(lookUp("unknown.test"), EResolverError);
    EXPECT_EQ(events, "sending waiting closing ");
}

// ---- against a scripted name server ----

// The answer to `query` with the given RCODE and MX records (owner: the question's name).
std::string answerTo(const std::string& query, int rcode,
                     const std::vector<std::pair<int, std::string>>& mx = {}) {
    std::string a = query;
    a[2] = static_cast<char>(0x81); // QR, RD
    a[3] = static_cast<char>(0x80 | rcode);
    a[7] = static_cast<char>(mx.size());
    for (const auto& [pref, exchange] : mx) {
        std::string name;
        std::size_t start = 0;
        for (std::size_t i = 0; i <= exchange.size(); ++i) {
            if (i < exchange.size() && exchange[i] != '.') continue;
            name += static_cast<char>(i - start) + exchange.substr(start, i - start);
            start = i + 1;
        }
        name += '\0';
        a += std::string("\xc0\x0c\x00\x0f\x00\x01\x00\x00\x00\x3c\x00", 11);
        a += static_cast<char>(2 + name.size());
        a += static_cast<char>(pref >> 8);
        a += static_cast<char>(pref & 0xFF);
        a += name;
    }
    return a;
}

// A UDP peer on 127.0.0.1 that sends, for each query, the datagrams `reply` makes of it.
class ScriptedNameServer {
public:
    using Reply = std::function<std::vector<std::string>(const std::string& query)>;

    explicit ScriptedNameServer(Reply reply) : m_reply(std::move(reply)) {
        m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), length);
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~ScriptedNameServer() {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
    }
    std::uint16_t port() const { return m_port; }
    std::vector<std::string> queries() {
        std::lock_guard lock(m_mutex);
        return m_queries;
    }

private:
    void serve() {
        while (!m_stop) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            char buffer[512];
            sockaddr_storage from{};
            socklen_t length = sizeof from;
            ssize_t n = ::recvfrom(m_fd, buffer, sizeof buffer, 0,
                                   reinterpret_cast<sockaddr*>(&from), &length);
            if (n <= 0) continue;
            std::string query(buffer, static_cast<std::size_t>(n));
            {
                std::lock_guard lock(m_mutex);
                m_queries.push_back(query);
            }
            for (const std::string& datagram : m_reply(query)) {
                ::sendto(m_fd, datagram.data(), datagram.size(), 0,
                         reinterpret_cast<sockaddr*>(&from), length);
            }
        }
    }

    Reply m_reply;
    int m_fd = -1;
    std::uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::vector<std::string> m_queries;
    std::thread m_thread;
};

class MXResolverScripted : public ::testing::Test {
protected:
    void use(const ScriptedNameServer& server) {
        m_resolver.setDNSAddress("127.0.0.1");
        m_resolver.setPort(server.port());
        m_resolver.setTimeOut(1);
        m_resolver.setDomain("example.test");
    }
    TMXResolver m_resolver;
};

TEST_F(MXResolverScripted, AForgedAnswerIsIgnoredAndTheRealOneCounts) {
    ScriptedNameServer server([](const std::string& q) {
        std::string forged = answerTo(q, 3);
        forged[1] = static_cast<char>(forged[1] ^ 0x5A);
        std::string otherQuestion = answerTo(q, 3);
        otherQuestion[13] = 'X';
        return std::vector<std::string>{forged, otherQuestion,
                                        answerTo(q, 0, {{7, "mx.example.test"}})};
    });
    use(server);
    m_resolver.Resolve();
    ASSERT_EQ(m_resolver.MXList().size(), 1u);
    EXPECT_EQ(m_resolver.MXList()[0].Exchange, "mx.example.test.");
}

TEST_F(MXResolverScripted, AnswersThatDoNotMatchTheQueryEndInAnErrorNotInAnAnswer) {
    struct Case {
        const char* what;
        std::function<std::string(const std::string&)> reply;
        const char* error;
    } cases[] = {
        {"other ID",
         [](const std::string& q) {
             std::string a = answerTo(q, 3);
             a[0] = static_cast<char>(a[0] ^ 1);
             return a;
         },
         "IDs in the query and response are different"},
        {"query sent back", [](const std::string& q) { return q; }, "This is not a response"},
        {"other question",
         [](const std::string& q) {
             std::string a = answerTo(q, 3);
             a[a.size() - 3] = 1; // type A instead of MX
             return a;
         },
         "The response does not answer the query"},
    };
    for (const Case& c : cases) {
        ScriptedNameServer server(
            [&](const std::string& q) { return std::vector<std::string>{c.reply(q)}; });
        use(server);
        DomainCheck check = m_resolver.checkDomain("example.test");
        EXPECT_EQ(check.status, DomainStatus::NotChecked) << c.what;
        EXPECT_EQ(check.error, c.error) << c.what;
    }
}

TEST_F(MXResolverScripted, ServerErrorsAndBadAnswersNotChecked) {
    struct Case {
        const char* what;
        std::function<std::string(const std::string&)> reply;
        const char* error;
    } cases[] = {
        {"server failure", [](const std::string& q) { return answerTo(q, 2); },
         "Domain server failure"},
        {"refused", [](const std::string& q) { return answerTo(q, 5); },
         "Domain server refused to return the information"},
        {"cut-off record",
         [](const std::string& q) {
             std::string a = answerTo(q, 0, {{1, "mx.example.test"}});
             return a.substr(0, a.size() - 4);
         },
         "The domain server's response ends too early"},
    };
    for (const Case& c : cases) {
        ScriptedNameServer server(
            [&](const std::string& q) { return std::vector<std::string>{c.reply(q)}; });
        use(server);
        DomainCheck check = m_resolver.checkDomain("example.test");
        EXPECT_EQ(check.status, DomainStatus::NotChecked) << c.what;
        EXPECT_EQ(check.error, c.error) << c.what;
    }
}

TEST_F(MXResolverScripted, EveryQueryHasItsOwnId) {
    ScriptedNameServer server(
        [](const std::string& q) { return std::vector<std::string>{answerTo(q, 0)}; });
    use(server);
    for (int i = 0; i < 4; ++i)
        m_resolver.Resolve();
    std::vector<std::string> queries = server.queries();
    ASSERT_EQ(queries.size(), 4u);
    bool allSame = true;
    for (const std::string& q : queries)
        allSame = allSame && q.substr(0, 2) == queries[0].substr(0, 2);
    EXPECT_FALSE(allSame);
    EXPECT_EQ(queries[0].substr(12), std::string("\7example\4test\0\0\x0f\0\1", 18));
}

TEST_F(MXResolverScripted, SilenceTimesOut) {
    ScriptedNameServer server([](const std::string&) { return std::vector<std::string>{}; });
    use(server);
    std::string events;
    m_resolver.OnClosingConnection = [&] { events += "closing"; };
    EXPECT_THROW(m_resolver.Resolve(), ETimedOutError);
    EXPECT_EQ(events, "closing");
}

TEST_F(MXResolverScripted, NamesThatCannotExistAreAnsweredWithoutAQuery) {
    ScriptedNameServer server(
        [](const std::string& q) { return std::vector<std::string>{answerTo(q, 0)}; });
    use(server);
    bool sent = false;
    m_resolver.OnSendingQuery = [&] { sent = true; };
    for (const std::string& name :
         std::vector<std::string>{"", ".", "a..b", std::string(64, 'x') + ".test"}) {
        DomainCheck check = m_resolver.checkDomain(name);
        EXPECT_EQ(check.status, DomainStatus::DoesNotExist) << name;
        EXPECT_EQ(check.error, "Domain name does not exist");
    }
    EXPECT_FALSE(sent);
    EXPECT_TRUE(server.queries().empty());
}

TEST_F(MXResolverScripted, CancelFromThePumpEndsTheWait) {
    ScriptedNameServer server([](const std::string&) { return std::vector<std::string>{}; });
    use(server);
    m_resolver.setTimeOut(30);
    std::atomic<bool> cancel{false};
    m_resolver.setWaitHooks({&cancel, [&] { cancel = true; }});
    std::string events;
    m_resolver.OnClosingConnection = [&] { events += "closing"; };
    EXPECT_THROW(m_resolver.Resolve(), ECanceledError);
    EXPECT_EQ(events, "closing");
    EXPECT_THROW(m_resolver.checkDomain("example.test"), ECanceledError)
        << "a cancel stops the whole check, it is no answer about the domain";
}

TEST_F(MXResolverScripted, ASecondLookUpFromThePumpIsRefused) {
    ScriptedNameServer server([](const std::string& q) {
        std::this_thread::sleep_for(150ms); // long enough for the pump to run
        return std::vector<std::string>{answerTo(q, 0, {{3, "mx.example.test"}})};
    });
    use(server);
    std::string inner;
    m_resolver.setWaitHooks({nullptr, [&] {
                                 if (!inner.empty()) return;
                                 try {
                                     m_resolver.Resolve();
                                     inner = "ran";
                                 } catch (const EResolverError& e) {
                                     inner = e.what();
                                 }
                             }});
    m_resolver.Resolve();
    EXPECT_EQ(inner, "A domain look-up is already running");
    ASSERT_EQ(m_resolver.MXList().size(), 1u);
    EXPECT_EQ(server.queries().size(), 1u);
}

TEST(MXResolverSocket, ARefusedPortIsReportedAtOnce) {
    // A port nobody listens on: the ICMP answer must end the look-up, not the 30-second time-out.
    int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), length);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);

    TMXResolver resolver;
    resolver.setDNSAddress("127.0.0.1");
    resolver.setPort(ntohs(address.sin_port));
    resolver.setTimeOut(30);
    resolver.setDomain("example.test");
    auto start = std::chrono::steady_clock::now();
    try {
        resolver.Resolve();
        FAIL() << "no error";
    } catch (const ESocketError& e) {
        EXPECT_STREQ(e.what(), "Connection refused");
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
}

TEST(MXResolverSocket, AnAddressThatIsNotNumericIsRefused) {
    TMXResolver resolver;
    resolver.setDNSAddress("dns.example");
    resolver.setDomain("example.test");
    EXPECT_THROW(resolver.Resolve(), ESocketError);
}

TEST(MXResolverSystem, FirstNameServerOfResolvConf) {
    auto path = std::filesystem::temp_directory_path() / "mv-resolv-test.conf";
    struct Case {
        const char* text;
        const char* server;
    } cases[] = {
        {"# local\nsearch example.test\nnameserver 192.0.2.53\nnameserver 192.0.2.54\n",
         "192.0.2.53"},
        {"options edns0\r\n  nameserver\t2001:db8::35  \r\n", "2001:db8::35"},
        {"; nameserver 192.0.2.1\nsearch x\n", "127.0.0.1"},
        {"", "127.0.0.1"},
    };
    for (const Case& c : cases) {
        std::ofstream(path) << c.text;
        EXPECT_EQ(TMXResolver::systemNameServer(path), c.server) << c.text;
    }
    std::filesystem::remove(path);
    EXPECT_EQ(TMXResolver::systemNameServer(path), "127.0.0.1") << "missing file";
}

} // namespace
} // namespace mv
