#pragma once
// TMailClientBase: the session frame of the mail clients. Connect opens and logs in unless a
// session that may be reused is open; Disconnect logs out and closes. Lives as its client does.
#include "net/AsyncSocket.h"

namespace mv {

class TMailClientBase : public TAsyncSocket {
public:
    using TAsyncSocket::TAsyncSocket;

    void Connect();
    void Disconnect();

protected:
    virtual void Login() = 0;
    virtual void Logout() = 0;
    // Whether the open session serves the current settings; otherwise Connect ends it first.
    virtual bool sessionMatchesSettings() const { return true; }
    // Connect and Disconnect without taking the operation mark, for operations that hold it.
    void connectSession();
    void disconnectSession();
};

} // namespace mv
