// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A settings window's edits laid onto the settings as stored now. The window shows the stored
// values and may stay open for a long time; meanwhile the command line may change other fields.
// Only a field whose value in the window differs from what the window showed is the user's
// change; every other field keeps its stored value, so that OK never writes a stale one back.
#include "app/settings/MailboxAccounts.h"
#include "app/settings/SettingsStore.h"

namespace mv {

// Each field of `edited` that differs from `shown` replaces that field of `stored`. In place,
// so that no copy of a password is left behind unwiped.
void applyEdits(const GeneralSettings& shown, const GeneralSettings& edited,
                GeneralSettings& stored);
void applyEdits(const MailboxAccounts& shown, const MailboxAccounts& edited,
                MailboxAccounts& stored);

} // namespace mv
