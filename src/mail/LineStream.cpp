#include "mail/LineStream.h"

#include <algorithm>
#include <cstring>

namespace mv {

bool TLineStream::ReadLine(std::string_view& line) {
    m_lineStart = m_position;
    if (m_position >= m_text.size()) {
        m_eof = true;
        line = EndMarker;
        return false;
    }
    const char* begin = m_text.data() + m_position;
    const char* stop = m_text.data() + std::min(nextOf('\r', m_nextCr), nextOf('\n', m_nextLf));
    line = std::string_view(begin, static_cast<std::size_t>(stop - begin));
    std::size_t next = static_cast<std::size_t>(stop - m_text.data());
    if (next < m_text.size()) {
        ++next;
        if (*stop == '\r' && next < m_text.size() && m_text[next] == '\n') ++next;
    }
    m_position = next;
    return true;
}

std::size_t TLineStream::nextOf(char c, std::size_t& cached) {
    // The last find is reused while it lies ahead, so text that holds only one of CR and LF is
    // still scanned once in all, not once per line.
    if (cached < m_position || cached == kUnknown) {
        const char* found = static_cast<const char*>(
            std::memchr(m_text.data() + m_position, c, m_text.size() - m_position));
        cached = found ? static_cast<std::size_t>(found - m_text.data()) : m_text.size();
    }
    return cached;
}

std::size_t TLineStream::LinesLeft() const {
    const char* begin = m_text.data() + std::min(m_position, m_text.size());
    const char* end = m_text.data() + m_text.size();
    // Every LF ends a line, and so does every CR that no LF follows.
    std::size_t lines = 0;
    for (const char* p = begin; (p = static_cast<const char*>(std::memchr(p, '\n', end - p))); ++p)
        ++lines;
    for (const char* p = begin; (p = static_cast<const char*>(std::memchr(p, '\r', end - p))); ++p)
        if (p + 1 == end || p[1] != '\n') ++lines;
    bool unterminated = begin != end && end[-1] != '\n' && end[-1] != '\r';
    return lines + (unterminated ? 1 : 0);
}

void TLineStream::UnreadLine() {
    m_position = m_lineStart;
    m_nextCr = m_nextLf = kUnknown;
    m_eof = false;
}

void TLineStream::Reset() {
    m_position = 0;
    m_lineStart = 0;
    m_nextCr = m_nextLf = kUnknown;
    m_eof = false;
}

} // namespace mv
