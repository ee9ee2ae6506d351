#pragma once
// An INI-style store: named sections of key=value lines, keys and sections compared ignoring case
// as the registry and INI files of earlier installations did. Integers read as decimal or, with a
// "0x" prefix, hexadecimal; a missing or unreadable value gives the caller's default; booleans are
// "1"/"0" and any non-zero integer is true. Lives as long as its owner; `save` rewrites atomically.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

class IniFile {
public:
    // `privateFile`: the file holds secrets and is written readable by its owner only.
    explicit IniFile(std::filesystem::path path, bool privateFile = false);

    const std::filesystem::path& path() const { return m_path; }

    // Replaces the content with the file's; a missing file gives an empty store. Throws FileError
    // when the file exists but cannot be read; the content is then unchanged.
    void load();
    // Throws FileError; the file on disk is then unchanged.
    void save() const;
    void parse(std::string_view text);
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
