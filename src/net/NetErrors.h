#pragma once
// The exceptions every network client raises, and the one code space their texts come from:
// C library error numbers (errno) shown with strerror's text, and the client library's own
// string-table codes from 57000.
#include <stdexcept>
#include <string>

namespace mv {

// Socket failures and the socket layer's own checks; the message is the error text.
class ESocketError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A reply that is not the protocol's success reply; the message is the reply line as received.
class EServerError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ECanceledError : public std::runtime_error {
public:
    ECanceledError() : std::runtime_error("Operation has been canceled") {}
};

class ETimedOutError : public std::runtime_error {
public:
    ETimedOutError() : std::runtime_error("Operation timed out") {}
};

// The mailbox no longer holds the message that was listed under that number (another program
// removed or reordered messages), so acting on the number would hit the wrong message.
class EMailboxChanged : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The client library's own texts.
enum NetErrorCode : int {
    kErrTimedOut = 57000,
    kErrCanceled = 57001,
    kErrServerRequired = 57002,
    kErrResolvingHost = 57004,
    kErrServiceRequired = 57005,
    kErrNotConnected = 57008,
    kErrUserNameRequired = 57103,
    kErrPasswordRequired = 57104,
    kErrPeerClosed = 57200,
    kErrLineTooLong = 57201,
    kErrReplyTooLarge = 57202,
    kErrLineBreakInCredentials = 57203,
    kErrBusy = 57204,
    kErrNoStls = 57205,
    kErrDataBeforeTls = 57206,
    kErrBadFingerprint = 57207,
};

// The text for a code: the string table for the library's codes, strerror for error numbers,
// else "Error #" and the code.
std::string errorText(int code);

} // namespace mv
