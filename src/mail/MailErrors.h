#pragma once
// Exceptions of the mail library: malformed message text, and misuse of a message object.
#include <stdexcept>

namespace mv {

class EMessageParserError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EMessageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace mv
