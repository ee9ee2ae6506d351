#pragma once
// Transfer encodings of message bodies: base64 (decoded across lines), uuencode lines and the
// "begin" lines that open a uuencoded block, and the quoted-printable line codec. These work on
// whole bodies, unlike the 255-byte header decoders of EncodedWords.h.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

// Run by long decodes and encodes now and then, so a desktop caller can keep its window live.
using PumpHook = std::function<void()>;

// Decodes the base64 lines of one part into a byte string it appends to (not owned). Groups may run
// across line ends; blanks, tabs and CRs around a line are transport noise and skipped, any other
// character outside the alphabet throws EMessageParserError("Invalid Character"). "=" ends a group;
// text after it starts anew.
class Base64Decoder {
public:
    explicit Base64Decoder(std::string& out) : m_out(out) {}
    void addLine(std::string_view line);

private:
    std::string& m_out;
    unsigned m_accumulator = 0;
    int m_bits = 0;
};

// Base64 of up to a few hundred bytes, padded with "=" to a multiple of four characters.
std::string EncodeBase64Text(std::string_view bytes);

// True for a line that opens a uuencoded block: "begin", then a three-digit mode.
bool IsUUBegin(std::string_view line);
// The file name of a begin line: the word after the mode, or the quoted text after it.
std::string UUFileName(std::string_view line);
// Appends the bytes of one uuencoded line: its first character gives the count, the rest are
// groups of four. A blank counts 0, as every uuencoder writes it; up to one group missing at the
// end (trailing blanks lost in transport) counts 0 too. Throws EMessageParserError("Invalid
// Character") for a character outside the alphabet.
void DecodeUULine(std::string_view line, std::string& out);
// One uuencoded line of at most 45 bytes: the count character and the groups.
std::string EncodeUULine(std::string_view bytes);

// Appends the bytes of one quoted-printable line: "=XX" decoded, a soft line break ("=" at the
// end) joins the next line, any other line end becomes CR LF. Trailing blanks are dropped first
// (they are added in transport; an encoder writes meaningful ones as "=20").
void DecodeQuotedPrintableLine(std::string_view line, std::string& out);
// The bytes as quoted-printable lines: each line break (CR LF, CR or LF) ends a line, longer
// lines are cut with soft breaks to at most 65 characters before the "=", cut before the last
// blank where there is one, and escapes are never split. A trailing blank and a line that is a
// lone "." are escaped, so neither transport nor SMTP dot handling can change them.
std::vector<std::string> EncodeQuotedPrintable(std::string_view bytes);

} // namespace mv
