#pragma once
// A message's raw text held in memory and read back line by line; the decoders own one for the
// length of one decode. Lines are split at CR, LF or CR LF and may be of any length or hold any
// byte, NUL included; a terminator after the last line does not make an empty line.
#include <string>
#include <string_view>

namespace mv {

// Owns a copy of the raw text and a read position; lives as long as the decoder that reads it.
class TLineStream {
public:
    // What ReadLine gives after the last line: four bytes of code 255.
    static constexpr std::string_view EndMarker = "\xFF\xFF\xFF\xFF";

    explicit TLineStream(std::string text = {}) : m_text(std::move(text)) {}

    // The next line, valid while the stream lives. After the last line: false, the end marker
    // and Eof set.
    bool ReadLine(std::string_view& line);
    // Steps back over the line just read, so the next ReadLine returns it again.
    void UnreadLine();
    // Back to the first line.
    void Reset();
    bool Eof() const { return m_eof; }
    // How many lines are left to read: lets a reader size its line list once.
    std::size_t LinesLeft() const;
    // Bytes of the text consumed so far.
    std::size_t Position() const { return m_position; }
    const std::string& Text() const { return m_text; }

private:
    static constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);
    // Position of the next `c` at or after the current position, or the text's size.
    std::size_t nextOf(char c, std::size_t& cached);

    std::string m_text;
    std::size_t m_position = 0;
    std::size_t m_lineStart = 0; // where the line last returned began
    std::size_t m_nextCr = kUnknown, m_nextLf = kUnknown;
    bool m_eof = false;
};

} // namespace mv
