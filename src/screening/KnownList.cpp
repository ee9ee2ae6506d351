#include "screening/KnownList.h"

#include "base/Files.h"
#include "base/Text.h"
#include "screening/Conditions.h"

#include <algorithm>
#include <iterator>

namespace mv {

namespace {
bool sortsBefore(const std::string& a, const std::string& b) {
    return KnownList::compare(a, b) < 0;
}
} // namespace

int KnownList::compare(std::string_view a, std::string_view b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        auto x = static_cast<unsigned char>(upperAscii(a[i]));
        auto y = static_cast<unsigned char>(upperAscii(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

void KnownList::add(std::string entry) {
    if (isBlank(entry)) return;
    auto at = std::upper_bound(m_entries.begin(), m_entries.end(), entry, sortsBefore);
    m_entries.insert(at, std::move(entry));
}

bool KnownList::contains(std::string_view text) const {
    if (text.empty()) return false;
    std::string_view key = text.substr(0, std::min(text.size(), kCompareLength));
    auto less = [](std::string_view a, std::string_view b) {
        return compare(a.substr(0, std::min(a.size(), kCompareLength)), b) < 0;
    };
    auto at = std::lower_bound(
        m_entries.begin(), m_entries.end(), key,
        [&](const std::string& entry, std::string_view k) { return less(entry, k); });
    if (at == m_entries.end()) return false;
    std::string_view found(*at);
    return compare(found.substr(0, std::min(found.size(), kCompareLength)), key) == 0;
}

void KnownList::assign(std::vector<std::string> entries) {
    std::erase_if(entries, [](const std::string& entry) { return isBlank(entry); });
    // Sorting once beats inserting each entry at its place: that moves half the list every time.
    std::stable_sort(entries.begin(), entries.end(), sortsBefore);
    m_entries = std::move(entries);
}

void KnownList::loadFromText(std::string_view text) {
    assign(splitLines(text));
}

std::string KnownList::toText() const {
    std::string out;
    for (const std::string& entry : m_entries) {
        out += entry;
        out += "\r\n";
    }
    return out;
}

KnownList KnownList::rebased(const KnownList& base, const KnownList& disk) const {
    auto sorted = [](std::vector<std::string> entries) {
        std::sort(entries.begin(), entries.end());
        return entries;
    };
    std::vector<std::string> mine = sorted(m_entries);
    std::vector<std::string> before = sorted(base.m_entries);
    std::vector<std::string> added;
    std::vector<std::string> removed;
    std::set_difference(mine.begin(), mine.end(), before.begin(), before.end(),
                        std::back_inserter(added));
    std::set_difference(before.begin(), before.end(), mine.begin(), mine.end(),
                        std::back_inserter(removed));
    KnownList result = disk;
    for (const std::string& entry : removed)
        if (auto at = std::find(result.m_entries.begin(), result.m_entries.end(), entry);
            at != result.m_entries.end())
            result.m_entries.erase(at);
    for (std::string& entry : added)
        result.add(std::move(entry));
    return result;
}

void KnownList::LoadFromFile(const std::filesystem::path& path) {
    std::optional<std::string> text = readFile(path);
    loadFromText(text ? *text : std::string());
}

void KnownList::SaveToFile(const std::filesystem::path& path) const {
    writeFileAtomically(path, toText());
}

} // namespace mv
