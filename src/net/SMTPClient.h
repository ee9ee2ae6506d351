#pragma once
// TSMTPClient: the mail-sending sibling of the POP3 client. It opens an SMTP session (greeting,
// HELO, STARTTLS when the account requires it) and closes it with QUIT; the program has no
// operation that sends a message, so the sending events are declared for the window that carries
// the component and are never fired. Lives as its owner.
#include "net/MailClientBase.h"

namespace mv {

class TSMTPClient : public TMailClientBase {
public:
    explicit TSMTPClient(std::unique_ptr<Transport> transport = nullptr);

    std::function<void(TSMTPClient&)> OnPrepare;
    std::function<void(TSMTPClient&)> OnSending;
    std::function<void(TSMTPClient&)> OnMailSent;
    std::function<void(TSMTPClient&, const std::string& theAddress, const std::string& serverReply,
                       bool& proceed)>
        OnAddressRejected;

    void Open() override;

protected:
    void Login() override;
    void Logout() override;

private:
    // Sends "HELO <host>", then a bare "HELO" when that is refused.
    void greet();
    bool positive(int code) const { return code / 100 == 2; }
};

} // namespace mv
