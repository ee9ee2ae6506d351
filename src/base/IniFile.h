#pragma once
// An INI-style store: named sections of key=value lines, keys and sections compared ignoring case
// as the registry and INI files of earlier installations did. Integers read as decimal or, with a
// "0x" prefix, hexadecimal; a missing or unreadable value gives the caller's default; booleans are
// "1"/"0" and any non-zero integer is true. Lives as long as its owner; `save` rewrites atomically.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

class IniFile {
public:
    // `privateFile`: the file holds secrets and is written readable by its owner only.
    explicit IniFile(std::filesystem::path path, bool privateFile = false);

    const std::filesystem::path& path() const { return m_path; }

    // Replaces the content with the file's; a missing file gives an empty store. A damaged file
    // (damageIn) is never taken for settings nor left to be written over: it is renamed to
    // "<name>.damaged-<date>" beside the new one, the store is empty, and the returned message
    // says why and where the file went. Throws FileError when the file exists but cannot be read,
    // or is damaged and cannot be renamed; the content is then unchanged.
    std::optional<std::string> load();
    // Throws FileError; the file on disk is then unchanged.
    void save() const;
    // Takes the text as it comes, damaged or not: stray lines are passed over.
    void parse(std::string_view text);
    // Why `text` cannot be a file that this program or a person wrote, or nullopt. Damaged means:
    // a NUL byte (no text file holds one; a torn write on some file systems leaves runs of them);
    // a line that is neither blank, a comment (";" or "#"), a "[section]" nor a "key=value" line
    // with a key; a value before the first section; a section name or key that is not UTF-8.
    // Legitimate: an empty file, sections and keys this version does not know (a newer version's
    // or a hand edit), a leading byte-order mark (some editors add one), and values in any
    // encoding, as paths and names in the system's code page may be.
    static std::optional<std::string> damageIn(std::string_view text);
    std::string text() const;

    bool hasValue(std::string_view section, std::string_view key) const;
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view fallback = {}) const;
    long long readInteger(std::string_view section, std::string_view key,
                          long long fallback) const;
    bool readBool(std::string_view section, std::string_view key, bool fallback) const;

    // Line breaks in a value become blanks: a value can never add lines to the file.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, long long value);
    void writeBool(std::string_view section, std::string_view key, bool value);
    void eraseSection(std::string_view section);

    std::vector<std::string> sections() const;
    std::vector<std::string> keys(std::string_view section) const;

private:
    struct Entry {
        std::string key, value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };
    const Section* findSection(std::string_view name) const;
    const Entry* find(std::string_view section, std::string_view key) const;
    Section& sectionForWriting(std::string_view name);

    std::filesystem::path m_path;
    bool m_private;
    std::vector<Section> m_sections;
};

} // namespace mv
