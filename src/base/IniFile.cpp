#include "base/IniFile.h"

#include "base/Files.h"
#include "base/Text.h"

namespace mv {

IniFile::IniFile(std::filesystem::path path, bool privateFile)
    : m_path(std::move(path)), m_private(privateFile) {}

void IniFile::load() {
    std::optional<std::string> text = readFile(m_path);
    parse(text ? *text : std::string());
}

void IniFile::save() const { writeFileAtomically(m_path, text(), m_private); }

void IniFile::parse(std::string_view text) {
    m_sections.clear();
    Section* current = nullptr;
    for (const std::string& raw : splitLines(text)) {
        std::string line = trim(raw);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            current = &sectionForWriting(trim(line.substr(1, line.size() - 2)));
            continue;
        }
        std::size_t eq = line.find('=');
        if (current == nullptr || eq == std::string::npos) continue; // stray text is ignored
        std::string key = trim(line.substr(0, eq));
        if (key.empty() || find(current->name, key) != nullptr) continue; // first one wins
        current->entries.push_back({key, trim(line.substr(eq + 1))});
    }
}

std::string IniFile::text() const {
    std::string out;
    for (const Section& s : m_sections) {
        if (!out.empty()) out += "\r\n";
        out += "[" + s.name + "]\r\n";
        for (const Entry& e : s.entries) out += e.key + "=" + e.value + "\r\n";
    }
    return out;
}

const IniFile::Section* IniFile::findSection(std::string_view name) const {
    for (const Section& s : m_sections)
        if (equalsNoCase(s.name, name)) return &s;
    return nullptr;
}

const IniFile::Entry* IniFile::find(std::string_view section, std::string_view key) const {
    const Section* s = findSection(section);
    if (s == nullptr) return nullptr;
    for (const Entry& e : s->entries)
        if (equalsNoCase(e.key, key)) return &e;
    return nullptr;
}

IniFile::Section& IniFile::sectionForWriting(std::string_view name) {
    for (Section& s : m_sections)
        if (equalsNoCase(s.name, name)) return s;
    m_sections.push_back({std::string(name), {}});
    return m_sections.back();
}

bool IniFile::hasValue(std::string_view section, std::string_view key) const {
    return find(section, key) != nullptr;
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
    const Entry* e = find(section, key);
    return e ? e->value : std::string(fallback);
}

long long IniFile::readInteger(std::string_view section, std::string_view key,
                               long long fallback) const {
    const Entry* e = find(section, key);
    return e ? parseIntegerOr(e->value, fallback) : fallback;
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool fallback) const {
    return readInteger(section, key, fallback ? 1 : 0) != 0;
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    std::string clean(value);
    for (char& c : clean)
        if (c == '\r' || c == '\n') c = ' ';
    Section& s = sectionForWriting(section);
    for (Entry& e : s.entries)
        if (equalsNoCase(e.key, key)) {
            e.value = clean;
            return;
        }
    s.entries.push_back({std::string(key), clean});
}

void IniFile::writeInteger(std::string_view section, std::string_view key, long long value) {
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(std::string_view section, std::string_view key, bool value) {
    writeString(section, key, value ? "1" : "0");
}

void IniFile::eraseSection(std::string_view section) {
    std::erase_if(m_sections, [&](const Section& s) { return equalsNoCase(s.name, section); });
}

std::vector<std::string> IniFile::sections() const {
    std::vector<std::string> names;
    for (const Section& s : m_sections) names.push_back(s.name);
    return names;
}

std::vector<std::string> IniFile::keys(std::string_view section) const {
    std::vector<std::string> names;
    if (const Section* s = findSection(section))
        for (const Entry& e : s->entries) names.push_back(e.key);
    return names;
}

} // namespace mv
