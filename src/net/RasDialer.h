#pragma once
// TRasDialer makes sure a network connection is up before a socket session and afterwards takes
// down the connection it brought up itself, never one that was up before. On Linux the
// connections are NetworkManager's, driven through its command-line client nmcli: the connection
// names are the Entries, "connection up" dials and "connection down" hangs up. Without nmcli, or
// with NetworkManager not running, there is no dial-up: Entries is empty, Dial only marks the
// dialer connected when Service is empty, and HangUp hangs up nothing. The owner keeps one for
// the whole run; a socket calls Dial when it opens and HangUp when it closes.
#include "net/AsyncSocket.h"
#include "net/RasDialerProcess.h"
#include "net/Wait.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace mv {

// A failed connection command; ErrorCode is nmcli's exit status.
class ERASError : public std::runtime_error {
public:
    // `text` is nmcli's own error text; without one the message is "RAS error no " + code.
    ERASError(int errorCode, const std::string& text);
    int ErrorCode() const { return m_errorCode; }

private:
    int m_errorCode;
};

class TRasDialer {
public:
    // `nmcli`: the client to run; empty means there is no dial-up. Enumerates the entries once.
    explicit TRasDialer(std::filesystem::path nmcli = defaultNmcli());
    TRasDialer(const TRasDialer&) = delete;
    TRasDialer& operator=(const TRasDialer&) = delete;

    // nmcli on the PATH, or empty.
    static std::filesystem::path defaultNmcli();

    // Enumerates the connection names again and returns them.
    const std::vector<std::string>& Entries();
    // The last enumeration found at least one entry.
    bool RASAvailable() const { return !m_entries.empty(); }

    // The connection to dial; empty: never dial.
    const std::string& Service() const { return m_service; }
    // Empty is always taken. Otherwise refused, with a message through OnMessage, when there is
    // no dial-up, while connected, or when the name is not an entry (Service is then emptied).
    void setService(const std::string& name);

    // Only a connection named Service counts as an existing connection; when false, any active
    // connection other than the loopback does. Default true.
    bool ForceService() const { return m_forceService; }
    void setForceService(bool force) { m_forceService = force; }
    // Seconds a dial may take in all; default 120.
    int TimeOut() const { return m_timeOut; }
    void setTimeOut(int seconds) { m_timeOut = seconds; }
    void setWaitHooks(WaitHooks hooks) { m_hooks = std::move(hooks); }

    bool Connected() const { return m_connected; }
    // The connection in use was brought up by this dialer, so HangUp takes it down.
    bool WeDialled() const { return m_weDialled; }
    // nmcli's exit status of the last failed command, else 0.
    int LastResult() const { return m_lastResult; }

    // Looks for a usable active connection and remembers it. Throws ERASError.
    bool IsConnected();
    // Makes sure a connection is up. Throws ERASError when the dial fails (after hanging up),
    // ECanceledError when HangUp or the cancel flag ended it, ETimedOutError after TimeOut
    // seconds (the activation is left running).
    void Dial();
    // Takes down the connection this dialer brought up and ends a dial in progress.
    void HangUp();

    // What a socket attached to this dialer calls: Dial when it opens, HangUp when it closes.
    DialHooks socketHooks() {
        return {[this] { Dial(); }, [this] { HangUp(); }};
    }

    std::function<void(const std::string& status)> OnStatusChange;
    std::function<void()> OnDisconnected;
    // A message the desktop program shows in a message box (error icon, OK button).
    std::function<void(const std::string& text)> OnMessage;

private:
    struct Connection {
        std::string name, type;
    };
    CommandResult nmcli(std::vector<std::string> args, const WaitHooks& hooks, int timeOut) const;
    std::vector<Connection> activeConnections();
    void enumerate();
    void hangUpDialled();
    void status(const std::string& text);
    void message(const std::string& text);

    std::filesystem::path m_nmcli; // empty when there is no dial-up
    std::vector<std::string> m_entries;
    std::string m_service;
    std::string m_connection; // the connection dialled or found; empty: none
    bool m_forceService = true;
    int m_timeOut = 120;
    bool m_connected = false;
    bool m_weDialled = false;
    bool m_dialling = false; // nmcli "connection up" is running
    std::atomic<bool> m_aborted{false};
    int m_lastResult = 0;
    WaitHooks m_hooks;
};

} // namespace mv
