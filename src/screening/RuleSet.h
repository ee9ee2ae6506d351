#pragma once
// The user's screening rules as one object: the subject, header, sender and exception tables, the
// spam options and the known-spammer list, loaded from and saved to a home folder that the caller
// names. Lives as long as the program; the screening pass reads it and raises its hit counters.
// Another program may save the same files meanwhile (the desktop program and the command line
// share a home): what it saved is taken in before anything is written over it. The caller holds
// the home lock around a save.
// Above it, the layout of the four tables and the fixed words their cells hold.
#include "base/Files.h"
#include "screening/KnownList.h"
#include "screening/Pictures.h"
#include "screening/RuleTable.h"
#include "screening/SpamOptions.h"

#include <array>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

class IniFile;

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

// The columns that every table has, wherever its layout puts them.
inline constexpr int whatColumn(TableId id) {
    return id == TableId::Exceptions ? col::kExceptWhat : col::kWhat;
}
inline constexpr int matchesColumn(TableId id) {
    switch (id) {
    case TableId::Sender:
        return col::kSenderMatches;
    case TableId::Exceptions:
        return col::kExceptMatches;
    default:
        return col::kMatches;
    }
}
inline constexpr int hitsColumn(TableId id) {
    return id == TableId::Exceptions ? col::kExceptHits : col::kHits;
}

inline constexpr int kRuleColumns = 6;   // subject, header and sender tables
inline constexpr int kExceptColumns = 7; // exception table, the last one hidden

inline constexpr std::string_view kYes = "Yes";
inline constexpr std::string_view kNo = "No";

// The "What" words of exception rows that test the subject or every header line; any other word
// but kEmailAddress and kDomainName names a header field.
inline constexpr std::string_view kSubjectException = "Subject";
inline constexpr std::string_view kAnyHeader = "Any Header";

// The header table's three rows that are not header-line tests. A "To does not contain" row holds
// "address - MailBox #n" in its "Matches" cell; a "Sender" row holds one of the two comparisons.
inline constexpr std::string_view kToDoesNotContain = "To does not contain";
inline constexpr std::string_view kMailboxSeparator = " - MailBox #";
inline constexpr std::string_view kSenderRow = "Sender";
inline constexpr std::string_view kNotReplyTo = "does not match Reply-to";
inline constexpr std::string_view kEqualsTo = "equals To field";

// The two parts of a "To does not contain" row's "Matches" cell, viewing the cell's text and valid
// while it is. Without the separator the whole text is the address and the number is empty.
struct MailboxCell {
    std::string_view address;
    std::string_view number;
};
MailboxCell splitMailboxCell(std::string_view matches);
// The cell for an address and a mailbox number; an address holding the separator is cut there,
// since it could not be told apart from the number when read back.
std::string mailboxCell(std::string_view address, int number);

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
    // Writes the four tables and the options, each atomically, after taking in what another
    // program saved (takeInDiskChanges); skips what is not loaded and what is unchanged. Returns
    // one message per file that could not be written.
    std::vector<std::string> Savesettings();
    // Takes in the files another program saved since they were loaded. A changed table: when only
    // hit counts changed here, the file's table is taken and the hits counted here since are added
    // to its rules that are still there (a rule removed there stays removed); a table edited here
    // keeps its order, edits and deletions, and gains the rules added there (at the end), loses
    // the rules removed there that are unchanged here, and adds the hits counted there. The
    // options and the known list: their changes here are made to the file's.
    // A table or the known list that could not be read before is read again; the options are
    // read again only by readSettings (a damaged options file was set aside, and the defaults in
    // its place are not what the user had). Returns one message per file that could not be read;
    // that one stays as it is here and is not saved over.
    std::vector<std::string> takeInDiskChanges();
    // Writes the heading texts into row 0 of the four tables.
    void SetGridHeadings();
    // Column-0 picture of a rule row: check mark for a delete rule, question mark otherwise.
    static void CheckGridAdv(RuleTable& table, int row, bool deleteFlag);
    // The picture an exception row names in its hidden column: 3 when empty, nullopt when it is not
    // a number from 3 to 14.
    static std::optional<int> exceptionPicture(const RuleTable& exceptions, int row);
    static std::optional<int> exceptionPicture(std::string_view pictureCell);
    // The picture a rule row shows, as its cells give it: column 0 from "Del?" in the rule tables,
    // the exception picture from its hidden column.
    static void showRowPicture(RuleTable& table, TableId id, int row);

    // Empties the known-spammer list and fills it from "known.lst" when that exists. Returns a
    // message for the user when the file exists but cannot be read; the list is then unchanged.
    std::optional<std::string> LoadUpKnownList();
    // Writes the list to "known.lst" atomically, with its changes made to the file's list when
    // another program saved that since it was loaded; throws FileError.
    void saveKnownList();

    // True once the table holds its file's content, or a fresh table for a missing file; only
    // then may it be saved. A rule set that was never loaded saves nothing.
    bool isLoaded(TableId id) const { return m_tableLoaded[index(id)]; }
    bool optionsLoaded() const { return m_optionsLoaded; }
    // One message per rule table, options file or known-spammer list whose last read failed,
    // naming the file and why. The screening then runs without what that file holds, which may
    // be the exception that spares a wanted message: nothing may be deleted while one is listed.
    std::vector<std::string> unreadFiles() const;

private:
    // Notes how the read of `file` went (a message: it failed) and returns `problem`.
    std::optional<std::string> noteRead(const std::filesystem::path& file,
                                        std::optional<std::string> problem);
    static std::size_t index(TableId id) { return static_cast<std::size_t>(id); }
    static RuleTable freshTable(TableId id);
    static void prepareTable(RuleTable& table, TableId id);
    // The table file's content laid out for use in `t`; a missing file gives a fresh table.
    // Throws TableFileError, leaving `t`'s cells as they were.
    void readTable(TableId id, RuleTable& t) const;
    std::optional<std::string> loadTable(TableId id);
    std::optional<std::string> takeInTable(TableId id);
    // The table to keep once another program saved `disk` over the file as last loaded.
    RuleTable rebasedTable(TableId id, const RuleTable& disk) const;
    // The table edited here, with the rules the other program added, removed and counted since.
    RuleTable mergedTable(TableId id, const RuleTable& disk) const;
    std::optional<std::string> takeInKnownList();
    std::optional<std::string> loadOptions();
    // The options file, and the options as it holds them. Throws FileError.
    SpamOptions readOptions(IniFile& ini) const;
    std::optional<std::string> saveOptions();

    std::filesystem::path m_home;
    std::array<RuleTable, 4> m_tables;
    std::array<bool, 4> m_tableLoaded{};
    // What the files held when last loaded or saved, and their stamps then.
    std::array<RuleTable, 4> m_tablesOnDisk;
    std::array<FileStamp, 4> m_tableStamps;
    bool m_optionsLoaded = false;
    SpamOptions m_options;
    SpamOptions m_optionsOnDisk;
    KnownList m_known;
    KnownList m_knownOnDisk;
    FileStamp m_knownStamp;
    std::map<std::filesystem::path, std::string> m_unread; // by file, as unreadFiles gives them
};

} // namespace mv
