#pragma once
// The byte stream a protocol client talks through. The product uses a TCP socket (SocketTransport);
// the tests put a scripted server behind the same interface, so protocol behaviour is tested as
// transcripts without a network.
#include "net/Wait.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mv {

// How an account protects its session: implicit TLS from the first byte, STLS/STARTTLS required,
// STLS when the server offers it, or none.
enum class TlsMode { Tls, StartTls, StartTlsIfOffered, None };

// The stored words "tls", "starttls", "starttls-if-offered", "none".
std::string tlsModeName(TlsMode mode);
// The mode a stored word names, ignoring case and surrounding blanks; nullopt for anything else.
std::optional<TlsMode> parseTlsMode(std::string_view name);

// A SHA-256 certificate fingerprint as typed or pasted (hex digit pairs, with or without colons)
// in the stored form "AB:CD:..." (32 upper-case pairs); nullopt when it is not one.
std::optional<std::string> normalizeFingerprint(std::string_view text);

// What the TLS handshake checks the server against.
struct TlsSettings {
    std::string host;        // the name the certificate must carry (also sent as SNI)
    std::string fingerprint; // SHA-256 of a certificate trusted as it is, hex; empty for none
};

// What one blocking operation may do while it waits; the counter measures silence and is
// restarted on every sign of progress.
struct WaitContext {
    const WaitHooks& hooks;
    TTimeCounter& counter;
};

enum class IoStatus { Ok, Closed, TimedOut, Canceled, Failed };

struct IoResult {
    IoStatus status = IoStatus::Ok;
    std::size_t count = 0; // bytes received, with Ok
    std::string message;   // the failure's text, with Failed
};

// One connection at a time; connect may be called again after close. Lives as long as its client.
class Transport {
public:
    virtual ~Transport() = default;
    virtual IoResult connect(const std::string& host, std::uint16_t port, WaitContext wait) = 0;
    // Sends every byte or fails.
    virtual IoResult send(std::string_view data, WaitContext wait) = 0;
    // Waits for at least one byte; Closed when the peer ended the stream.
    virtual IoResult receive(char* buffer, std::size_t capacity, WaitContext wait) = 0;
    // Receives as `receive` does while sending what it can of `out` meanwhile, and drops what was
    // sent from `out`: neither side stalls the other when both have much to say (pipelined
    // commands and their replies). This one sends all of `out` first, which suits a peer that
    // never stops reading.
    virtual IoResult exchange(std::string_view& out, char* buffer, std::size_t capacity,
                              WaitContext wait) {
        if (!out.empty()) {
            IoResult sent = send(out, wait);
            if (sent.status != IoStatus::Ok) return sent;
            out = {};
        }
        return receive(buffer, capacity, wait);
    }
    virtual IoResult startTls(const TlsSettings& settings, WaitContext wait) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // The connected peer's numeric address, empty when unknown.
    virtual std::string peerAddress() const = 0;
};

} // namespace mv
