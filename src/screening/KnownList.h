#pragma once
// The known-spammer blacklist: e-mail addresses and domain names kept in case-insensitive sorted
// order at all times, duplicates allowed, and its file "known.lst" (one entry per CR LF line).
// Owned by the rule set for as long as the program runs.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

class KnownList {
public:
    // Look-ups compare at most this many leading characters of an entry, as earlier versions did.
    static constexpr std::size_t kCompareLength = 80;

    // The collation of the list: letters a to z folded, bytes compared unsigned.
    static int compare(std::string_view a, std::string_view b);

    void clear() { m_entries.clear(); }
    // Goes to its sorted place, after entries that compare equal. A blank entry is dropped: it
    // would make every message without a sender address a known spammer.
    void add(std::string entry);
    std::size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }
    const std::vector<std::string>& entries() const { return m_entries; }
    // Binary search, ignoring case; an empty text is never on the list.
    bool contains(std::string_view text) const;

    // Replaces the entries with these, in sorted order, equal ones in the order given; blank ones
    // are dropped as by add. Sorting once keeps a rebuild of a long list quick.
    void assign(std::vector<std::string> entries);
    // Replaces the entries with the text's lines.
    void loadFromText(std::string_view text);
    // Every entry in sorted order, each followed by CR LF.
    std::string toText() const;
    // Empties the list and, when the file exists, adds its lines. Throws FileError when it exists
    // but cannot be read; the list is then unchanged.
    void LoadFromFile(const std::filesystem::path& path);
    // Rewrites the file atomically; throws FileError, and the old file is then intact.
    void SaveToFile(const std::filesystem::path& path) const;

    // This list's changes since `base` (entries added, entries removed, compared as typed) made to
    // `disk`, the list another program saved meanwhile: its additions and removals stay too.
    KnownList rebased(const KnownList& base, const KnownList& disk) const;

    bool operator==(const KnownList&) const = default;

private:
    std::vector<std::string> m_entries;
};

} // namespace mv
