#include "net/AsyncSocket.h"

#include "base/Text.h"
#include "net/SocketTransport.h"

#include <cmath>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

namespace mv {

namespace {

constexpr std::size_t kMaxLine = 1024; // bytes before the LF of one reply line
constexpr std::size_t kChunk = 16384;  // one receive
constexpr int kMaxReplyLines = 512;    // numbered lines of one ReadReply

std::uint16_t portNumber(std::string_view text) {
    auto value = parseInteger(text);
    bool plainDigits = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    return plainDigits && value && *value > 0 && *value <= 65535
               ? static_cast<std::uint16_t>(*value)
               : 0;
}

// Where the multi-line reply in `data` ends (after its terminating "." line), or npos. A reply
// that is only the "." line has no CR LF before it, so the start counts as a line start.
std::size_t terminatorEnd(std::string_view data, std::size_t from) {
    if (data.starts_with(".\r\n")) return 3;
    std::size_t p = data.find("\r\n.\r\n", from);
    return p == std::string_view::npos ? p : p + 5;
}

} // namespace

ServerAddress parseServer(std::string_view server) {
    ServerAddress out;
    if (server.starts_with('[')) {
        std::size_t close = server.find(']');
        if (close != std::string_view::npos) {
            out.host = server.substr(1, close - 1);
            std::string_view rest = server.substr(close + 1);
            if (rest.starts_with(':')) out.port = portNumber(rest.substr(1));
            return out;
        }
    }
    std::size_t colon = server.find(':');
    if (colon != std::string_view::npos && server.find(':', colon + 1) != std::string_view::npos) {
        out.host = server; // a bare IPv6 address: its colons are no port separator
        return out;
    }
    out.host = server.substr(0, colon);
    if (colon != std::string_view::npos) out.port = portNumber(server.substr(colon + 1));
    return out;
}

TAsyncSocket::TAsyncSocket(std::unique_ptr<Transport> transport)
    : m_transport(transport ? std::move(transport) : std::make_unique<SocketTransport>()) {
    m_hooks.cancel = &m_canceled;
}

TAsyncSocket::~TAsyncSocket() {
    m_transport->close();
}

TAsyncSocket::Operation::Operation(TAsyncSocket& socket) : m_socket(socket) {
    if (socket.m_busy) throw ESocketError(errorText(kErrBusy));
    socket.m_busy = true;
}

void TAsyncSocket::setTlsService(std::string name, std::uint16_t port) {
    m_tlsServiceName = std::move(name);
    m_tlsDefaultPort = port;
}

void TAsyncSocket::Open() {
    if (m_dial.dial) m_dial.dial();
    if (OnOpen) OnOpen(*this);
    if (m_server.empty()) RaiseSocketError(kErrServerRequired);
    // Checked before connecting: a damaged fingerprint would otherwise just fail to match.
    if (!m_fingerprint.empty() && !normalizeFingerprint(m_fingerprint))
        RaiseSocketError(kErrBadFingerprint);
    ServerAddress address = parseServer(m_server);
    m_host = address.host;
    char name[512] = {};
    m_localHostName = ::gethostname(name, sizeof name - 1) == 0 ? name : m_host;
    m_remotePort = address.port != 0 ? address.port : lookUpPort();
}

std::uint16_t TAsyncSocket::lookUpPort() {
    bool implicitTls = m_security == TlsMode::Tls && !m_tlsServiceName.empty();
    const std::string& service = implicitTls ? m_tlsServiceName : m_serviceName;
    std::uint16_t fallback = implicitTls ? m_tlsDefaultPort : m_defaultPort;
    if (service.empty()) {
        if (fallback != 0) return fallback;
        RaiseSocketError(kErrServiceRequired);
    }
    servent entry{};
    servent* found = nullptr;
    char buffer[1024];
    getservbyname_r(service.c_str(), "tcp", &entry, buffer, sizeof buffer, &found);
    return found != nullptr ? ntohs(static_cast<std::uint16_t>(found->s_port)) : fallback;
}

void TAsyncSocket::ConnectToServer() {
    if (m_canceled) RaiseCanceled();
    TTimeCounter counter(m_timeOut);
    m_input.clear();
    m_inputStart = 0;
    m_output.clear();
    m_outputSent = 0;
    IoResult result = m_transport->connect(m_host, m_remotePort, waitContext(counter));
    if (result.status != IoStatus::Ok) raiseIo(result);
    m_remoteIp = m_transport->peerAddress();
    if (m_security == TlsMode::Tls) StartTls();
}

void TAsyncSocket::StartTls() {
    // Bytes that arrived before the handshake were not protected by it; taking them as the
    // first TLS replies would let a man in the middle inject replies (STARTTLS injection).
    if (m_inputStart < m_input.size()) RaiseSocketError(errorText(kErrDataBeforeTls), true);
    TTimeCounter counter(m_timeOut);
    IoResult result = m_transport->startTls({m_host, m_fingerprint}, waitContext(counter));
    if (result.status != IoStatus::Ok) raiseIo(result);
}

void TAsyncSocket::SendLine(std::string_view text) {
    std::string line(text);
    line += "\r\n";
    sendRaw(line);
}

void TAsyncSocket::sendRaw(std::string_view bytes) {
    if (!Connected()) RaiseSocketError(kErrNotConnected);
    m_output += bytes;
    TTimeCounter counter(m_timeOut);
    IoResult result =
        m_transport->send(std::string_view(m_output).substr(m_outputSent), waitContext(counter));
    m_output.clear();
    m_outputSent = 0;
    if (result.status != IoStatus::Ok) raiseIo(result);
}

void TAsyncSocket::fillInput(TTimeCounter& counter) {
    if (!Connected()) RaiseSocketError(kErrNotConnected);
    if (m_inputStart > 0 && m_inputStart >= m_input.size() / 2) {
        m_input.erase(0, m_inputStart);
        m_inputStart = 0;
    }
    std::size_t used = m_input.size();
    m_input.resize(used + kChunk);
    std::string_view out = std::string_view(m_output).substr(m_outputSent);
    IoResult result =
        m_transport->exchange(out, m_input.data() + used, kChunk, waitContext(counter));
    m_outputSent = m_output.size() - out.size();
    if (m_outputSent == m_output.size()) {
        m_output.clear();
        m_outputSent = 0;
    }
    m_input.resize(used + (result.status == IoStatus::Ok ? result.count : 0));
    if (result.status != IoStatus::Ok) raiseIo(result);
    counter.restart();
}

void TAsyncSocket::keepLive() {
    m_hooks.pumpIfDue();
    if (m_canceled) RaiseCanceled();
}

int TAsyncSocket::ReadLine(std::string& line) {
    keepLive();
    TTimeCounter counter(m_timeOut);
    for (;;) {
        std::string_view pending(m_input.data() + m_inputStart, m_input.size() - m_inputStart);
        std::size_t lf = pending.find('\n');
        if (lf != std::string_view::npos && lf <= kMaxLine) {
            std::string_view text = pending.substr(0, lf);
            while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
                text.remove_suffix(1);
            line.assign(text);
            m_inputStart += lf + 1;
            return ReplyCode(line);
        }
        // A line that can no longer be a reply: fail before a hostile server fills the memory.
        if (pending.size() > kMaxLine) RaiseSocketError(errorText(kErrLineTooLong), true);
        fillInput(counter);
    }
}

int TAsyncSocket::ReadReply() {
    int code = ReadLine(m_lastReply);
    if (code <= 0 || m_lastReply.size() < 4 || m_lastReply[3] != '-') return code;
    for (int lines = 1;; ++lines) {
        if (lines > kMaxReplyLines) RaiseSocketError(errorText(kErrReplyTooLarge), true);
        int next = ReadLine(m_lastReply);
        if (next == code && (m_lastReply.size() == 3 || m_lastReply[3] == ' ')) return code;
    }
}

std::string TAsyncSocket::ReceiveToStream(std::int64_t expectedSize, std::size_t maxSize) {
    keepLive();
    TTimeCounter counter(m_timeOut);
    std::size_t scanned = 0; // offsets count from the reply's first byte, which stays put
    for (;;) {
        std::string_view pending(m_input.data() + m_inputStart, m_input.size() - m_inputStart);
        std::size_t end = terminatorEnd(pending, scanned);
        if (end != std::string_view::npos) {
            std::string reply(pending.substr(0, end));
            m_inputStart += end;
            return reply;
        }
        if (pending.size() > maxSize) RaiseSocketError(errorText(kErrReplyTooLarge), true);
        scanned = pending.size() >= 4 ? pending.size() - 4 : 0;
        if (OnProgress) {
            auto transferred = static_cast<std::int64_t>(pending.size());
            int perc = expectedSize >= 1
                           ? static_cast<int>(std::llround(transferred * 100.0 / expectedSize))
                           : -1;
            OnProgress(*this, perc, transferred);
        }
        // A large reply arriving fast is read without ever waiting: the pump and a cancel must
        // still be heard between its chunks.
        keepLive();
        fillInput(counter);
    }
}

int TAsyncSocket::ReplyCode(std::string_view line) const {
    if (line.size() < 3) return -1;
    std::string_view digits = line.substr(0, 3);
    if (digits.find_first_not_of("0123456789") != std::string_view::npos) return -1;
    return (digits[0] - '0') * 100 + (digits[1] - '0') * 10 + (digits[2] - '0');
}

void TAsyncSocket::Close() {
    if (Connected()) {
        if (OnClosing) OnClosing(*this);
        m_transport->close();
        m_input.clear();
        m_inputStart = 0;
        m_output.clear();
        m_outputSent = 0;
        if (OnClosed) OnClosed(*this);
    }
    if (m_dial.hangUp) m_dial.hangUp();
}

void TAsyncSocket::Cancel() {
    m_canceled = true;
    if (OnCancel) OnCancel(*this);
    // A running operation closes the session itself when its wait sees the flag, so the
    // connection is never pulled from under a read in progress.
    if (!m_busy) Close();
}

void TAsyncSocket::ResetState() {
    m_canceled = false;
}

void TAsyncSocket::raiseIo(const IoResult& result) {
    switch (result.status) {
    case IoStatus::TimedOut:
        RaiseTimedOut();
    case IoStatus::Canceled:
        RaiseCanceled();
    case IoStatus::Closed:
        RaiseSocketError(errorText(kErrPeerClosed), true);
    case IoStatus::Ok:
    case IoStatus::Failed:
        break;
    }
    RaiseSocketError(result.message, true);
}

void TAsyncSocket::RaiseSocketError(int code) {
    RaiseSocketError(errorText(code), false);
}

void TAsyncSocket::RaiseSocketError(std::string msg, bool endSession) {
    if (endSession) Close();
    if (OnError) OnError(*this, msg);
    throw ESocketError(msg);
}

void TAsyncSocket::RaiseTimedOut() {
    std::string msg = errorText(kErrTimedOut);
    if (OnError) OnError(*this, msg);
    Close();
    throw ETimedOutError();
}

void TAsyncSocket::RaiseCanceled() {
    Close();
    std::string msg = errorText(kErrCanceled);
    if (OnError) OnError(*this, msg);
    throw ECanceledError();
}

} // namespace mv
