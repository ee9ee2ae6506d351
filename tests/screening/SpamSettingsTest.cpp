#include "screening/SpamSettings.h"

#include "TempDir.h"
#include "screening/RuleRows.h"
#include "screening/SubjectEditor.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

class SpamSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        home.write("known.lst", "x.example\r\n");
        rules.readSettings();
        settings.show();
    }
    void addSubjectRule(int selectedRow, const std::string& text) {
        SubjectEditor editor;
        editor.text = text;
        ASSERT_EQ(editor.confirm(), std::nullopt);
        insertRule(rules.subject(), selectedRow, editor);
    }

    test::TempDir home;
    RuleSet rules{home.path()};
    SpamSettings settings{rules};
};

TEST_F(SpamSettingsTest, OkRemovesNeighbouringDuplicatesAndSaves) {
    for (const char* text : {"e", "b", "d", "b", "b", "a"})
        addSubjectRule(1, text);
    // rows now a, b, b, d, b, e: row 3 repeats row 2, row 5 only equals it from afar
    EXPECT_EQ(settings.countText(TableId::Subject), "6");
    EXPECT_TRUE(settings.ok().empty());
    EXPECT_EQ(settings.countText(TableId::Subject), "5");
    RuleSet saved(home.path());
    saved.readSettings();
    std::vector<std::string> texts;
    for (int r = 1; r < saved.subject().rowCount(); ++r)
        texts.push_back(saved.subject().cell(col::kMatches, r));
    EXPECT_EQ(texts, (std::vector<std::string>{"a", "b", "d", "b", "e"}));
}

TEST_F(SpamSettingsTest, OkSavesAPendingKnownListEdit) {
    settings.knownPage().beginEdit();
    settings.knownPage().setLines({"z.example", "y.example"});
    settings.ok();
    EXPECT_FALSE(settings.knownPage().editing());
    EXPECT_EQ(home.read("known.lst"), "y.example\r\nz.example\r\n");
    EXPECT_EQ(settings.knownCountText(), "2");
}

TEST_F(SpamSettingsTest, CancelDropsNewRulesAndKnownEdit) {
    addSubjectRule(1, "free");
    settings.knownPage().beginEdit();
    settings.knownPage().setLines({"y.example"});
    EXPECT_TRUE(settings.cancel().empty());
    EXPECT_EQ(rules.subject().rowCount(), 2);
    EXPECT_TRUE(rules.subject().isRowEmpty(1));
    EXPECT_EQ(settings.knownPage().lines(), (std::vector<std::string>{"x.example"}));
    EXPECT_EQ(home.read("known.lst"), "x.example\r\n");
}

TEST_F(SpamSettingsTest, ShowRestoresHeadings) {
    rules.subject().setCell(col::kMatches, 0, "from an old file");
    settings.show();
    EXPECT_EQ(rules.subject().cell(col::kMatches, 0), "Matches");
}

TEST_F(SpamSettingsTest, ResetCounterSetsZero) {
    rules.options().unknownDomainCount = "41";
    settings.resetUnknownCounter();
    EXPECT_EQ(rules.options().unknownDomainCount, "0");
}

TEST(SpamSettingsTexts, PrintTitlesAndWidthSections) {
    EXPECT_EQ(printTitle(TableId::Subject), "Mailvane - Subject Line Settings");
    EXPECT_EQ(printTitle(TableId::Header), "Mailvane - Email Header Settings");
    EXPECT_EQ(printTitle(TableId::Sender), "Mailvane - Sender Settings");
    EXPECT_EQ(printTitle(TableId::Exceptions), "Mailvane - List of Exceptions ");
    EXPECT_EQ(columnWidthSection(TableId::Header), "Headers");
    EXPECT_EQ(columnWidthSection(TableId::Exceptions), "Exceptions");
}

} // namespace
} // namespace mv
