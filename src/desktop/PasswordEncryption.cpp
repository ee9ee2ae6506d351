#include "desktop/PasswordEncryption.h"

#include <algorithm>
#include <random>

namespace mv {

namespace {
unsigned char randomStartByte() {
    static std::mt19937 generator{std::random_device{}()};
    return static_cast<unsigned char>(std::uniform_int_distribution<int>(0, 255)(generator));
}

void appendHex(std::string& out, unsigned value) {
    static constexpr char digits[] = "0123456789ABCDEF";
    out += digits[(value >> 4) & 0xF];
    out += digits[value & 0xF];
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

unsigned hexPair(std::string_view s, std::size_t at) {
    int hi = hexDigit(s[at]), lo = hexDigit(s[at + 1]);
    if (hi < 0 || lo < 0) throw EPasswordFormatError("The stored password is not valid");
    return static_cast<unsigned>(hi * 16 + lo);
}

// Key bytes used cyclically from the first; an empty key leaves the bytes as they are.
class KeyCycle {
public:
    explicit KeyCycle(std::string_view key) : m_key(key) {}
    unsigned next() {
        if (m_key.empty()) return 0;
        unsigned k = static_cast<unsigned char>(m_key[m_index]);
        m_index = (m_index + 1) % m_key.size();
        return k;
    }

private:
    std::string_view m_key;
    std::size_t m_index = 0;
};
} // namespace

std::string TPasswordEncryption::scramble(std::string_view plain, std::string_view key) {
    if (plain.empty()) return {};
    KeyCycle k(key);
    unsigned prev = randomStartByte();
    std::string out;
    appendHex(out, prev);
    for (unsigned char p : plain) {
        unsigned c = ((prev + p) % 255) ^ k.next();
        appendHex(out, c);
        prev = c;
    }
    return out;
}

std::string TPasswordEncryption::unscramble(std::string_view stored, std::string_view key) {
    if (stored.empty()) return {};
    if (stored.size() < 4) throw EPasswordFormatError("The stored password is too short");
    KeyCycle k(key);
    unsigned prev = hexPair(stored, 0);
    std::string out;
    for (std::size_t at = 2; at + 1 < stored.size(); at += 2) {
        unsigned c = hexPair(stored, at);
        unsigned d = c ^ k.next();
        int p = prev < d ? static_cast<int>(d - prev) : static_cast<int>(d) - static_cast<int>(prev) + 255;
        out += static_cast<char>(p);
        prev = c;
    }
    return out;
}

bool TPasswordEncryption::readable(std::string_view stored) {
    return stored.size() >= 4 && stored.size() % 2 == 0 &&
           std::all_of(stored.begin(), stored.end(), [](char c) { return hexDigit(c) >= 0; });
}

void TPasswordEncryption::Execute() {
    Output.clear();
    if (Input.empty()) return;
    Output = Action == TActionType::atEncryption ? scramble(Input, Key) : unscramble(Input, Key);
}

} // namespace mv
