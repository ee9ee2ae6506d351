#include "screening/RuleRows.h"

#include "TempDir.h"
#include "screening/ExceptionEditor.h"
#include "screening/SubjectEditor.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

using Rows = std::vector<RuleRow>;

// Freshly loaded tables (heading row and one empty rule row), as the settings dialog has them.
class RuleRowsTest : public ::testing::Test {
protected:
    void SetUp() override { rules.readSettings(); }

    // Replaces the rule rows of a table, keeping its heading row and its pictures in step.
    void setRules(TableId id, const Rows& rows) {
        RuleTable& t = rules.table(id);
        t.setRowCount(static_cast<int>(rows.size()) + 1);
        for (std::size_t r = 0; r < rows.size(); ++r)
            putRuleRow(t, id, static_cast<int>(r) + 1, rows[r]);
    }
    Rows rulesOf(TableId id) const {
        Rows rows;
        const RuleTable& t = rules.table(id);
        for (int r = 1; r < t.rowCount(); ++r)
            rows.push_back(rowCells(t, r));
        return rows;
    }
    // The "Matches" texts of the subject table, top to bottom.
    std::vector<std::string> subjectTexts() const {
        std::vector<std::string> texts;
        for (const RuleRow& row : rulesOf(TableId::Subject))
            texts.push_back(row[col::kMatches]);
        return texts;
    }

    static RuleRow subjectRule(const std::string& text, const std::string& hits = "0",
                               const std::string& del = "Yes") {
        return {"", "Contains", text, "No", del, hits};
    }

    test::TempDir home;
    RuleSet rules{home.path()};
};

TEST_F(RuleRowsTest, InsertIntoEmptyTableFillsItsEmptyRow) {
    SubjectEditor editor;
    editor.text = "free";
    ASSERT_EQ(editor.confirm(), std::nullopt);
    EXPECT_EQ(insertRule(rules.subject(), 1, editor), 1);
    EXPECT_EQ(rulesOf(TableId::Subject), (Rows{subjectRule("free")}));
    EXPECT_EQ(rules.subject().picture(col::kPicture, 1), kPictureDelete);
    EXPECT_EQ(countText(rules.subject()), "1");
}

TEST_F(RuleRowsTest, InsertLandsAboveTheSelectedRule) {
    setRules(TableId::Subject, {subjectRule("a"), subjectRule("b"), subjectRule("c")});
    SubjectEditor editor;
    editor.text = "new";
    editor.deleteMark = false;
    ASSERT_EQ(editor.confirm(), std::nullopt);
    EXPECT_EQ(insertRule(rules.subject(), 3, editor), 3);
    EXPECT_EQ(subjectTexts(), (std::vector<std::string>{"a", "b", "new", "c"}));
    EXPECT_EQ(rules.subject().picture(col::kPicture, 3), kPictureQuestion);
    EXPECT_EQ(rules.subject().picture(col::kPicture, 4), kPictureDelete);
    EXPECT_EQ(countText(rules.subject()), "4");
}

TEST_F(RuleRowsTest, EditFillsFromRowAndWritesBackInPlace) {
    setRules(TableId::Subject, {subjectRule("a", "7"), subjectRule("b")});
    SubjectEditor editor;
    ASSERT_TRUE(fillEditor(rules.subject(), 1, editor));
    EXPECT_EQ(editor.text, "a");
    editor.deleteMark = false;
    ASSERT_EQ(editor.confirm(), std::nullopt);
    writeEditor(rules.subject(), 1, editor);
    EXPECT_EQ(rulesOf(TableId::Subject), (Rows{subjectRule("a", "7", "No"), subjectRule("b")}));
    EXPECT_EQ(rules.subject().picture(col::kPicture, 1), kPictureQuestion);
}

TEST_F(RuleRowsTest, EditOfEmptyOrMissingRowIsRefused) {
    SubjectEditor editor;
    EXPECT_FALSE(fillEditor(rules.subject(), 1, editor)); // the empty rule row
    EXPECT_FALSE(fillEditor(rules.subject(), 0, editor)); // the heading
    EXPECT_FALSE(fillEditor(rules.subject(), 9, editor));
    EXPECT_EQ(kNothingToEdit, "Error: nothing selected to edit");
}

TEST_F(RuleRowsTest, DeleteEmptiesTheOnlyRuleAndRemovesOthers) {
    setRules(TableId::Subject, {subjectRule("a"), subjectRule("b")});
    deleteRuleRow(rules.subject(), 1);
    EXPECT_EQ(subjectTexts(), (std::vector<std::string>{"b"}));
    deleteRuleRow(rules.subject(), 1);
    EXPECT_EQ(rules.subject().rowCount(), 2);
    EXPECT_TRUE(rules.subject().isRowEmpty(1));
    EXPECT_EQ(rules.subject().picture(col::kPicture, 1), RuleTable::kNoPicture);
    EXPECT_EQ(countText(rules.subject()), "1");
    deleteRuleRow(rules.subject(), 0); // the heading is never deleted
    EXPECT_EQ(rules.subject().cell(col::kWhat, 0), "What");
}

TEST_F(RuleRowsTest, MoveStaysWithinTheRules) {
    setRules(TableId::Subject, {subjectRule("a"), subjectRule("b"), subjectRule("c")});
    EXPECT_EQ(moveRuleRowUp(rules.subject(), 1), 1);
    EXPECT_EQ(moveRuleRowDown(rules.subject(), 3), 3);
    EXPECT_EQ(subjectTexts(), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(moveRuleRowUp(rules.subject(), 3), 2);
    EXPECT_EQ(subjectTexts(), (std::vector<std::string>{"a", "c", "b"}));
    EXPECT_EQ(moveRuleRowDown(rules.subject(), 1), 2);
    EXPECT_EQ(subjectTexts(), (std::vector<std::string>{"c", "a", "b"}));
}

TEST_F(RuleRowsTest, SortsMatchesAsTextAndHitsAsNumbers) {
    setRules(TableId::Subject, {subjectRule("beta", "10"), subjectRule("Alpha", "9"),
                                subjectRule("alpha", "x"), subjectRule("Gamma", "0")});
    sortRuleRows(rules.subject(), TableId::Subject, col::kMatches);
    EXPECT_EQ(subjectTexts(), (std::vector<std::string>{"Alpha", "alpha", "beta", "Gamma"}));
    sortRuleRows(rules.subject(), TableId::Subject, col::kHits);
    EXPECT_EQ(subjectTexts(), (std::vector<std::string>{"alpha", "Gamma", "Alpha", "beta"}));
    EXPECT_EQ(rules.subject().picture(col::kPicture, 1), kPictureDelete); // pictures move along
}

TEST_F(RuleRowsTest, SortKeepsEmptyRuleRowsLast) {
    setRules(TableId::Subject, {subjectRule("b"), RuleRow(6), subjectRule("a")});
    sortRuleRows(rules.subject(), TableId::Subject, col::kMatches);
    EXPECT_EQ(subjectTexts(), (std::vector<std::string>{"a", "b", ""}));
}

struct SortableCase {
    TableId id;
    int col;
    bool sortable;
};

class SortableColumn : public ::testing::TestWithParam<SortableCase> {};

TEST_P(SortableColumn, OnlyTheListedHeadingsSort) {
    EXPECT_EQ(isSortableColumn(GetParam().id, GetParam().col), GetParam().sortable);
}

INSTANTIATE_TEST_SUITE_P(
    Columns, SortableColumn,
    ::testing::Values(SortableCase{TableId::Subject, col::kMatches, true},
                      SortableCase{TableId::Subject, col::kHits, true},
                      SortableCase{TableId::Subject, col::kWhat, false},
                      SortableCase{TableId::Header, col::kMatches, true},
                      SortableCase{TableId::Header, col::kDelete, false},
                      SortableCase{TableId::Sender, col::kSenderMatches, true},
                      SortableCase{TableId::Sender, col::kSenderCondition, false},
                      SortableCase{TableId::Sender, col::kHits, true},
                      SortableCase{TableId::Exceptions, col::kExceptWhat, true},
                      SortableCase{TableId::Exceptions, col::kExceptMatches, true},
                      SortableCase{TableId::Exceptions, col::kExceptHits, true},
                      SortableCase{TableId::Exceptions, col::kExceptCase, false}));

TEST_F(RuleRowsTest, DuplicatesGoOnlyWhenNeighbours) {
    setRules(TableId::Subject, {subjectRule("a"), subjectRule("b"), subjectRule("b"),
                                subjectRule("c"), subjectRule("b")});
    DeleteDupsFromGrid(rules.subject());
    EXPECT_EQ(subjectTexts(), (std::vector<std::string>{"a", "b", "c", "b"}));
}

TEST_F(RuleRowsTest, DuplicateExceptionsIgnoreTheHiddenPicture) {
    setRules(TableId::Exceptions, {{"E-mail address", "Equals", "a@x", "No", "0", "", "3"},
                                   {"E-mail address", "Equals", "a@x", "No", "0", "", "9"},
                                   {"E-mail address", "Equals", "a@x", "No", "1", "", "9"}});
    EXPECT_EQ(rules.exceptions().picture(col::kExceptPicture, 2), 9);
    DeleteDupsFromGrid(rules.exceptions());
    EXPECT_EQ(rulesOf(TableId::Exceptions),
              (Rows{{"E-mail address", "Equals", "a@x", "No", "0", "", "3"},
                    {"E-mail address", "Equals", "a@x", "No", "1", "", "9"}}));
}

TEST_F(RuleRowsTest, ExceptionEditorSetsShownPicture) {
    ExceptionEditor editor;
    editor.kind = ExceptionEditor::Kind::Domain;
    editor.domain = "friends.example";
    editor.selectPictureCell(4);
    ASSERT_EQ(editor.confirm(), std::nullopt);
    const int row = insertRule(rules.exceptions(), 1, editor);
    EXPECT_EQ(rules.exceptions().cell(col::kExceptPictureIndex, row), "7");
    EXPECT_EQ(rules.exceptions().picture(col::kExceptPicture, row), 7);
}

TEST(HitsText, DigitsAloneAndNotTooLarge) {
    for (const char* good : {"0", "7", "007", "123456"})
        EXPECT_TRUE(acceptsHitsText(good)) << good;
    for (const char* bad : {"", "12a", "-3", "+3", " 7", "0x10", "99999999999999999999999"})
        EXPECT_FALSE(acceptsHitsText(bad)) << bad;
}

struct InlineCase {
    const char* name;
    TableId id;
    RuleRow row;
    int col;
    const char* text;
    bool accepted;
};

class InlineEdit : public RuleRowsTest, public ::testing::WithParamInterface<InlineCase> {};

TEST_P(InlineEdit, AcceptsOnlyEditableCellsWithSoundValues) {
    const InlineCase& c = GetParam();
    setRules(c.id, {c.row});
    const std::string before = rules.table(c.id).cell(c.col, 1);
    EXPECT_EQ(applyInlineEdit(rules.table(c.id), c.id, c.col, 1, c.text), c.accepted);
    EXPECT_EQ(rules.table(c.id).cell(c.col, 1), c.accepted ? c.text : before);
}

const RuleRow kSubject{"", "Starts with", "win", "No", "Yes", "3"};
const RuleRow kSubjectBlank{"", "Is blank", "", "", "Yes", "3"};
const RuleRow kSender{"", "Domain name", "Ends with", ".zr", "Yes", "3"};
const RuleRow kSenderNumeric{"", "E-mail address", "All numeric", "", "Yes", "3"};
const RuleRow kHeader{"", "Contains", "X-1", "No", "Yes", "3"};
const RuleRow kExcept{"E-mail address", "Equals", "a@x", "No", "3", "", "3"};

INSTANTIATE_TEST_SUITE_P(
    Cases, InlineEdit,
    ::testing::Values(
        InlineCase{"SubjectHits", TableId::Subject, kSubject, col::kHits, "7", true},
        InlineCase{"SubjectHitsLetters", TableId::Subject, kSubject, col::kHits, "12a", false},
        InlineCase{"SubjectHitsNegative", TableId::Subject, kSubject, col::kHits, "-3", false},
        InlineCase{"SubjectHitsEmpty", TableId::Subject, kSubject, col::kHits, "", false},
        InlineCase{"SubjectMatches", TableId::Subject, kSubject, col::kMatches, "lottery", true},
        InlineCase{"SubjectMatchesEmpty", TableId::Subject, kSubject, col::kMatches, "", false},
        InlineCase{"SubjectMatchesBlank", TableId::Subject, kSubject, col::kMatches, "  ", false},
        InlineCase{"SubjectBlankRuleNeedsNoText", TableId::Subject, kSubjectBlank, col::kMatches,
                   "", true},
        InlineCase{"SubjectCaseNotTyped", TableId::Subject, kSubject, col::kCase, "Yes", false},
        InlineCase{"SenderMatches", TableId::Sender, kSender, col::kSenderMatches, ".ru", true},
        InlineCase{"SenderMatchesEmpty", TableId::Sender, kSender, col::kSenderMatches, "", false},
        InlineCase{"SenderNumericNeedsNoText", TableId::Sender, kSenderNumeric, col::kSenderMatches,
                   "", true},
        InlineCase{"SenderConditionNotTyped", TableId::Sender, kSender, col::kSenderCondition,
                   "Equals", false},
        InlineCase{"HeaderHits", TableId::Header, kHeader, col::kHits, "0", true},
        InlineCase{"HeaderMatchesNotTyped", TableId::Header, kHeader, col::kMatches, "X-2", false},
        InlineCase{"ExceptionMatches", TableId::Exceptions, kExcept, col::kExceptMatches, "b@y",
                   true},
        InlineCase{"ExceptionMatchesEmpty", TableId::Exceptions, kExcept, col::kExceptMatches, "",
                   false},
        InlineCase{"ExceptionHits", TableId::Exceptions, kExcept, col::kExceptHits, "12", true},
        InlineCase{"ExceptionPictureNotTyped", TableId::Exceptions, kExcept,
                   col::kExceptPictureIndex, "5", false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace mv
