#include "app/settings/SecretMemory.h"

#include "app/settings/MailboxAccounts.h"

#include <cstring>
#include <sys/prctl.h>
#include <sys/resource.h>

namespace mv {

void wipeSecret(std::string& secret) {
    // explicit_bzero is never optimised away, unlike a memset of memory about to be released.
    ::explicit_bzero(secret.data(), secret.size());
    secret.clear();
}

void wipePasswords(MailboxAccounts& accounts) {
    for (int n = 1; n <= MailboxAccounts::kCount; ++n)
        wipeSecret(accounts[n].password);
}

void forbidCoreDumps() {
    rlimit none{0, 0};
    ::setrlimit(RLIMIT_CORE, &none);
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
}

} // namespace mv
