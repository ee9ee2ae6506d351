#include "screening/RuleSet.h"

#include "base/Files.h"
#include "base/IniFile.h"
#include "base/Text.h"
#include "screening/ScreeningRules.h"

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
        resetTable(id);
}

std::filesystem::path RuleSet::tablePath(TableId id) const {
    return m_home / layout(id).fileName;
}

void RuleSet::resetTable(TableId id) {
    RuleTable fresh(columnsOf(id), 2);
    for (int c = 0; c < fresh.colCount(); ++c) {
        fresh.setColumnWidth(c, layout(id).widths[static_cast<std::size_t>(c)]);
        fresh.setCell(c, 0, layout(id).headings[static_cast<std::size_t>(c)]);
    }
    table(id) = std::move(fresh);
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

std::optional<std::string> RuleSet::loadTable(TableId id) {
    std::size_t i = index(id);
    std::filesystem::path path = tablePath(id);
    if (!fileExists(path)) {
        resetTable(id);
        m_tableLoaded[i] = true;
        return std::nullopt;
    }
    try {
        table(id).LoadFromFile(path);
        m_tableLoaded[i] = true;
        return std::nullopt;
    } catch (const TableFileError& e) {
        m_tableLoaded[i] = false;
        return e.what();
    }
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
void RuleSet::prepareTable(TableId id) {
    RuleTable& t = table(id);
    t.setColCount(columnsOf(id));
    for (int row = 1; row < t.rowCount(); ++row)
        showRowPicture(t, id, row);
    if (id == TableId::Exceptions) t.hideColumn(col::kExceptPictureIndex);
}

std::optional<std::string> RuleSet::loadOptions() {
    IniFile ini(iniPath());
    try {
        ini.load();
    } catch (const FileError& e) {
        m_optionsLoaded = false;
        return e.what();
    }
    m_optionsLoaded = true;
    m_options.read(ini);
    return std::nullopt;
}

std::vector<std::string> RuleSet::readSettings() {
    std::vector<std::string> problems;
    for (TableId id : kAllTables) {
        if (id == TableId::Exceptions && exceptions().colCount() > col::kExceptPictureIndex)
            exceptions().showColumn(col::kExceptPictureIndex);
        if (std::optional<std::string> problem = loadTable(id)) {
            problems.push_back(*problem);
            continue;
        }
        prepareTable(id);
    }
    if (std::optional<std::string> problem = loadOptions()) problems.push_back(*problem);
    // Rows that can never match, or only with a default, are worth a word when they are loaded.
    std::vector<std::string> broken = ScreeningRules(*this).problems;
    problems.insert(problems.end(), broken.begin(), broken.end());
    return problems;
}

std::vector<std::string> RuleSet::Savesettings() {
    std::vector<std::string> problems;
    for (TableId id : kAllTables) {
        if (!isLoaded(id)) continue; // its file may still be intact: never overwrite it
        try {
            table(id).SaveToFile(tablePath(id));
        } catch (const FileError& e) {
            problems.push_back(e.what());
        }
    }
    if (!m_optionsLoaded) return problems;
    // Re-read first, so sections that other parts of the program keep in the file survive.
    IniFile ini(iniPath());
    try {
        ini.load();
        m_options.write(ini);
        ini.save();
    } catch (const FileError&) {
        problems.push_back("Unable to write to " + iniPath().string());
    }
    return problems;
}

std::optional<std::string> RuleSet::LoadUpKnownList() {
    try {
        m_known.LoadFromFile(knownPath());
    } catch (const FileError& e) {
        return e.what();
    }
    return std::nullopt;
}

void RuleSet::saveKnownList() const {
    m_known.SaveToFile(knownPath());
}

} // namespace mv
