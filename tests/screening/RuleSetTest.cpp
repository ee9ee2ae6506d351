#include "screening/RuleSet.h"

#include "TempDir.h"
#include "base/Files.h"
#include "base/IniFile.h"
#include "screening/RuleRows.h"

#include <gtest/gtest.h>

#include <functional>

namespace mv {
namespace {

class RuleSetTest : public ::testing::Test {
protected:
    test::TempDir home;
    RuleSet rules{home.path()};
};

TEST_F(RuleSetTest, MissingFilesGiveHeadedTablesWithOneEmptyRuleAndDefaults) {
    EXPECT_TRUE(rules.readSettings().empty());
    for (TableId id : kAllTables) {
        EXPECT_EQ(rules.table(id).rowCount(), 2);
        EXPECT_TRUE(rules.table(id).isRowEmpty(1));
    }
    EXPECT_EQ(rules.subject().cell(col::kWhat, 0), "What");
    EXPECT_EQ(rules.sender().cell(col::kSenderCondition, 0), "Condition");
    EXPECT_EQ(rules.exceptions().colCount(), kExceptColumns);
    EXPECT_TRUE(rules.exceptions().isHidden(col::kExceptPictureIndex));
    EXPECT_EQ(rules.options(), SpamOptions{});
    EXPECT_TRUE(rules.known().empty());
}

TEST_F(RuleSetTest, SavedSettingsLoadBackUnchanged) {
    rules.readSettings();
    rules.subject().setCell(col::kWhat, 1, "Contains");
    rules.subject().setCell(col::kMatches, 1, "free");
    rules.subject().setCell(col::kDelete, 1, "Yes");
    rules.exceptions().setCell(col::kExceptWhat, 1, "Domain name");
    rules.exceptions().setCell(col::kExceptMatches, 1, "friend.org");
    rules.exceptions().setCell(col::kExceptPictureIndex, 1, "7");
    rules.options().largerOn = true;
    rules.options().largerLimit = 5000;
    rules.options().unknownDomainCount = "12";
    ASSERT_TRUE(rules.Savesettings().empty());

    RuleSet again(home.path());
    EXPECT_TRUE(again.readSettings().empty());
    for (TableId id : kAllTables)
        EXPECT_EQ(again.table(id).toText(), rules.table(id).toText());
    EXPECT_EQ(again.subject().picture(col::kPicture, 1), kPictureDelete);
    EXPECT_EQ(again.exceptions().picture(col::kExceptPicture, 1), 7);
    EXPECT_EQ(again.options(), rules.options());
    EXPECT_EQ(home.read("except.lst").substr(0, 5), "7,2\r\n");
}

TEST_F(RuleSetTest, PicturesFollowTheDeleteCell) {
    home.write("from.lst", "6,4\r\n1,1,Domain name\r\n4,1,Yes\r\n1,2,E-mail address\r\n4,2,No\r\n"
                           "1,3,Domain name\r\n4,3,yes\r\n");
    rules.readSettings();
    EXPECT_EQ(rules.sender().picture(col::kPicture, 1), kPictureDelete);
    EXPECT_EQ(rules.sender().picture(col::kPicture, 2), kPictureQuestion);
    EXPECT_EQ(rules.sender().picture(col::kPicture, 3), kPictureQuestion); // only "Yes" is yes
    RuleSet::CheckGridAdv(rules.sender(), 2, true);
    EXPECT_EQ(rules.sender().picture(col::kPicture, 2), kPictureDelete);
    RuleSet::CheckGridAdv(rules.sender(), 0, true);
    RuleSet::CheckGridAdv(rules.sender(), 4, true);
    EXPECT_EQ(rules.sender().picture(col::kPicture, 0), RuleTable::kNoPicture);
}

TEST_F(RuleSetTest, EightColumnRuleFileLoadsAsSix) {
    home.write("header.lst", "8,2\r\n1,1,Contains\r\n2,1,X-1\r\n7,1,extra\r\n6,0,old\r\n");
    rules.readSettings();
    EXPECT_EQ(rules.header().colCount(), kRuleColumns);
    EXPECT_EQ(rules.header().cell(col::kMatches, 1), "X-1");
    EXPECT_EQ(rules.header().toText().find("extra"), std::string::npos);
}

TEST_F(RuleSetTest, FiveColumnExceptionFileGainsPictureColumns) {
    home.write("except.lst", "5,3\r\ncw 4,50\r\n0,1,Domain name\r\n1,1,Equals\r\n2,1,friend.org\r\n"
                             "3,1,No\r\n4,1,2\r\n0,2,Subject\r\n4,2,x\r\n");
    rules.readSettings();
    const RuleTable& t = rules.exceptions();
    EXPECT_EQ(t.colCount(), kExceptColumns);
    EXPECT_EQ(t.columnWidth(4), 50);
    EXPECT_EQ(t.cell(col::kExceptMatches, 1), "friend.org");
    EXPECT_EQ(t.cell(col::kExceptHits, 1), "2");
    EXPECT_EQ(t.cell(col::kExceptPictureIndex, 1), "");
    for (int row : {1, 2})
        EXPECT_EQ(t.picture(col::kExceptPicture, row), 3);
    EXPECT_TRUE(t.isHidden(col::kExceptPictureIndex));
}

TEST_F(RuleSetTest, ExceptionPictureCell) {
    struct Case {
        const char* cell;
        std::optional<int> picture;
    };
    const Case cases[] = {{"", 3},
                          {"3", 3},
                          {"14", 14},
                          {"9", 9},
                          {"2", std::nullopt},
                          {"0", std::nullopt},
                          {"15", std::nullopt},
                          {"abc", std::nullopt}};
    for (const Case& c : cases) {
        rules.exceptions().setCell(col::kExceptPictureIndex, 1, c.cell);
        EXPECT_EQ(RuleSet::exceptionPicture(rules.exceptions(), 1), c.picture) << c.cell;
    }
}

TEST_F(RuleSetTest, HeadingsAreRewrittenWhateverTheFileHeld) {
    home.write("subj.lst", "6,2\r\n1,0,Wot\r\n5,0,Hitz\r\n");
    rules.readSettings();
    EXPECT_EQ(rules.subject().cell(col::kWhat, 0), "Wot");
    rules.SetGridHeadings();
    EXPECT_EQ(rules.subject().cell(col::kWhat, 0), "What");
    EXPECT_EQ(rules.subject().cell(col::kHits, 0), "Hits");
    EXPECT_EQ(rules.exceptions().cell(col::kExceptCase, 0), "Case?");
}

TEST_F(RuleSetTest, FailedTableDoesNotStopTheOthersAndIsNeverSavedOver) {
    home.write("subj.lst", "garbage\r\n1,1,Contains\r\n");
    home.write("from.lst", "6,2\r\n1,1,Domain name\r\n");
    std::vector<std::string> problems = rules.readSettings();
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], "File contains no data or corrupt file " + (home / "subj.lst").string());
    EXPECT_FALSE(rules.isLoaded(TableId::Subject));
    EXPECT_EQ(rules.sender().cell(col::kWhat, 1), "Domain name");
    EXPECT_TRUE(rules.Savesettings().empty());
    EXPECT_EQ(home.read("subj.lst"), "garbage\r\n1,1,Contains\r\n");
    EXPECT_TRUE(std::filesystem::exists(home / "header.lst"));

    home.write("subj.lst", "6,2\r\n1,1,Equals\r\n2,1,x\r\n");
    EXPECT_TRUE(rules.readSettings().empty());
    EXPECT_TRUE(rules.isLoaded(TableId::Subject));
    EXPECT_EQ(rules.subject().cell(col::kWhat, 1), "Equals");
}

TEST_F(RuleSetTest, RowsThatCanNeverMatchAreReportedOnLoad) {
    home.write("subj.lst", "6,3\r\n1,1,Contains\r\n2,1,free\r\n1,2,Equals\r\n4,2,Yes\r\n");
    home.write("except.lst", "7,2\r\n0,1,E-mail address\r\n1,1,Equals\r\n");
    EXPECT_EQ(rules.readSettings(),
              (std::vector<std::string>{"Exception rule 1: nothing to match; the rule is ignored",
                                        "Subject rule 2: nothing to match; the rule is ignored"}));
}

TEST_F(RuleSetTest, RuleSetNeverLoadedSavesNothing) {
    home.write("subj.lst", "6,2\r\n1,1,Contains\r\n2,1,x\r\n");
    EXPECT_TRUE(rules.Savesettings().empty());
    EXPECT_EQ(home.read("subj.lst"), "6,2\r\n1,1,Contains\r\n2,1,x\r\n");
    EXPECT_FALSE(std::filesystem::exists(home / "mailvane.ini"));
}

TEST_F(RuleSetTest, UnreadableIniIsNeverSavedOver) {
    std::filesystem::create_directory(home / "mailvane.ini"); // exists, cannot be read as a file
    EXPECT_EQ(rules.readSettings().size(), 1u);
    EXPECT_FALSE(rules.optionsLoaded());
    EXPECT_EQ(rules.options(), SpamOptions{});
    EXPECT_TRUE(rules.Savesettings().empty());
    EXPECT_TRUE(std::filesystem::is_directory(home / "mailvane.ini"));
}

// Every file the screening needs and could not read is named until it reads again, whether it
// failed at the start or when another program's change was taken in; a damaged options file
// counts as one, and is kept beside where the new one will go.
TEST_F(RuleSetTest, FilesThatCouldNotBeReadAreNamedUntilTheyReadAgain) {
    home.write("mailvane.ini", std::string("[Known]\r\nValid=0\0\0", 18));
    home.write("except.lst", "");
    std::filesystem::create_symlink(home / "unmounted/from.lst", home / "from.lst");
    ASSERT_TRUE(rules.LoadUpKnownList() == std::nullopt);
    rules.readSettings();
    std::vector<std::string> unread = rules.unreadFiles();
    ASSERT_EQ(unread.size(), 3u);
    EXPECT_EQ(unread[0], "File contains no data or corrupt file " + (home / "except.lst").string());
    EXPECT_EQ(unread[1], "File " + (home / "from.lst").string() + " not found");
    EXPECT_TRUE(unread[2].starts_with("The file " + rules.iniPath().string() +
                                      " could not be read: it holds NUL bytes"))
        << unread[2];
    std::filesystem::remove(home / "from.lst");
    EXPECT_FALSE(std::filesystem::exists(rules.iniPath()));

    home.write("except.lst", "7,2\r\n0,1,Domain name\r\n");
    std::filesystem::create_directory(home / "known.lst"); // another program's change, gone bad
    rules.takeInDiskChanges();
    unread = rules.unreadFiles();
    // The table reads again; the options only with readSettings, as what they held is gone.
    ASSERT_EQ(unread.size(), 2u);
    EXPECT_EQ(unread[0],
              "Unable to read " + rules.knownPath().string() + ": it is a folder, not a file");
    EXPECT_TRUE(unread[1].starts_with("The file " + rules.iniPath().string())) << unread[1];
    rules.readSettings();
    std::filesystem::remove(home / "known.lst");
    rules.takeInDiskChanges();
    EXPECT_TRUE(rules.unreadFiles().empty());
}

TEST_F(RuleSetTest, UnwritableFilesAreReported) {
    rules.readSettings();
    std::filesystem::remove_all(home.path());
    std::vector<std::string> problems = rules.Savesettings();
    ASSERT_EQ(problems.size(), 5u);
    EXPECT_EQ(problems[4], "Unable to write to " + rules.iniPath().string());
}

TEST_F(RuleSetTest, OptionsReadWithDefaultsAndTheHexRule) {
    home.write("mailvane.ini", "[Known]\r\nQMonitor=0\r\nValid=7\r\nQuestion=1\r\nNum=abc\r\n"
                               "[Smaller]\r\nQSmaller=yes\r\nNum=0x40\r\n"
                               "[Larger]\r\nNum=lots\r\nCheck=0\r\n");
    rules.readSettings();
    const SpamOptions& o = rules.options();
    EXPECT_FALSE(o.compareWithKnownList);
    EXPECT_TRUE(o.checkDomains);
    EXPECT_TRUE(o.unknownDomainDeletes);
    EXPECT_EQ(o.unknownDomainCount, "abc");
    EXPECT_FALSE(o.smallerOn); // not a number: the default
    EXPECT_EQ(o.smallerLimit, 64);
    EXPECT_TRUE(o.smallerDeletes);
    EXPECT_EQ(o.largerLimit, 20000);
    EXPECT_FALSE(o.largerDeletes);
    rules.options().bumpUnknown();
    EXPECT_EQ(o.unknownDomainCount, "1");
    rules.options().bumpUnknown();
    EXPECT_EQ(o.unknownDomainCount, "2");
}

TEST_F(RuleSetTest, OptionsSaveKeepsOtherSections) {
    home.write("mailvane.ini", "[Other]\r\nKeep=me\r\n");
    rules.readSettings();
    home.write("mailvane.ini", "[Other]\r\nKeep=me too\r\n"); // written meanwhile by another owner
    rules.options().smallerOn = true;
    ASSERT_TRUE(rules.Savesettings().empty());
    IniFile ini(rules.iniPath());
    ini.load();
    EXPECT_EQ(ini.readString("Other", "Keep"), "me too");
    EXPECT_EQ(ini.readString("Smaller", "QSmaller"), "1");
    EXPECT_EQ(ini.readString("Larger", "Num"), "20000");
    EXPECT_EQ(ini.readString("Known", "Num"), "0");
}

TEST(KnownListTest, SortedIgnoringCaseWithDuplicatesAndNoBlanks) {
    KnownList list;
    list.loadFromText("b.com\r\nA.com\r\n\r\n   \r\na.com\r\nC@x.org\r\nb.com\r\n");
    EXPECT_EQ(list.entries(),
              (std::vector<std::string>{"A.com", "a.com", "b.com", "b.com", "C@x.org"}));
    list.add("a.COM");
    list.add("");
    list.add("Zz");
    EXPECT_EQ(list.entries()[2], "a.COM");
    EXPECT_EQ(list.size(), 7u);
    EXPECT_EQ(list.toText(), "A.com\r\na.com\r\na.COM\r\nb.com\r\nb.com\r\nC@x.org\r\nZz\r\n");
}

TEST(KnownListTest, LookUpIgnoresCaseAndLooksAtEightyCharacters) {
    KnownList list;
    std::string longEntry = std::string(80, 'q') + "-tail";
    list.loadFromText("spam.com\r\nx@Junk.net\r\n" + longEntry + "\r\n");
    EXPECT_TRUE(list.contains("SPAM.com"));
    EXPECT_TRUE(list.contains("X@junk.NET"));
    EXPECT_FALSE(list.contains("spam.co"));
    EXPECT_FALSE(list.contains("spam.comx"));
    EXPECT_FALSE(list.contains(""));
    EXPECT_TRUE(list.contains(std::string(80, 'Q') + "-other"));
    EXPECT_FALSE(list.contains(std::string(79, 'q')));
}

TEST_F(RuleSetTest, KnownListFile) {
    EXPECT_FALSE(rules.LoadUpKnownList());
    EXPECT_TRUE(rules.known().empty());
    home.write("known.lst", "z.com\r\n\r\ny.com\r\n");
    EXPECT_FALSE(rules.LoadUpKnownList());
    rules.known().add("x.com");
    rules.saveKnownList();
    EXPECT_EQ(home.read("known.lst"), "x.com\r\ny.com\r\nz.com\r\n");
}

// Two programs on one home: `other` saves while `rules` still holds the tables it loaded.
TEST_F(RuleSetTest, TablesSavedByAnotherProgramAreTakenInWithTheHitsCountedHere) {
    writeFileAtomically(home / "subj.lst", "6,4\r\n1,1,Contains\r\n2,1,free\r\n5,1,4\r\n"
                                           "1,2,Contains\r\n2,2,cheap\r\n5,2,1\r\n"
                                           "1,3,Contains\r\n2,3,gone\r\n5,3,0\r\n");
    rules.readSettings();
    RuleSet other(home.path());
    other.readSettings();
    other.subject().setCell(col::kHits, 1, "6"); // free: two hits there
    other.subject().removeRow(3);                // gone
    other.subject().insertRow(3);
    other.subject().setCell(col::kWhat, 3, "Contains");
    other.subject().setCell(col::kMatches, 3, "new");
    ASSERT_TRUE(other.Savesettings().empty());

    rules.subject().setCell(col::kHits, 1, "5"); // free: one hit here
    rules.subject().setCell(col::kHits, 2, "4"); // cheap: three
    rules.subject().setCell(col::kHits, 3, "9"); // gone: nine, on a rule that is no more
    ASSERT_TRUE(rules.Savesettings().empty());

    RuleSet disk(home.path());
    disk.readSettings();
    std::vector<std::string> rows;
    for (int row = 1; row < disk.subject().rowCount(); ++row)
        rows.push_back(disk.subject().cell(col::kMatches, row) + "=" +
                       disk.subject().cell(col::kHits, row));
    EXPECT_EQ(rows, (std::vector<std::string>{"free=7", "cheap=4", "new="}));
    EXPECT_EQ(rules.subject().toText(), disk.subject().toText()); // and this program uses it

    // Nothing counted since: the next save leaves the files alone.
    FileStamp before = fileStamp(home / "subj.lst");
    ASSERT_TRUE(rules.Savesettings().empty());
    EXPECT_EQ(fileStamp(home / "subj.lst"), before);
}

// The rows of a rule table as "matches=hits", with " del" on the rows that show the delete mark.
std::vector<std::string> ruleRows(const RuleTable& t) {
    std::vector<std::string> rows;
    for (int row = 1; row < t.rowCount(); ++row)
        rows.push_back(t.cell(col::kMatches, row) + "=" + t.cell(col::kHits, row) +
                       (t.picture(col::kPicture, row) == kPictureDelete ? " del" : ""));
    return rows;
}

void addRule(RuleTable& t, int row, const std::string& matches, const std::string& hits,
             const std::string& deleteCell = "") {
    t.insertRow(row);
    putRuleRow(t, TableId::Subject, row,
               makeRuleRow({"", "Contains", matches, "", deleteCell, hits}));
}

// Both programs change the table they loaded, the other one saving first: the user's edits here
// stand, and what the other program added, removed or counted meanwhile is not lost.
TEST_F(RuleSetTest, TableEditedHereTakesInTheRulesChangedThere) {
    struct Case {
        const char* name;
        std::function<void(RuleTable&)> there, here;
        std::vector<std::string> saved;
    };
    auto editMatches = [](int row, const char* text) {
        return [=](RuleTable& t) { t.setCell(col::kMatches, row, text); };
    };
    const Case cases[] = {
        {"added there goes to the end, as saved there",
         [](RuleTable& t) { addRule(t, 1, "new", "2", "Yes"); },
         editMatches(1, "freebie"),
         {"freebie=4", "cheap=1", "new=2 del"}},
        {"a repeat of a rule added there is added too",
         [](RuleTable& t) { addRule(t, 3, "cheap", ""); },
         editMatches(1, "freebie"),
         {"freebie=4", "cheap=1", "cheap="}},
        {"added on both sides is kept once",
         [](RuleTable& t) { addRule(t, 3, "new", "2"); },
         [](RuleTable& t) { addRule(t, 1, "new", ""); },
         {"new=", "free=4", "cheap=1"}},
        {"removed there",
         [](RuleTable& t) { t.removeRow(1); },
         editMatches(2, "cheaper"),
         {"cheaper=1"}},
        {"removed there but edited here",
         [](RuleTable& t) { t.removeRow(1); },
         editMatches(1, "freebie"),
         {"freebie=4", "cheap=1"}},
        {"counted on both sides",
         [](RuleTable& t) { t.setCell(col::kHits, 1, "6"); },
         [](RuleTable& t) {
             t.setCell(col::kHits, 1, "5");
             t.setCell(col::kMatches, 2, "cheaper");
         },
         {"free=7", "cheaper=1"}},
        {"hits reset there never go below none",
         [](RuleTable& t) { t.setCell(col::kHits, 1, "0"); },
         [](RuleTable& t) {
             t.setCell(col::kHits, 1, "1");
             t.setCell(col::kMatches, 2, "cheaper");
         },
         {"free=0", "cheaper=1"}},
        {"deleted here, counted there",
         [](RuleTable& t) { t.setCell(col::kHits, 1, "6"); },
         [](RuleTable& t) { deleteRuleRow(t, 1); },
         {"cheap=1"}},
        {"emptied here, added there",
         [](RuleTable& t) { addRule(t, 3, "new", "2"); },
         [](RuleTable& t) {
             deleteRuleRow(t, 2);
             deleteRuleRow(t, 1);
         },
         {"new=2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFileAtomically(home / "subj.lst", "6,3\r\n1,1,Contains\r\n2,1,free\r\n5,1,4\r\n"
                                               "1,2,Contains\r\n2,2,cheap\r\n5,2,1\r\n");
        RuleSet here(home.path()), there(home.path());
        here.readSettings();
        there.readSettings();
        c.there(there.subject());
        ASSERT_TRUE(there.Savesettings().empty());
        c.here(here.subject());
        ASSERT_TRUE(here.Savesettings().empty());

        RuleSet disk(home.path());
        disk.readSettings();
        EXPECT_EQ(ruleRows(disk.subject()), c.saved);
        EXPECT_EQ(ruleRows(here.subject()), c.saved); // and this program goes on with it
        EXPECT_EQ(here.subject().toText(), disk.subject().toText());
    }
}

TEST_F(RuleSetTest, ListAndOptionChangesOfBothProgramsAreKept) {
    writeFileAtomically(home / "known.lst", "a.example\r\nb.example\r\n");
    rules.readSettings();
    rules.LoadUpKnownList();
    RuleSet other(home.path());
    other.readSettings();
    other.LoadUpKnownList();

    other.known().loadFromText("a.example\r\nc.example\r\n"); // b removed, c added
    other.saveKnownList();
    other.options().largerOn = true;
    other.options().bumpUnknown();
    ASSERT_TRUE(other.Savesettings().empty());

    rules.known().add("d.example");
    rules.saveKnownList();
    rules.options().bumpUnknown();
    rules.options().bumpUnknown();
    ASSERT_TRUE(rules.Savesettings().empty());

    EXPECT_EQ(home.read("known.lst"), "a.example\r\nc.example\r\nd.example\r\n");
    RuleSet disk(home.path());
    disk.readSettings();
    EXPECT_TRUE(disk.options().largerOn);
    EXPECT_EQ(disk.options().unknownDomainCount, "3");
    EXPECT_EQ(rules.options(), disk.options());
}

} // namespace
} // namespace mv
