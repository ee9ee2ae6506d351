#include "support/FakeTransport.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

namespace mv::test {

FakeTransport::FakeTransport() {
    if (::pipe(m_silentPipe) != 0) ADD_FAILURE() << "pipe failed";
}

FakeTransport::~FakeTransport() {
    for (int fd : m_silentPipe)
        ::close(fd);
}

void FakeTransport::server(std::string bytes) {
    m_steps.push_back({Kind::Server, std::move(bytes)});
}
void FakeTransport::expectClient(std::string bytes) {
    m_steps.push_back({Kind::Client, std::move(bytes)});
}
void FakeTransport::expectTls() {
    m_steps.push_back({Kind::Tls, {}});
}
void FakeTransport::serverCloses() {
    m_steps.push_back({Kind::Close, {}});
}
void FakeTransport::silence() {
    m_steps.push_back({Kind::Silence, {}});
}

std::string FakeTransport::remainingScript() const {
    std::string out;
    for (const Step& s : m_steps) {
        switch (s.kind) {
        case Kind::Server:
            out += "S: " + s.bytes;
            break;
        case Kind::Client:
            out += "C: " + s.bytes;
            break;
        case Kind::Tls:
            out += "[TLS]\n";
            break;
        case Kind::Close:
            out += "[close]\n";
            break;
        case Kind::Silence:
            out += "[silence]\n";
            break;
        }
    }
    return out;
}

IoResult FakeTransport::scriptError(const std::string& what) {
    ADD_FAILURE() << what << "\nremaining script:\n" << remainingScript();
    return {IoStatus::Failed, 0, "script: " + what};
}

IoResult FakeTransport::connect(const std::string& host, std::uint16_t port, WaitContext) {
    lastHost = host;
    lastPort = port;
    m_open = true;
    tlsActive = false;
    ++m_connections;
    return {};
}

IoResult FakeTransport::send(std::string_view data, WaitContext) {
    m_clientLog += data;
    while (!data.empty()) {
        if (m_steps.empty() || m_steps.front().kind != Kind::Client)
            return scriptError("client sent unexpected: " + std::string(data));
        std::string& expected = m_steps.front().bytes;
        std::size_t n = std::min(expected.size(), data.size());
        if (data.substr(0, n) != std::string_view(expected).substr(0, n))
            return scriptError("client sent: " + std::string(data) + "expected: " + expected);
        data.remove_prefix(n);
        expected.erase(0, n);
        if (expected.empty()) m_steps.pop_front();
    }
    return {};
}

IoResult FakeTransport::receive(char* buffer, std::size_t capacity, WaitContext wait) {
    if (m_steps.empty()) return scriptError("client reads after the end of the script");
    Step& step = m_steps.front();
    switch (step.kind) {
    case Kind::Server: {
        std::size_t n = std::min(capacity, step.bytes.size());
        std::memcpy(buffer, step.bytes.data(), n);
        step.bytes.erase(0, n);
        if (step.bytes.empty()) m_steps.pop_front();
        return {IoStatus::Ok, n, {}};
    }
    case Kind::Close:
        m_steps.pop_front();
        return {IoStatus::Closed, 0, {}};
    case Kind::Silence: {
        WaitOutcome outcome = waitForSocket(m_silentPipe[0], POLLIN, wait.hooks, wait.counter);
        m_steps.pop_front();
        return {outcome == WaitOutcome::Canceled ? IoStatus::Canceled : IoStatus::TimedOut, 0, {}};
    }
    case Kind::Client:
        return scriptError("client reads while the server awaits: " + step.bytes);
    case Kind::Tls:
        return scriptError("client reads while the server awaits TLS");
    }
    return {};
}

IoResult FakeTransport::startTls(const TlsSettings&, WaitContext) {
    if (m_steps.empty() || m_steps.front().kind != Kind::Tls)
        return scriptError("client started TLS unexpectedly");
    m_steps.pop_front();
    tlsActive = true;
    return {};
}

} // namespace mv::test
