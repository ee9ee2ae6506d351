#pragma once
// One row of the message list of the mailbox being checked, as the check run fills it and the
// screening pass marks it. Rows live for one check; row i is the server's message i + 1.
#include "mail/MailHeaders.h"
#include "screening/Pictures.h"

#include <string>

namespace mv {

// The row's picture: -1 none, 0 delete, 1 question, 2 delete as a known spammer, 3 to 14 accepted
// by an exception showing that picture.
using MarkState = int;
inline constexpr MarkState kMarkNone = -1;
inline constexpr MarkState kMarkDelete = kPictureDelete;
inline constexpr MarkState kMarkQuestion = kPictureQuestion;
inline constexpr MarkState kMarkKnownSpammer = kPictureKnownSpammer;

// Exactly the rows that a deletion removes from the server.
inline bool isMarkedForDeletion(MarkState mark) {
    return mark == kMarkDelete || mark == kMarkKnownSpammer;
}

struct MessageEntry {
    std::string subject;  // the Subject field's value
    std::string sender;   // the bare address of the From field
    std::string size;     // size in octets, decimal text as the list shows it
    std::string date;     // as the list shows it
    TMailHeaders headers; // the header block as received, one physical line per entry
    MarkState mark = kMarkNone;
    // The user set the mark: the re-screening after a quick-add keeps it, "Auto-mark messages"
    // does not.
    bool markedByHand = false;
    bool selected = false;
};

} // namespace mv
