#pragma once
// The listing of a mailbox that the last `check` printed, kept between runs. `show N` reads message
// N from it: the header block straight from the file, the body by downloading message N alone after
// the server confirmed that its number N is still the message listed (by unique id, or by size and
// header block). Viewing then costs one download, with no new listing and no screening. One file
// per mailbox in the program folder, readable by its owner only: header blocks are private mail.
#include "app/settings/HomeFolder.h"
#include "net/RemotePOP.h"

#include <optional>
#include <string>
#include <vector>

namespace mv::cli {

struct SavedListing {
    std::string server; // the account listed
    std::string user;
    std::vector<TRemoteInfoItem> items; // item i is message i + 1; marks are not kept
};

// Replaces the saved listing of the mailbox. Throws FileError.
void saveListing(const HomeFolder& home, int mailbox, const SavedListing& listing);
// The saved listing of the mailbox; nullopt when there is none or it cannot be read.
std::optional<SavedListing> loadListing(const HomeFolder& home, int mailbox);
// Removes the saved listing of the mailbox, when its numbers no longer name the same messages.
void forgetListing(const HomeFolder& home, int mailbox);

} // namespace mv::cli
