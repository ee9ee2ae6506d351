#include "screening/ExceptionEditor.h"
#include "screening/HeaderEditor.h"
#include "screening/SenderEditor.h"
#include "screening/SubjectEditor.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

using Row = RuleRow;

// ---- choices ----

TEST(EditorChoices, LabelsMapToStoredWords) {
    EXPECT_EQ(choiceLabel(2), "Equals (exact match)");
    EXPECT_EQ(choiceWord(2), "Equals");
    EXPECT_EQ(choiceWord(5), "Is blank");
    EXPECT_EQ(choiceWord(9), "First char numeric");
    EXPECT_EQ(conditionChoiceOf("All numeric", kSenderConditionChoices), 7);
    EXPECT_EQ(conditionChoiceOf("All numeric", kSubjectConditionChoices), std::nullopt);
    EXPECT_EQ(conditionChoiceOf("Equals (exact match)", kSenderConditionChoices), std::nullopt);
    EXPECT_TRUE(conditionTakesPattern("Ends with"));
    EXPECT_FALSE(conditionTakesPattern("Is blank"));
    EXPECT_EQ(subjectSuggestions().size(), 44u);
    EXPECT_EQ(senderSuggestions().size(), 54u);
    EXPECT_EQ(headerSuggestions().size(), 15u);
}

// ---- subject editor ----

TEST(SubjectEditor, NewRuleWritesContainsDeleteWithNoHits) {
    SubjectEditor e;
    e.text = "  free\t";
    ASSERT_EQ(e.confirm(), std::nullopt);
    Row row(6);
    e.writeBack(row);
    EXPECT_EQ(row, (Row{"", "Contains", "free", "No", "Yes", "0"}));
}

TEST(SubjectEditor, EditKeepsHitsAndFillsEveryField) {
    SubjectEditor e;
    e.fillFromRow({"", "Starts with", "Win", "Yes", "No", "12"});
    EXPECT_EQ(e.condition, 3);
    EXPECT_EQ(e.text, "Win");
    EXPECT_TRUE(e.caseMatters);
    EXPECT_FALSE(e.deleteMark);
    Row row{"", "Starts with", "Win", "Yes", "No", "12"};
    e.deleteMark = true;
    ASSERT_EQ(e.confirm(), std::nullopt);
    e.writeBack(row);
    EXPECT_EQ(row, (Row{"", "Starts with", "Win", "Yes", "Yes", "12"}));
}

TEST(SubjectEditor, ChangingToBlankEmptiesMatchesAndCase) {
    Row row{"", "Contains", "free", "Yes", "Yes", "4"};
    SubjectEditor e;
    e.fillFromRow(row);
    e.condition = 5;
    ASSERT_EQ(e.confirm(), std::nullopt);
    e.writeBack(row);
    EXPECT_EQ(row, (Row{"", "Is blank", "", "", "Yes", "4"}));
}

struct RefusalCase {
    int condition;
    const char* text;
    bool refused;
};

class SubjectEditorRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(SubjectEditorRefusal, BlankTextOnlyForTextConditions) {
    SubjectEditor e;
    e.condition = GetParam().condition;
    e.text = GetParam().text;
    const auto refusal = e.confirm();
    EXPECT_EQ(refusal.has_value(), GetParam().refused);
    if (refusal) {
        EXPECT_EQ(refusal->field, EditorField::Text);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SubjectEditorRefusal,
                         ::testing::Values(RefusalCase{0, "", true}, RefusalCase{3, "   ", true},
                                           RefusalCase{4, "\t", true}, // TAB alone trims to nothing
                                           RefusalCase{2, " x ", false}, RefusalCase{5, "", false},
                                           RefusalCase{6, "", false}));

TEST(SubjectEditor, UnknownConditionSelectsNoneAndIsRefused) {
    SubjectEditor e;
    e.fillFromRow({"", "All numeric", "1", "No", "Yes", "0"});
    EXPECT_EQ(e.condition, std::nullopt);
    EXPECT_FALSE(e.textShown());
    ASSERT_TRUE(e.confirm());
    EXPECT_EQ(e.confirm()->field, EditorField::Condition);
}

// ---- sender editor ----

TEST(SenderEditor, NewRuleDefaultsToDomainEquals) {
    SenderEditor e;
    EXPECT_EQ(e.part, SenderEditor::Part::DomainName);
    EXPECT_EQ(e.condition, 2);
    EXPECT_TRUE(e.countryButtonShown);
    e.text = " spam.example ";
    ASSERT_EQ(e.confirm(), std::nullopt);
    Row row(6);
    e.writeBack(row);
    EXPECT_EQ(row, (Row{"", "Domain name", "Equals", "spam.example", "Yes", "0"}));
}

TEST(SenderEditor, EditOfNumericRuleHidesAndEmptiesText) {
    Row row{"", "E-mail address", "All numeric", "stale", "No", "3"};
    SenderEditor e;
    e.fillFromRow(row);
    EXPECT_FALSE(e.countryButtonShown);
    EXPECT_EQ(e.part, SenderEditor::Part::EmailAddress);
    EXPECT_EQ(e.condition, 7);
    EXPECT_EQ(e.text, "");
    e.text = "typed while hidden";
    ASSERT_EQ(e.confirm(), std::nullopt);
    e.writeBack(row);
    EXPECT_EQ(row, (Row{"", "E-mail address", "All numeric", "", "No", "3"}));
}

TEST(SenderEditor, BlankTextIsRefused) {
    SenderEditor e;
    e.text = " \r\n";
    EXPECT_EQ(e.confirm(),
              (EditorRefusal{EditorField::Text, "The Sender field cannot be left blank."}));
}

TEST(ExceptionEditor, AddressAndDomainAreTrimmed) {
    ExceptionEditor e;
    e.address = "  friend@example.com \t";
    e.domain = " example.org ";
    ASSERT_EQ(e.confirm(), std::nullopt);
    EXPECT_EQ(e.address, "friend@example.com");
    EXPECT_EQ(e.domain, "example.org");
}

struct CountryCase {
    int index;
    const char* text;
};

class SenderEditorCountry : public ::testing::TestWithParam<CountryCase> {};

TEST_P(SenderEditorCountry, BlocksCountryBySuffix) {
    SenderEditor e;
    e.part = SenderEditor::Part::EmailAddress;
    e.condition = 0;
    e.applyCountry(*chooseCountry(GetParam().index));
    ASSERT_EQ(e.confirm(), std::nullopt);
    Row row(6);
    e.writeBack(row);
    EXPECT_EQ(row, (Row{"", "Domain name", "Ends with", GetParam().text, "Yes", "0"}));
}

INSTANTIATE_TEST_SUITE_P(Cases, SenderEditorCountry,
                         ::testing::Values(CountryCase{240, ".ZR"}, CountryCase{194, ".Sb"},
                                           CountryCase{0, ".AF"}));

// ---- header editor ----

std::vector<MailboxChoice> threeMailboxes() {
    return {{1, "ann", "pop.one.example"},
            {3, "bob", "pop.three.example"},
            {7, "cy", "pop.seven.example"}};
}

TEST(HeaderEditor, MailboxLinesAndFirstSelected) {
    HeaderEditor e(threeMailboxes());
    EXPECT_EQ(e.mailboxLines(), (std::vector<std::string>{"1) ann - server pop.one.example",
                                                          "3) bob - server pop.three.example",
                                                          "7) cy - server pop.seven.example"}));
    EXPECT_EQ(e.mailbox, 0u);
    EXPECT_EQ(e.kind, HeaderEditor::Kind::MessageHeader);
    EXPECT_EQ(e.headerText, "X-1");
}

TEST(HeaderEditor, EditOfToRowPreselectsItsMailbox) {
    HeaderEditor e(threeMailboxes());
    e.fillFromRow({"", "To does not contain", "me@home.example - MailBox #3", "No", "Yes", "2"});
    EXPECT_EQ(e.kind, HeaderEditor::Kind::ToDoesNotContain);
    EXPECT_EQ(e.toText, "me@home.example");
    ASSERT_EQ(e.mailbox, 1u);
    EXPECT_EQ(e.mailboxLines()[*e.mailbox].substr(0, 2), "3)");
    EXPECT_EQ(e.headerText, "");
}

TEST(HeaderEditor, ToRowForVanishedMailboxMustBeGivenOne) {
    HeaderEditor e(threeMailboxes());
    e.fillFromRow({"", "To does not contain", "me@home.example - MailBox #5", "No", "Yes", "0"});
    EXPECT_EQ(e.mailbox, std::nullopt);
    EXPECT_EQ(e.confirm()->field, EditorField::Mailbox);
    e.mailbox = 2;
    EXPECT_EQ(e.confirm(), std::nullopt);
}

TEST(HeaderEditor, ToRuleWithoutConfiguredMailboxIsRefused) {
    HeaderEditor e;
    e.kind = HeaderEditor::Kind::ToDoesNotContain;
    e.toText = "me@home.example";
    EXPECT_EQ(e.confirm()->field, EditorField::Mailbox);
}

struct HeaderWriteCase {
    HeaderEditor::Kind kind;
    const char* toText;
    Row expected;
};

class HeaderEditorWrite : public ::testing::TestWithParam<HeaderWriteCase> {};

TEST_P(HeaderEditorWrite, WritesEachKindInTableWords) {
    HeaderEditor e(threeMailboxes());
    e.kind = GetParam().kind;
    e.toText = GetParam().toText;
    e.mailbox = 1;
    e.headerText = "  X-Removal  ";
    e.caseMatters = true;
    ASSERT_EQ(e.confirm(), std::nullopt);
    Row row(6);
    e.writeBack(row);
    EXPECT_EQ(row, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, HeaderEditorWrite,
    ::testing::Values(HeaderWriteCase{HeaderEditor::Kind::MessageHeader,
                                      "",
                                      {"", "Contains", "X-Removal", "Yes", "Yes", "0"}},
                      HeaderWriteCase{HeaderEditor::Kind::SenderNotReplyTo,
                                      "",
                                      {"", "Sender", "does not match Reply-to", "No", "Yes", "0"}},
                      HeaderWriteCase{HeaderEditor::Kind::SenderEqualsTo,
                                      "",
                                      {"", "Sender", "equals To field", "No", "Yes", "0"}},
                      HeaderWriteCase{HeaderEditor::Kind::ToDoesNotContain,
                                      " me@home.example - MailBox #1 ",
                                      {"", "To does not contain", "me@home.example - MailBox #3",
                                       "No", "Yes", "0"}}));

TEST(HeaderEditor, EditSelectsSenderKindsByMatchesText) {
    HeaderEditor e;
    e.fillFromRow({"", "Sender", "equals To field", "No", "No", "1"});
    EXPECT_EQ(e.kind, HeaderEditor::Kind::SenderEqualsTo);
    EXPECT_FALSE(e.countryButtonShown);
    e.fillFromRow({"", "Sender", "does not match Reply-to", "No", "No", "1"});
    EXPECT_EQ(e.kind, HeaderEditor::Kind::SenderNotReplyTo);
    EXPECT_EQ(e.headerText, "");
    e.fillFromRow({"", "Ends with", "X-Mailer: Floodgate", "Yes", "No", "1"});
    EXPECT_EQ(e.kind, HeaderEditor::Kind::MessageHeader);
    EXPECT_EQ(e.condition, 4);
    EXPECT_EQ(e.headerText, "X-Mailer: Floodgate");
}

TEST(HeaderEditor, RefusesBlankTexts) {
    HeaderEditor e(threeMailboxes());
    e.headerText = "   ";
    EXPECT_EQ(e.confirm(),
              (EditorRefusal{EditorField::HeaderText, "The header text cannot be blank"}));
    e.kind = HeaderEditor::Kind::ToDoesNotContain;
    EXPECT_EQ(e.confirm(), (EditorRefusal{EditorField::ToText, "The TO field cannot be blank"}));
    e.kind = HeaderEditor::Kind::SenderEqualsTo;
    EXPECT_EQ(e.confirm(), std::nullopt);
}

TEST(HeaderEditor, CountryMakesEndsWithHeaderRule) {
    HeaderEditor e;
    e.kind = HeaderEditor::Kind::SenderEqualsTo;
    e.caseMatters = true;
    e.applyCountry(*chooseCountry(240));
    EXPECT_EQ(e.kind, HeaderEditor::Kind::MessageHeader);
    EXPECT_EQ(e.condition, kEndsWithChoice);
    EXPECT_EQ(e.headerText, ".ZR");
    EXPECT_FALSE(e.caseMatters);
    EXPECT_EQ(e.countryName, "Zaire");
}

// ---- exception editor ----

TEST(ExceptionEditor, NewExceptionIsAddressWithDefaultPicture) {
    ExceptionEditor e;
    e.address = "friend@example.org";
    ASSERT_EQ(e.confirm(), std::nullopt);
    Row row(7);
    e.writeBack(row);
    EXPECT_EQ(row, (Row{"E-mail address", "Equals", "friend@example.org", "No", "0", "", "3"}));
}

struct ExceptionFillCase {
    Row row;
    ExceptionEditor::Kind kind;
    const char* fieldName;
    int condition;
    int picture;
    Row written;
};

class ExceptionEditorRoundTrip : public ::testing::TestWithParam<ExceptionFillCase> {};

TEST_P(ExceptionEditorRoundTrip, FillsAndWritesBack) {
    const auto& c = GetParam();
    ExceptionEditor e;
    e.fillFromRow(c.row);
    EXPECT_EQ(e.kind, c.kind);
    EXPECT_EQ(e.fieldName, c.fieldName);
    EXPECT_EQ(e.condition, c.condition);
    EXPECT_EQ(e.picture, c.picture);
    ASSERT_EQ(e.confirm(), std::nullopt);
    Row row = c.row;
    e.writeBack(row);
    EXPECT_EQ(row, c.written);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ExceptionEditorRoundTrip,
    ::testing::Values(
        ExceptionFillCase{{"Subject", "Contains", "[list]", "Yes", "5", "", "9"},
                          ExceptionEditor::Kind::Field,
                          "Subject:",
                          0,
                          9,
                          {"Subject:", "Contains", "[list]", "Yes", "5", "", "9"}},
        ExceptionFillCase{{"Domain name", "Equals", "work.example", "No", "", "", ""},
                          ExceptionEditor::Kind::Domain,
                          "Subject:",
                          2,
                          3,
                          {"Domain name", "Equals", "work.example", "No", "0", "", "3"}},
        ExceptionFillCase{{"X-List:", "Bogus", "news", "No", "1", "", "x"},
                          ExceptionEditor::Kind::Field,
                          "X-List:",
                          0,
                          3,
                          {"X-List:", "Contains", "news", "No", "1", "", "3"}},
        ExceptionFillCase{{"E-mail address", "Equals", "a@b.example", "No", "2", "", "99"},
                          ExceptionEditor::Kind::Address,
                          "Subject:",
                          2,
                          3,
                          {"E-mail address", "Equals", "a@b.example", "No", "2", "", "3"}}));

TEST(ExceptionEditor, RefusesBlankEntryOfChosenKind) {
    ExceptionEditor e;
    e.domain = "only the other kind is filled";
    EXPECT_EQ(e.confirm(), (EditorRefusal{EditorField::Address, "The email line cannot be blank"}));
    e.kind = ExceptionEditor::Kind::Domain;
    e.domain = "  ";
    EXPECT_EQ(e.confirm(), (EditorRefusal{EditorField::Domain, "The domain line cannot be blank"}));
    e.kind = ExceptionEditor::Kind::Field;
    EXPECT_EQ(e.confirm(), (EditorRefusal{EditorField::Text, "The subject line cannot be blank"}));
}

TEST(ExceptionEditor, PictureCellIsPictureLessThree) {
    ExceptionEditor e;
    e.selectPictureCell(11);
    EXPECT_EQ(e.picture, 14);
    EXPECT_EQ(e.pictureCell(), 11);
}

} // namespace
} // namespace mv
