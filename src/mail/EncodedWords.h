#pragma once
// Encoded words in header values ("=?charset?B?...?=" and "=?charset?Q?...?="), the base64 and
// quoted-printable decoders they use, and conversion from a declared character set to UTF-8.
#include <string>
#include <string_view>

namespace mv {

// Decodes every well-formed encoded word and converts it to UTF-8. Malformed words (invalid base64,
// no closing "?=", unknown encoding letter) stay as they stand: spam must not be able to hide a
// subject from the rules, or stop a screening pass, by writing a broken encoded word. Blanks between
// two adjacent encoded words are dropped, blanks next to plain text are kept; a CR or LF a word
// decodes to becomes a blank. Never throws.
// The result holds at most 255 bytes, never cut inside a UTF-8 sequence.
std::string DecodeHeaderText(std::string_view text);

// Base64 text to bytes, at most 255. Throws EMessageParserError("Invalid Character") for a
// character outside the alphabet; a final group of fewer than four characters gives the bytes its
// characters complete.
std::string DecodeBase64Text(std::string_view text);

// Quoted-printable word to bytes, at most 255; "=XX" decoded (line breaks too), anything else kept.
// Never throws.
std::string DecodeQuotedText(std::string_view text);

// The bytes converted from `charset` to UTF-8. Each byte that is not valid in the character set
// gives U+FFFD and the conversion goes on after it. An unknown character set, none, or US-ASCII
// gives the bytes unchanged (8-bit bytes there are shown as Latin-1 later).
std::string ConvertToUtf8(std::string_view charset, std::string_view bytes);

} // namespace mv
