#include "net/SMTPClient.h"

namespace mv {

TSMTPClient::TSMTPClient(std::unique_ptr<Transport> transport)
    : TMailClientBase(std::move(transport)) {
    setServiceName("smtp");
    setTlsService("submissions", 465);
    setDefaultPort(25);
}

void TSMTPClient::Open() {
    if (server().empty()) RaiseSocketError(kErrServerRequired);
    ResetState();
    TMailClientBase::Open();
}

void TSMTPClient::Login() {
    ConnectToServer();
    try {
        if (!positive(ReadReply())) throw EServerError(LastReply());
        greet();
        if (security() == TlsMode::StartTls) {
            // HELO lists no extensions, so STARTTLS is tried only when the account requires it.
            SendLine("STARTTLS");
            if (ReadReply() != 220) throw EServerError(LastReply());
            StartTls();
            greet(); // the session starts over under TLS (RFC 3207)
        }
    } catch (...) {
        Close();
        throw;
    }
}

void TSMTPClient::greet() {
    SendLine("HELO " + LocalHostName());
    if (positive(ReadReply())) return;
    SendLine("HELO");
    if (!positive(ReadReply())) throw EServerError(LastReply());
}

void TSMTPClient::Logout() {
    SendLine("QUIT");
    if (!positive(ReadReply())) throw EServerError(LastReply());
}

} // namespace mv
