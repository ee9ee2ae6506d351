#include "net/Transport.h"

#include "base/Text.h"

#include <cctype>

namespace mv {

std::string tlsModeName(TlsMode mode) {
    switch (mode) {
    case TlsMode::Tls:
        return "tls";
    case TlsMode::StartTls:
        return "starttls";
    case TlsMode::StartTlsIfOffered:
        return "starttls-if-offered";
    case TlsMode::None:
        return "none";
    }
    return {};
}

std::optional<TlsMode> parseTlsMode(std::string_view name) {
    for (TlsMode mode :
         {TlsMode::Tls, TlsMode::StartTls, TlsMode::StartTlsIfOffered, TlsMode::None})
        if (equalsNoCase(trim(name), tlsModeName(mode))) return mode;
    return std::nullopt;
}

std::optional<std::string> normalizeFingerprint(std::string_view text) {
    std::string digits;
    for (char c : trim(text)) {
        if (c == ':') continue;
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
        digits += upperAscii(c);
    }
    if (digits.size() != 64) return std::nullopt;
    std::string out;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        if (i > 0) out += ':';
        out += digits.substr(i, 2);
    }
    return out;
}

} // namespace mv
