#include "net/RasDialer.h"

#include "base/Text.h"
#include "net/NetErrors.h"

#include <algorithm>
#include <utility>

namespace mv {

namespace {

constexpr int kCommandTimeOut = 15; // seconds for listing or taking down a connection
constexpr int kNotStarted = 127;    // the shell's "command not found"

// The fields of one line of nmcli's terse output: ":" separates, "\" escapes the next character.
std::vector<std::string> terseFields(std::string_view line) {
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            fields.back().push_back(line[++i]);
        } else if (line[i] == ':') {
            fields.emplace_back();
        } else {
            fields.back().push_back(line[i]);
        }
    }
    return fields;
}

} // namespace

ERASError::ERASError(int errorCode, const std::string& text)
    : std::runtime_error(text.empty() ? "RAS error no " + std::to_string(errorCode) : text),
      m_errorCode(errorCode) {}

TRasDialer::TRasDialer(std::filesystem::path nmcli) : m_nmcli(std::move(nmcli)) {
    if (!m_nmcli.empty()) {
        // nmcli without its daemon can list nothing and dial nothing: the same as no dial-up.
        CommandResult r = this->nmcli({"-t", "-f", "RUNNING", "general"}, {}, kCommandTimeOut);
        bool running =
            r.end == CommandEnd::Finished && r.exitCode == 0 && trim(r.output) == "running";
        if (!running) m_nmcli.clear();
    }
    enumerate();
}

std::filesystem::path TRasDialer::defaultNmcli() {
    return findProgram("nmcli");
}

CommandResult TRasDialer::nmcli(std::vector<std::string> args, const WaitHooks& hooks,
                                int timeOut) const {
    args.insert(args.begin(), m_nmcli.string());
    return runCommand(args, hooks, timeOut);
}

const std::vector<std::string>& TRasDialer::Entries() {
    enumerate();
    return m_entries;
}

void TRasDialer::enumerate() {
    m_entries.clear();
    if (m_nmcli.empty()) return;
    CommandResult r = nmcli({"-t", "-f", "NAME", "connection", "show"}, m_hooks, kCommandTimeOut);
    if (r.end != CommandEnd::Finished || r.exitCode != 0) {
        m_lastResult = r.end == CommandEnd::Finished ? r.exitCode : kNotStarted;
        return;
    }
    for (const std::string& line : splitLines(r.output)) {
        if (!line.empty()) m_entries.push_back(terseFields(line)[0]);
    }
}

void TRasDialer::setService(const std::string& name) {
    if (name.empty()) {
        m_service.clear();
    } else if (!RASAvailable()) {
        message("TRasDialer component was unable to detect\rRAS on your system.");
    } else if (m_connected) {
        message("This property can be set only before\restablishing the connection");
    } else if (enumerate();
               std::find(m_entries.begin(), m_entries.end(), name) == m_entries.end()) {
        message("Invalid service name");
        m_service.clear();
    } else {
        m_service = name;
    }
}

std::vector<TRasDialer::Connection> TRasDialer::activeConnections() {
    CommandResult r = nmcli({"-t", "-f", "NAME,TYPE", "connection", "show", "--active"}, m_hooks,
                            kCommandTimeOut);
    if (r.end == CommandEnd::Canceled) throw ECanceledError();
    if (r.end == CommandEnd::TimedOut) throw ETimedOutError();
    if (r.end == CommandEnd::NotStarted || r.exitCode != 0) {
        m_lastResult = r.end == CommandEnd::NotStarted ? kNotStarted : r.exitCode;
        throw ERASError(m_lastResult, r.errorText);
    }
    std::vector<Connection> active;
    for (const std::string& line : splitLines(r.output)) {
        std::vector<std::string> fields = terseFields(line);
        if (fields.size() >= 2) active.push_back({fields[0], fields[1]});
    }
    return active;
}

bool TRasDialer::IsConnected() {
    if (m_nmcli.empty()) return false;
    std::vector<Connection> active = activeConnections();
    // A connection of the Service entry is preferred to any other that would also do.
    auto found = std::find_if(active.begin(), active.end(),
                              [this](const Connection& c) { return c.name == m_service; });
    if (found == active.end() && !m_forceService) {
        found = std::find_if(active.begin(), active.end(),
                             [](const Connection& c) { return c.type != "loopback"; });
    }
    if (found == active.end()) return false;
    m_connection = found->name;
    return true;
}

void TRasDialer::Dial() {
    if (m_service.empty() || IsConnected()) {
        m_connected = true;
        m_weDialled = false;
        return;
    }
    if (m_nmcli.empty()) return;
    m_weDialled = true;
    m_connection.clear();
    m_connected = false;
    m_aborted = m_hooks.cancel != nullptr && m_hooks.cancel->load();

    // HangUp, called from the pump while nmcli runs, and the owner's cancel flag both end the
    // wait through m_aborted.
    WaitHooks hooks{&m_aborted, [this] {
                        if (m_hooks.pump) m_hooks.pump();
                        if (m_hooks.cancel != nullptr && m_hooks.cancel->load()) m_aborted = true;
                    }};
    status("Dialing...");
    // nmcli's own limit lies past ours, so that ours decides and reports the time-out.
    std::string nmcliWait = std::to_string(std::max(m_timeOut, 1) + 5);
    m_dialling = true;
    m_connection = m_service; // from here an activation may be under way: HangUp takes it down
    CommandResult r;
    try {
        r = nmcli({"--wait", nmcliWait, "connection", "up", "id", m_service}, hooks, m_timeOut);
    } catch (...) {
        m_dialling = false;
        throw;
    }
    m_dialling = false;

    switch (r.end) {
    case CommandEnd::Canceled:
        hangUpDialled();
        throw ECanceledError();
    case CommandEnd::TimedOut:
        throw ETimedOutError();
    case CommandEnd::NotStarted:
    case CommandEnd::Finished:
        break;
    }
    if (r.end == CommandEnd::NotStarted || r.exitCode != 0) {
        m_lastResult = r.end == CommandEnd::NotStarted ? kNotStarted : r.exitCode;
        hangUpDialled();
        throw ERASError(m_lastResult, r.errorText);
    }
    m_connected = true;
    status("Successfully connected");
}

void TRasDialer::HangUp() {
    m_aborted = true;
    if (!m_dialling) hangUpDialled(); // a dial in progress hangs up itself when it sees m_aborted
}

// Takes down only a connection this dialer brought up; one that was up before stays up.
void TRasDialer::hangUpDialled() {
    std::string connection = std::exchange(m_connection, {});
    bool dialled = m_weDialled && !connection.empty() && !m_nmcli.empty();
    m_connected = false;
    m_weDialled = false;
    if (!dialled) return;
    // Nothing more can be done when it fails: the connection is gone or was never made.
    nmcli({"connection", "down", "id", connection}, {nullptr, m_hooks.pump}, kCommandTimeOut);
    if (OnDisconnected) OnDisconnected();
}

void TRasDialer::status(const std::string& text) {
    if (OnStatusChange) OnStatusChange(text);
}

void TRasDialer::message(const std::string& text) {
    if (OnMessage) OnMessage(text);
}

} // namespace mv
