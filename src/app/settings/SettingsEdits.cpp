// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/SettingsEdits.h"

namespace mv {

namespace {

// Copies each listed member from `edited` into `stored` where it differs from `shown`.
template <class T, class... Members>
void takeEdits(const T& shown, const T& edited, T& stored, Members... members) {
    auto take = [&](auto member) {
        if (edited.*member != shown.*member) stored.*member = edited.*member;
    };
    (take(members), ...);
}

} // namespace

void applyEdits(const GeneralSettings& shown, const GeneralSettings& edited,
                GeneralSettings& stored) {
    using G = GeneralSettings;
    takeEdits(shown, edited, stored, &G::logfile, &G::mailer, &G::alarmFile, &G::automatic, &G::ask,
              &G::kill, &G::minutes, &G::launch, &G::exitWhenEmpty, &G::alarm, &G::repeat, &G::ras,
              &G::count, &G::sysTray, &G::dnsAddress, &G::dnsPort, &G::logNaming);
}

void applyEdits(const MailboxAccounts& shown, const MailboxAccounts& edited,
                MailboxAccounts& stored) {
    if (edited.which != shown.which) stored.which = edited.which;
    using A = MailboxAccount;
    for (int n = 1; n <= MailboxAccounts::kCount; ++n)
        takeEdits(shown[n], edited[n], stored[n], &A::server, &A::user, &A::password, &A::security,
                  &A::fingerprint);
}

} // namespace mv
