#pragma once
// Keeping passwords out of places they could leak from: a copy that is no longer needed is
// overwritten before its memory goes back to the heap, and the process writes no core dump that
// would hold the passwords it still needs.
#include <string>

namespace mv {

class MailboxAccounts;

// Overwrites the text's characters, then empties it.
void wipeSecret(std::string& secret);
// Wipes the password of every slot.
void wipePasswords(MailboxAccounts& accounts);
// No core file, and no reading of this process's memory by other processes of the same user.
// Idempotent; call as early as passwords can be in memory.
void forbidCoreDumps();

} // namespace mv
