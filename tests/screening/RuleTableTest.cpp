#include "screening/RuleTable.h"

#include "TempDir.h"
#include "base/Files.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

std::string fixture(const char* name) {
    return *readFile(std::filesystem::path(MV_TEST_DATA) / "screening" / name);
}

RuleTable exampleSubjectTable() {
    RuleTable t(6, 2);
    const int widths[] = {20, 112, 231, 29, 39, 38};
    const char* headings[] = {"", "What", "Matches", "Case", "Del?", "Hits"};
    const char* rule[] = {"", "Contains", "free", "No", "Yes", "4"};
    for (int c = 0; c < 6; ++c) {
        t.setColumnWidth(c, widths[c]);
        t.setCell(c, 0, headings[c]);
        t.setCell(c, 1, rule[c]);
    }
    return t;
}

TEST(RuleTableFile, ExampleTableIsWrittenByteForByte) {
    EXPECT_EQ(exampleSubjectTable().toText(), fixture("subj.lst"));
}

TEST(RuleTableFile, ExampleFileLoadsAndSavesUnchanged) {
    test::TempDir dir;
    dir.write("subj.lst", fixture("subj.lst"));
    RuleTable t;
    t.LoadFromFile(dir / "subj.lst");
    EXPECT_EQ(t, exampleSubjectTable());
    t.SaveToFile(dir / "copy.lst");
    EXPECT_EQ(dir.read("copy.lst"), fixture("subj.lst"));
}

TEST(RuleTableFile, CellTextsRoundTrip) {
    struct Case {
        const char* name;
        std::string stored, readBack;
    };
    const Case cases[] = {
        {"commas stay whole", "a,b,,c,", "a,b,,c,"},
        {"CR and LF survive", "one\r\ntwo\rthree\n", "one\r\ntwo\rthree\n"},
        {"TAB comes back as CR", "a\tb", "a\rb"},
        {"backspace comes back as LF", "a\bb", "a\nb"},
        {"leading blanks kept", "  x ", "  x "},
        {"8-bit bytes kept", "\xC9t\xE9", "\xC9t\xE9"},
    };
    for (const Case& c : cases) {
        RuleTable t(3, 2);
        t.setCell(2, 1, c.stored);
        RuleTable back;
        back.loadFromText(t.toText(), "x.lst");
        EXPECT_EQ(back.cell(2, 1), c.readBack) << c.name;
    }
}

TEST(RuleTableFile, EscapedCellIsOneLine) {
    RuleTable t(1, 1);
    t.setCell(0, 0, "a\r\nb");
    EXPECT_EQ(t.toText(), "1,1\r\ncw 0,64\r\n0,0,a\t\bb\r\n");
}

TEST(RuleTableFile, CellsOutsideTheCountsAreDropped) {
    RuleTable t;
    t.loadFromText("2,2\r\n0,0,in\r\n1,1,corner\r\n2,0,right\r\n0,2,below\r\n9,9,far\r\n", "x.lst");
    EXPECT_EQ(t.colCount(), 2);
    EXPECT_EQ(t.rowCount(), 2);
    EXPECT_EQ(t.cell(0, 0), "in");
    EXPECT_EQ(t.cell(1, 1), "corner");
    EXPECT_EQ(t.toText(), "2,2\r\ncw 0,64\r\ncw 1,64\r\n0,0,in\r\n1,1,corner\r\n");
}

TEST(RuleTableFile, BrokenCellAndWidthLinesAreIgnored) {
    RuleTable t;
    t.loadFromText("2,2\n"
                   "cw 1,80\ncw -1,5\ncw x,5\ncw 0,-3\ncw 7,9\ncw,4\n"
                   "-1,0,neg\n0,-1,neg\nx,0,nan\n0,y,nan\n1 0 nocomma\n1,\n"
                   "1,1,ok\n",
                   "x.lst");
    EXPECT_EQ(t.columnWidth(0), RuleTable::kDefaultWidth);
    EXPECT_EQ(t.columnWidth(1), 80);
    EXPECT_EQ(t.cell(0, 0), "");
    EXPECT_EQ(t.cell(1, 1), "ok");
}

TEST(RuleTableFile, CellLinesInAnyOrderAndLaterLinesWin) {
    RuleTable t;
    t.loadFromText("2,2\r\n1,1,b\r\n0,0,a\r\n1,1,c\r\n", "x.lst");
    EXPECT_EQ(t.cell(0, 0), "a");
    EXPECT_EQ(t.cell(1, 1), "c");
}

TEST(RuleTableFile, CorruptFirstLineIsRefusedAndTableKept) {
    const char* firstLines[] = {
        "",
        "\r\n",
        "0,5",
        "6,0",
        "6",
        "x,2",
        "6,y",
        "-6,2",
        "6,-2",
        "65,2",
        "6,100001",
        "64,20000",
        "99999999999999999999,2",
    };
    for (const char* first : firstLines) {
        RuleTable t = exampleSubjectTable();
        try {
            t.loadFromText(std::string(first) + "\r\n1,1,x\r\n", "/home/u/subj.lst");
            ADD_FAILURE() << "accepted: " << first;
        } catch (const TableFileError& e) {
            EXPECT_STREQ(e.what(), "File contains no data or corrupt file /home/u/subj.lst");
        }
        EXPECT_EQ(t, exampleSubjectTable()) << first;
    }
}

// Only a missing file is "not found"; one that is there but cannot be read says why.
TEST(RuleTableFile, MissingFileIsNotFoundAndAFolderIsNoFile) {
    test::TempDir dir;
    std::filesystem::create_directory(dir / "folder.lst");
    RuleTable t;
    const std::pair<const char*, std::string> cases[] = {
        {"none.lst", "File " + (dir / "none.lst").string() + " not found"},
        {"folder.lst", "Unable to read " + (dir / "folder.lst").string() + ": "},
    };
    for (const auto& [file, message] : cases) {
        try {
            t.LoadFromFile(dir / file);
            ADD_FAILURE() << file;
        } catch (const TableFileError& e) {
            EXPECT_TRUE(std::string(e.what()).starts_with(message)) << e.what();
        }
    }
}

TEST(RuleTableFile, LoadReplacesEveryOldCell) {
    RuleTable t(3, 3);
    t.setCell(2, 2, "stale");
    t.loadFromText("3,3\r\n0,0,new\r\n", "x.lst");
    EXPECT_EQ(t.cell(2, 2), "");
    EXPECT_EQ(t.cell(0, 0), "new");
}

TEST(RuleTableFile, SaveReplacesTheFileWithoutLeftovers) {
    test::TempDir dir;
    dir.write("t.lst", std::string(5000, 'x'));
    exampleSubjectTable().SaveToFile(dir / "t.lst");
    EXPECT_EQ(dir.read("t.lst"), fixture("subj.lst"));
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST(RuleTableEdit, RowsAndColumns) {
    RuleTable t(2, 1);
    t.setCell(0, 0, "h");
    t.setRowCount(4);
    for (int r = 1; r < 4; ++r)
        t.setCell(0, r, std::to_string(r));
    t.insertRow(1);
    EXPECT_EQ(t.cell(0, 1), "");
    EXPECT_EQ(t.cell(0, 2), "1");
    t.removeRow(1);
    t.moveRow(3, 1);
    EXPECT_EQ(t.cell(0, 1), "3");
    EXPECT_EQ(t.cell(0, 2), "1");
    t.sortRows(1, [&](int a, int b) { return t.cell(0, a) < t.cell(0, b); });
    EXPECT_EQ(t.cell(0, 1), "1");
    EXPECT_EQ(t.cell(0, 3), "3");
    t.insertColumns(1, 2);
    EXPECT_EQ(t.colCount(), 4);
    EXPECT_EQ(t.cell(0, 2), "2");
    t.removeColumn(0);
    EXPECT_EQ(t.cell(0, 2), "");
    EXPECT_EQ(t.cell(9, 9), "");
    EXPECT_EQ(t.picture(9, 9), RuleTable::kNoPicture);
    EXPECT_THROW(t.setCell(9, 0, "x"), std::out_of_range);
    EXPECT_THROW(t.insertRow(9), std::out_of_range);
}

TEST(RuleTableEdit, HiddenColumnIsSavedAndKeepsItsFlagOnLoad) {
    RuleTable t(2, 2);
    t.setCell(1, 1, "7");
    t.hideColumn(1);
    std::string text = t.toText();
    EXPECT_NE(text.find("1,1,7"), std::string::npos);
    t.loadFromText(text, "x.lst");
    EXPECT_TRUE(t.isHidden(1));
    t.showColumn(1);
    EXPECT_FALSE(t.isHidden(1));
}

} // namespace
} // namespace mv
