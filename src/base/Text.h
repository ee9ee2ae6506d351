#pragma once
// Byte-string helpers shared by every subsystem. Texts are 8-bit byte strings; case folding touches
// only the letters a to z, and trimming removes the bytes 0 to 32 at both ends, because stored rule
// files and servers were written with exactly those rules.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

// Capacity of the short text fields (names, addresses, subjects, decoded header values).
inline constexpr std::size_t kShortTextMax = 255;

bool isTrimmable(char c);
std::string trim(std::string_view s);
std::string trimLeft(std::string_view s);
std::string trimRight(std::string_view s);
char upperAscii(char c);
std::string upperAscii(std::string_view s);
std::string lowerAscii(std::string_view s);
bool equalsNoCase(std::string_view a, std::string_view b);
bool startsWithNoCase(std::string_view text, std::string_view prefix);
bool endsWithNoCase(std::string_view text, std::string_view suffix);
// Position of the first occurrence of needle in text ignoring case, or npos.
std::size_t findNoCase(std::string_view text, std::string_view needle, std::size_t from = 0);
// Cuts to at most max bytes; never inside a UTF-8 sequence when the text is valid UTF-8.
std::string cutShort(std::string_view s, std::size_t max = kShortTextMax);
bool isValidUtf8(std::string_view s);
// Valid UTF-8 stays as it is; any other byte string is taken as Latin-1 and converted.
std::string displayText(std::string_view s);

// Decimal integer, or hexadecimal with a "0x"/"0X" prefix; surrounding blanks are allowed.
std::optional<long long> parseInteger(std::string_view s);
long long parseIntegerOr(std::string_view s, long long fallback);
// 0 to 15 for a hexadecimal digit of either case, else -1.
int hexValue(char c);

std::vector<std::string> splitLines(std::string_view text); // at CR, LF or CR LF
std::string replaceAll(std::string s, std::string_view from, std::string_view to);

} // namespace mv
