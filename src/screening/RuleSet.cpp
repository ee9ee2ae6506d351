#include "screening/RuleSet.h"

#include "base/Files.h"
#include "base/IniFile.h"
#include "base/Text.h"
#include "screening/RuleRows.h"
#include "screening/ScreeningRules.h"

#include <algorithm>
#include <map>
#include <system_error>

namespace mv {

namespace {
// How a table is laid out when it is made afresh: its file name, column widths and headings.
// Fixed program data.
struct TableLayout {
    const char* fileName;
    std::array<int, kExceptColumns> widths; // the widths a fresh table starts with
    std::array<const char*, kExceptColumns> headings;
};

const TableLayout& layout(TableId id) {
    static const std::array<TableLayout, 4> layouts = {{
        {"subj.lst", {20, 112, 231, 29, 39, 38}, {"", "What", "Matches", "Case", "Del?", "Hits"}},
        {"header.lst", {20, 112, 231, 29, 39, 38}, {"", "What", "Matches", "Case", "Del?", "Hits"}},
        {"from.lst",
         {20, 112, 112, 170, 39, 38},
         {"", "What", "Condition", "Matches", "Del?", "Hits"}},
        {"except.lst",
         {112, 112, 231, 39, 38, 20, 20},
         {"What", "Condition", "Matches", "Case?", "Hits", "", ""}},
    }};
    return layouts[static_cast<std::size_t>(id)];
}

int columnsOf(TableId id) {
    return id == TableId::Exceptions ? kExceptColumns : kRuleColumns;
}

long long hitCount(const RuleTable& table, int hits, int row) {
    return parseIntegerOr(table.cell(hits, row), 0);
}

// What a rule is, hit count aside: the same rule in another version of its table.
std::string ruleKey(const RuleTable& table, int hits, int row) {
    std::string key;
    for (int c = 0; c < table.colCount(); ++c)
        if (c != hits) key += table.cell(c, row) + '\x1f';
    return key;
}

// The row of the `occurrence`-th rule (from 0) with that key, if the table has so many.
std::optional<int> findRule(const RuleTable& table, int hits, const std::string& key,
                            int occurrence) {
    for (int row = 1; row < table.rowCount(); ++row)
        if (ruleKey(table, hits, row) == key && occurrence-- == 0) return row;
    return std::nullopt;
}

RuleTable withoutHits(RuleTable table, int hits) {
    for (int row = 1; row < table.rowCount(); ++row)
        table.setCell(hits, row, "");
    return table;
}
} // namespace

MailboxCell splitMailboxCell(std::string_view matches) {
    const std::size_t cut = matches.find(kMailboxSeparator);
    if (cut == std::string_view::npos) return {matches, {}};
    return {matches.substr(0, cut), matches.substr(cut + kMailboxSeparator.size())};
}

std::string mailboxCell(std::string_view address, int number) {
    return std::string(splitMailboxCell(address).address) + std::string(kMailboxSeparator) +
           std::to_string(number);
}

RuleSet::RuleSet(std::filesystem::path home) : m_home(std::move(home)) {
    for (TableId id : kAllTables)
        table(id) = freshTable(id);
}

std::filesystem::path RuleSet::tablePath(TableId id) const {
    return m_home / layout(id).fileName;
}

RuleTable RuleSet::freshTable(TableId id) {
    RuleTable fresh(columnsOf(id), 2);
    for (int c = 0; c < fresh.colCount(); ++c) {
        fresh.setColumnWidth(c, layout(id).widths[static_cast<std::size_t>(c)]);
        fresh.setCell(c, 0, layout(id).headings[static_cast<std::size_t>(c)]);
    }
    return fresh;
}

void RuleSet::SetGridHeadings() {
    for (TableId id : kAllTables) {
        RuleTable& t = table(id);
        for (int c = 0; c < t.colCount() && c < columnsOf(id); ++c)
            if (*layout(id).headings[static_cast<std::size_t>(c)] != '\0')
                t.setCell(c, 0, layout(id).headings[static_cast<std::size_t>(c)]);
    }
}

void RuleSet::CheckGridAdv(RuleTable& table, int row, bool deleteFlag) {
    if (row <= 0 || row >= table.rowCount()) return;
    table.setPicture(col::kPicture, row, deleteFlag ? kPictureDelete : kPictureQuestion);
}

std::optional<int> RuleSet::exceptionPicture(const RuleTable& exceptions, int row) {
    return exceptionPicture(exceptions.cell(col::kExceptPictureIndex, row));
}

std::optional<int> RuleSet::exceptionPicture(std::string_view text) {
    if (text.empty()) return kPictureFirstException;
    std::optional<long long> picture = parseInteger(text);
    if (!picture || *picture < kPictureFirstException || *picture > kPictureLastException)
        return std::nullopt;
    return static_cast<int>(*picture);
}

void RuleSet::readTable(TableId id, RuleTable& t) const {
    std::filesystem::path path = tablePath(id);
    // A link whose target is gone is no missing file but one that cannot be read: an exception
    // table in a folder that is not there now must not give way to an empty one.
    std::error_code ec;
    if (std::filesystem::symlink_status(path, ec).type() == std::filesystem::file_type::not_found) {
        t = freshTable(id);
    } else {
        if (id == TableId::Exceptions && t.colCount() > col::kExceptPictureIndex)
            t.showColumn(col::kExceptPictureIndex);
        t.LoadFromFile(path);
    }
    prepareTable(t, id);
}

std::vector<std::string> RuleSet::unreadFiles() const {
    std::vector<std::string> messages;
    for (const auto& [file, message] : m_unread)
        messages.push_back(message);
    return messages;
}

std::optional<std::string> RuleSet::noteRead(const std::filesystem::path& file,
                                             std::optional<std::string> problem) {
    if (problem)
        m_unread[file] = *problem;
    else
        m_unread.erase(file);
    return problem;
}

std::optional<std::string> RuleSet::loadTable(TableId id) {
    std::size_t i = index(id);
    FileStamp stamp = fileStamp(tablePath(id)); // before reading: a later change shows as one
    try {
        readTable(id, table(id));
    } catch (const TableFileError& e) {
        m_tableLoaded[i] = false;
        return noteRead(tablePath(id), e.what());
    }
    noteRead(tablePath(id), std::nullopt);
    m_tableLoaded[i] = true;
    m_tablesOnDisk[i] = table(id);
    m_tableStamps[i] = stamp;
    return std::nullopt;
}

std::optional<std::string> RuleSet::takeInTable(TableId id) {
    std::size_t i = index(id);
    // One that failed to load is tried again, so that a mended file counts; one never loaded
    // stays unloaded.
    if (!m_tableLoaded[i]) return m_unread.contains(tablePath(id)) ? loadTable(id) : std::nullopt;
    FileStamp stamp = fileStamp(tablePath(id));
    if (stamp == m_tableStamps[i]) return std::nullopt;
    RuleTable disk = m_tablesOnDisk[i];
    try {
        readTable(id, disk);
    } catch (const TableFileError& e) {
        return noteRead(tablePath(id), e.what());
    }
    noteRead(tablePath(id), std::nullopt);
    table(id) = rebasedTable(id, disk);
    m_tablesOnDisk[i] = std::move(disk);
    m_tableStamps[i] = stamp;
    return std::nullopt;
}

namespace {
// Each rule row of a table keyed as ruleKey keys it, with the number of equal rules above it, so
// repeated rules are told apart by their order.
struct RuleId {
    std::string key;
    int occurrence;
};
std::vector<RuleId> ruleIds(const RuleTable& table, int hits) {
    std::vector<RuleId> ids(1); // row 0, the headings, is no rule
    std::map<std::string, int> seen;
    for (int row = 1; row < table.rowCount(); ++row) {
        std::string key = ruleKey(table, hits, row);
        const int occurrence = seen[key]++;
        ids.push_back({std::move(key), occurrence});
    }
    return ids;
}
std::optional<int> findRule(const RuleTable& table, int hits, const RuleId& id) {
    return findRule(table, hits, id.key, id.occurrence);
}

// Adds the hits the other program counted on a rule since `base` (never going below none).
void addHitsCountedThere(RuleTable& merged, int hits, int row, long long countedThere) {
    if (countedThere == 0) return;
    merged.setCell(hits, row,
                   std::to_string(std::max(0LL, hitCount(merged, hits, row) + countedThere)));
}
} // namespace

// The table to save after another program saved `disk` over `base`, the file as last loaded.
// Counted here only: the file's table, with the hits counted here since added to its rules that
// are still there (a rule removed there stays removed). Edited here by the user, who saw this
// version: the rules merged, the user's table kept in its order with its edits and deletions, the
// rules the other program removed taken out where they are unchanged here, the ones it added
// appended as it saved them (once, when added here as well), and the hits it counted on rules that
// both kept added.
RuleTable RuleSet::rebasedTable(TableId id, const RuleTable& disk) const {
    const RuleTable& mine = table(id);
    const RuleTable& base = m_tablesOnDisk[index(id)];
    const int hits = hitsColumn(id);
    if (!(withoutHits(mine, hits) == withoutHits(base, hits))) return mergedTable(id, disk);
    RuleTable result = disk;
    std::vector<RuleId> ids = ruleIds(mine, hits);
    for (int row = 1; row < mine.rowCount(); ++row) {
        long long counted = hitCount(mine, hits, row) - hitCount(base, hits, row);
        if (counted == 0) continue;
        if (std::optional<int> at = findRule(result, hits, ids[static_cast<std::size_t>(row)]))
            addHitsCountedThere(result, hits, *at, counted);
    }
    return result;
}

RuleTable RuleSet::mergedTable(TableId id, const RuleTable& disk) const {
    const RuleTable& base = m_tablesOnDisk[index(id)];
    const int hits = hitsColumn(id);
    RuleTable merged = table(id);
    std::vector<RuleId> ids = ruleIds(merged, hits);
    std::vector<int> removedThere;
    for (int row = 1; row < merged.rowCount(); ++row) {
        const RuleId& rule = ids[static_cast<std::size_t>(row)];
        std::optional<int> inBase = findRule(base, hits, rule);
        if (!inBase) continue; // made here
        if (std::optional<int> onDisk = findRule(disk, hits, rule))
            addHitsCountedThere(merged, hits, row,
                                hitCount(disk, hits, *onDisk) - hitCount(base, hits, *inBase));
        else
            removedThere.push_back(row);
    }
    for (auto row = removedThere.rbegin(); row != removedThere.rend(); ++row)
        deleteRuleRow(merged, *row);
    std::vector<RuleId> diskIds = ruleIds(disk, hits);
    for (int row = 1; row < disk.rowCount(); ++row) {
        // A row with an empty "What" is no rule but the empty table's row, or the end of the walk.
        if (disk.cell(whatColumn(id), row).empty()) continue;
        const RuleId& rule = diskIds[static_cast<std::size_t>(row)];
        if (findRule(base, hits, rule)) continue;
        if (findRule(table(id), hits, rule)) continue; // added here too
        putRuleRow(merged, id, rowForAppend(merged, id), rowCells(disk, row));
    }
    return merged;
}

void RuleSet::showRowPicture(RuleTable& table, TableId id, int row) {
    if (id == TableId::Exceptions)
        table.setPicture(col::kExceptPicture, row,
                         exceptionPicture(table, row).value_or(kPictureFirstException));
    else
        CheckGridAdv(table, row, table.cell(col::kDelete, row) == kYes);
}

// Files of the earlier 5-column exception layout gain the picture columns at the end, so their
// columns 0 to 4 keep their meaning; longer files lose what lies beyond the hidden column.
void RuleSet::prepareTable(RuleTable& t, TableId id) {
    t.setColCount(columnsOf(id));
    for (int row = 1; row < t.rowCount(); ++row)
        showRowPicture(t, id, row);
    if (id == TableId::Exceptions) t.hideColumn(col::kExceptPictureIndex);
}

SpamOptions RuleSet::readOptions(IniFile& ini) const {
    // A damaged file is kept aside by the load; the options it held are not known, which is a
    // failed read as much as one the system refused.
    if (std::optional<std::string> notice = ini.load()) throw FileError(*notice);
    SpamOptions options;
    options.read(ini);
    return options;
}

std::optional<std::string> RuleSet::loadOptions() {
    IniFile ini(iniPath());
    try {
        m_options = readOptions(ini);
    } catch (const FileError& e) {
        m_optionsLoaded = false;
        return noteRead(iniPath(), e.what());
    }
    noteRead(iniPath(), std::nullopt);
    m_optionsLoaded = true;
    m_optionsOnDisk = m_options;
    return std::nullopt;
}

std::vector<std::string> RuleSet::readSettings() {
    std::vector<std::string> problems;
    for (TableId id : kAllTables)
        if (std::optional<std::string> problem = loadTable(id)) problems.push_back(*problem);
    if (std::optional<std::string> problem = loadOptions()) problems.push_back(*problem);
    // Rows that can never match, or only with a default, are worth a word when they are loaded.
    std::vector<std::string> broken = ScreeningRules(*this).problems;
    problems.insert(problems.end(), broken.begin(), broken.end());
    return problems;
}

std::vector<std::string> RuleSet::takeInDiskChanges() {
    std::vector<std::string> problems;
    for (TableId id : kAllTables)
        if (std::optional<std::string> problem = takeInTable(id)) problems.push_back(*problem);
    if (std::optional<std::string> problem = takeInKnownList()) problems.push_back(*problem);
    if (m_optionsLoaded) {
        IniFile ini(iniPath());
        try {
            SpamOptions disk = readOptions(ini);
            m_options = m_options.rebased(m_optionsOnDisk, disk);
            m_optionsOnDisk = disk;
            noteRead(iniPath(), std::nullopt);
        } catch (const FileError& e) {
            problems.push_back(*noteRead(iniPath(), e.what()));
        }
    }
    return problems;
}

std::vector<std::string> RuleSet::Savesettings() {
    std::vector<std::string> problems;
    for (TableId id : kAllTables) {
        if (!isLoaded(id)) continue; // its file may still be intact: never overwrite it
        if (std::optional<std::string> problem = takeInTable(id)) {
            problems.push_back(*problem); // what another program left there is not ours to replace
            continue;
        }
        std::size_t i = index(id);
        if (table(id) == m_tablesOnDisk[i] && m_tableStamps[i].exists) continue;
        try {
            table(id).SaveToFile(tablePath(id));
            m_tablesOnDisk[i] = table(id);
            m_tableStamps[i] = fileStamp(tablePath(id));
        } catch (const FileError& e) {
            problems.push_back(e.what());
        }
    }
    if (std::optional<std::string> problem = saveOptions()) problems.push_back(*problem);
    return problems;
}

std::optional<std::string> RuleSet::saveOptions() {
    if (!m_optionsLoaded) return std::nullopt;
    // Re-read first, so sections that other parts of the program keep in the file survive, and
    // so do options another program changed.
    IniFile ini(iniPath());
    bool exists = fileExists(iniPath());
    SpamOptions disk;
    try {
        disk = readOptions(ini);
    } catch (const FileError& e) {
        return noteRead(iniPath(), e.what()); // the file is kept as it is: nothing to write on
    }
    noteRead(iniPath(), std::nullopt);
    try {
        m_options = m_options.rebased(m_optionsOnDisk, disk);
        if (!exists || !(m_options == disk)) {
            m_options.write(ini);
            ini.save();
        }
        m_optionsOnDisk = m_options;
    } catch (const FileError&) {
        return "Unable to write to " + iniPath().string();
    }
    return std::nullopt;
}

std::optional<std::string> RuleSet::LoadUpKnownList() {
    FileStamp stamp = fileStamp(knownPath());
    try {
        m_known.LoadFromFile(knownPath());
    } catch (const FileError& e) {
        return noteRead(knownPath(), e.what());
    }
    noteRead(knownPath(), std::nullopt);
    m_knownOnDisk = m_known;
    m_knownStamp = stamp;
    return std::nullopt;
}

std::optional<std::string> RuleSet::takeInKnownList() {
    FileStamp stamp = fileStamp(knownPath());
    // One that could not be read is tried again even when it looks as last loaded.
    if (stamp == m_knownStamp && !m_unread.contains(knownPath())) return std::nullopt;
    KnownList disk;
    try {
        disk.LoadFromFile(knownPath());
    } catch (const FileError& e) {
        return noteRead(knownPath(), e.what());
    }
    noteRead(knownPath(), std::nullopt);
    m_known = m_known.rebased(m_knownOnDisk, disk);
    m_knownOnDisk = std::move(disk);
    m_knownStamp = stamp;
    return std::nullopt;
}

void RuleSet::saveKnownList() {
    if (std::optional<std::string> problem = takeInKnownList()) throw FileError(*problem);
    m_known.SaveToFile(knownPath());
    m_knownOnDisk = m_known;
    m_knownStamp = fileStamp(knownPath());
}

} // namespace mv
