#include "base/IniFile.h"

#include "base/Files.h"
#include "base/Text.h"

#include <ctime>

namespace mv {

IniFile::IniFile(std::filesystem::path path, bool privateFile)
    : m_path(std::move(path)), m_private(privateFile) {}

namespace {
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view withoutByteOrderMark(std::string_view text) {
    if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
    return text;
}

bool isSectionLine(std::string_view line) {
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

// Today's date for the name a damaged file is kept under, as the user's clock gives it.
std::string todayText() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

// Renames the damaged file to a free "<name>.damaged-<date>[-n]" beside it; the new name.
std::filesystem::path keepDamaged(const std::filesystem::path& path) {
    const std::string stem = path.string() + ".damaged-" + todayText();
    for (int n = 1; n < 100; ++n) {
        std::filesystem::path kept = n == 1 ? stem : stem + "-" + std::to_string(n);
        std::error_code ec;
        if (std::filesystem::symlink_status(kept, ec).type() !=
            std::filesystem::file_type::not_found)
            continue;
        std::filesystem::rename(path, kept, ec);
        if (ec)
            throw FileError("Unable to keep the damaged file " + path.string() + ": " +
                            ec.message());
        return kept;
    }
    throw FileError("Unable to keep the damaged file " + path.string() +
                    ": too many damaged copies beside it");
}
} // namespace

std::optional<std::string> IniFile::load() {
    std::optional<std::string> text = readFile(m_path);
    std::optional<std::string> damage = text ? damageIn(*text) : std::nullopt;
    if (!damage) {
        parse(text ? *text : std::string());
        return std::nullopt;
    }
    const std::filesystem::path kept = keepDamaged(m_path);
    m_sections.clear();
    return "The file " + m_path.string() + " could not be read: " + *damage + ". It was kept as " +
           kept.string() + "; its settings start again from their defaults.";
}

std::optional<std::string> IniFile::damageIn(std::string_view text) {
    if (text.find('\0') != std::string_view::npos) return "it holds NUL bytes";
    bool inSection = false;
    int number = 0;
    for (const std::string& raw : splitLines(withoutByteOrderMark(text))) {
        ++number;
        const std::string line = trim(raw);
        const std::string where = "line " + std::to_string(number);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        std::string_view name = line;
        if (isSectionLine(line)) {
            inSection = true;
        } else if (std::size_t eq = line.find('='); eq != std::string::npos && eq > 0) {
            if (!inSection) return where + " holds a value outside any section";
            name = std::string_view(line).substr(0, eq);
        } else {
            return where + " is neither a section, a key=value line nor a comment";
        }
        if (!isValidUtf8(name)) return where + " holds a name that is not UTF-8 text";
    }
    return std::nullopt;
}

void IniFile::save() const { writeFileAtomically(m_path, text(), m_private); }

void IniFile::parse(std::string_view text) {
    m_sections.clear();
    Section* current = nullptr;
    for (const std::string& raw : splitLines(withoutByteOrderMark(text))) {
        std::string line = trim(raw);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (isSectionLine(line)) {
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
