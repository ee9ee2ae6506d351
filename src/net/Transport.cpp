#include "net/Transport.h"

#include "base/Text.h"

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

TlsMode parseTlsMode(std::string_view name) {
    for (TlsMode mode : {TlsMode::Tls, TlsMode::StartTls, TlsMode::None})
        if (equalsNoCase(trim(name), tlsModeName(mode))) return mode;
    return TlsMode::StartTlsIfOffered;
}

} // namespace mv
