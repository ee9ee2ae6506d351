#pragma once
// The raw header lines of one message, one physical line per entry (a folded field spans several
// entries, continuation lines start with a blank or a tab), with the field look-ups that screening
// and the check run use. Owned by whoever fills it; look-ups never change it.
#include <string>
#include <string_view>
#include <vector>

namespace mv {

class TMailHeaders {
public:
    TMailHeaders() = default;
    explicit TMailHeaders(std::vector<std::string> lines) : m_lines(std::move(lines)) {}

    std::size_t count() const { return m_lines.size(); }
    bool empty() const { return m_lines.empty(); }
    const std::string& operator[](std::size_t i) const { return m_lines[i]; }
    const std::vector<std::string>& lines() const { return m_lines; }
    void add(std::string line) { m_lines.push_back(std::move(line)); }
    void insert(std::size_t i, std::string line);
    void remove(std::size_t i);
    void clear() { m_lines.clear(); }
    // Index of the first line equal to `line`, or -1.
    int indexOf(std::string_view line) const;
    // Replaces the lines with `text` split at CR, LF or CR LF.
    void loadFromText(std::string_view text);
    // Every line followed by CR LF.
    std::string text() const;

    // The field's value, unfolded and decoded; empty when absent. `name` may end with a colon.
    // Content-Type and X-UIDL come back whole and undecoded; other values are cut to 255 bytes.
    std::string GetFieldValue(std::string_view name) const;
    // The field's value unfolded, neither cut nor decoded; empty when absent. For fields whose
    // parameters are read: a parameter split into extended sections can run past any cut.
    std::string GetWholeFieldValue(std::string_view name) const;
    // Every comma-separated item of every field whose name starts with `prefix` (no colon added),
    // each decoded; commas inside double quotes do not split.
    std::vector<std::string> GetFieldValues(std::string_view prefix) const;
    // Removes the first field named `name` with its continuation lines.
    void RemoveField(std::string_view name);
    // Removes the first empty line and everything after it.
    void TruncateAtBlankLine();

private:
    // Index of the first line that starts with the field key, ignoring case, or -1.
    int findField(std::string_view name) const;
    // The unfolded raw value of the field starting at line `index`.
    std::string unfoldedValue(std::size_t index) const;

    std::vector<std::string> m_lines;
};

} // namespace mv
