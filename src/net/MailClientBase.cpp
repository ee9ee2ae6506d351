#include "net/MailClientBase.h"

namespace mv {

void TMailClientBase::Connect() {
    Operation operation(*this);
    connectSession();
}

void TMailClientBase::Disconnect() {
    Operation operation(*this);
    disconnectSession();
}

void TMailClientBase::connectSession() {
    if (Connected() && sessionMatchesSettings()) return;
    if (Connected()) Close();
    Open();
    Login();
}

void TMailClientBase::disconnectSession() {
    if (!Connected()) return;
    Logout();
    Close();
}

} // namespace mv
