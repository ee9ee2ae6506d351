#pragma once
// Reversible scrambling of stored mailbox passwords: keeps them from being read at a glance in the
// settings file, nothing more. The stored form is upper-case hexadecimal, a random start byte
// followed by one byte per character, and must stay readable by earlier installations.
#include <stdexcept>
#include <string>
#include <string_view>

namespace mv {

enum class TActionType { atEncryption, atDecryption };

// A stored password that is not hexadecimal or holds no character.
class EPasswordFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TPasswordEncryption {
public:
    // The key every installation uses.
    static constexpr const char* kDefaultKey = "wisp";

    std::string Input;
    std::string Output;
    std::string Key = kDefaultKey;
    TActionType Action = TActionType::atEncryption;

    // Output := scrambled or unscrambled Input; empty Input gives empty Output. Throws
    // EPasswordFormatError on malformed stored text (Output is then empty).
    void Execute();

    static std::string scramble(std::string_view plain, std::string_view key = kDefaultKey);
    static std::string unscramble(std::string_view stored, std::string_view key = kDefaultKey);
    // Whether `stored` is in this format: an even number of at least four hexadecimal digits.
    static bool readable(std::string_view stored);
};

} // namespace mv
