#pragma once
// A mailbox account with a server, user and password and every other field at its default.
#include "app/settings/MailboxAccounts.h"

#include <string>

namespace mv::test {

inline MailboxAccount testAccount(std::string server, std::string user, std::string password) {
    MailboxAccount account;
    account.server = std::move(server);
    account.user = std::move(user);
    account.password = std::move(password);
    return account;
}

} // namespace mv::test
