#pragma once
// The user's screening rules as one object: the subject, header, sender and exception tables, the
// spam options and the known-spammer list, loaded from and saved to a home folder that the caller
// names. Lives as long as the program; the screening pass reads it and raises its hit counters.
#include "screening/KnownList.h"
#include "screening/RuleTable.h"
#include "screening/SpamOptions.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

enum class TableId { Subject, Header, Sender, Exceptions };
inline constexpr std::array<TableId, 4> kAllTables = {TableId::Subject, TableId::Header,
                                                      TableId::Sender, TableId::Exceptions};

// Column layout. Subject and header tables share theirs; the sender table swaps the condition in
// before the pattern; the exception table has no column-0 picture and keeps its picture at the end.
namespace col {
inline constexpr int kPicture = 0, kWhat = 1, kMatches = 2, kCase = 3, kDelete = 4, kHits = 5;
inline constexpr int kSenderCondition = 2, kSenderMatches = 3;
inline constexpr int kExceptWhat = 0, kExceptCondition = 1, kExceptMatches = 2, kExceptCase = 3,
                     kExceptHits = 4, kExceptPicture = 5, kExceptPictureIndex = 6;
} // namespace col

inline constexpr int kRuleColumns = 6;   // subject, header and sender tables
inline constexpr int kExceptColumns = 7; // exception table, the last one hidden

inline constexpr std::string_view kYes = "Yes";
inline constexpr std::string_view kNo = "No";

// Mark pictures, shared by message rows and rule rows.
inline constexpr int kPictureDelete = 0;
inline constexpr int kPictureQuestion = 1;
inline constexpr int kPictureKnownSpammer = 2;
inline constexpr int kPictureFirstException = 3; // also the default exception picture
inline constexpr int kPictureLastException = 14;

class RuleSet {
public:
    explicit RuleSet(std::filesystem::path home);

    const std::filesystem::path& home() const { return m_home; }
    std::filesystem::path tablePath(TableId id) const;
    std::filesystem::path iniPath() const { return m_home / "mailvane.ini"; }
    std::filesystem::path knownPath() const { return m_home / "known.lst"; }

    RuleTable& table(TableId id) { return m_tables[index(id)]; }
    const RuleTable& table(TableId id) const { return m_tables[index(id)]; }
    RuleTable& subject() { return table(TableId::Subject); }
    RuleTable& header() { return table(TableId::Header); }
    RuleTable& sender() { return table(TableId::Sender); }
    RuleTable& exceptions() { return table(TableId::Exceptions); }
    const RuleTable& subject() const { return table(TableId::Subject); }
    const RuleTable& header() const { return table(TableId::Header); }
    const RuleTable& sender() const { return table(TableId::Sender); }
    const RuleTable& exceptions() const { return table(TableId::Exceptions); }
    SpamOptions& options() { return m_options; }
    const SpamOptions& options() const { return m_options; }
    KnownList& known() { return m_known; }
    const KnownList& known() const { return m_known; }

    // Loads the four tables and the options. Every file is tried even when an earlier one fails;
    // the returned messages (one per failure, then one per broken rule row, as the screening pass
    // reports them) are for the user. A table or an INI file that failed keeps its current content
    // and is not saved over.
    std::vector<std::string> readSettings();
    // Writes the four tables and the options, each atomically; skips what is not loaded. Returns
    // one message per file that could not be written.
    std::vector<std::string> Savesettings();
    // Writes the heading texts into row 0 of the four tables.
    void SetGridHeadings();
    // Column-0 picture of a rule row: check mark for a delete rule, question mark otherwise.
    static void CheckGridAdv(RuleTable& table, int row, bool deleteFlag);
    // The picture an exception row names in its hidden column: 3 when empty, nullopt when it is not
    // a number from 3 to 14.
    static std::optional<int> exceptionPicture(const RuleTable& exceptions, int row);

    // Empties the known-spammer list and fills it from "known.lst" when that exists. Returns a
    // message for the user when the file exists but cannot be read; the list is then unchanged.
    std::optional<std::string> LoadUpKnownList();
    // Writes the list to "known.lst" atomically; throws FileError.
    void saveKnownList() const;

    // True once the table holds its file's content, or a fresh table for a missing file; only
    // then may it be saved. A rule set that was never loaded saves nothing.
    bool isLoaded(TableId id) const { return m_tableLoaded[index(id)]; }
    bool optionsLoaded() const { return m_optionsLoaded; }

private:
    static std::size_t index(TableId id) { return static_cast<std::size_t>(id); }
    void resetTable(TableId id);
    std::optional<std::string> loadTable(TableId id);
    void prepareRuleTable(TableId id);
    void prepareExceptionTable();
    std::optional<std::string> loadOptions();

    std::filesystem::path m_home;
    std::array<RuleTable, 4> m_tables;
    std::array<bool, 4> m_tableLoaded{};
    bool m_optionsLoaded = false;
    SpamOptions m_options;
    KnownList m_known;
};

} // namespace mv
