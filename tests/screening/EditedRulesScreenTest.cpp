// Rules made the ways a user makes them (editors, imports, quick-add) screen messages as intended.
#include "LoadedRules.h"
#include "screening/HeaderEditor.h"
#include "screening/QuickAdd.h"
#include "screening/RuleImports.h"
#include "screening/RuleRows.h"
#include "screening/ScreeningPass.h"
#include "screening/SenderEditor.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

class EveryDomainExists : public DomainResolver {
public:
    DomainLookup resolve(const std::string&) override { return DomainAnswer::Exists; }
};

MessageEntry message(std::string subject, std::string sender, std::string to = "me@home.example") {
    MessageEntry m;
    m.subject = std::move(subject);
    m.sender = std::move(sender);
    m.size = "1000";
    m.headers = TMailHeaders({"From: " + m.sender, "To: " + to, "Subject: " + m.subject});
    m.selected = true;
    return m;
}

class EditedRulesScreenTest : public test::LoadedRulesTest {
protected:
    MarkState markOf(MessageEntry m) {
        std::vector<MessageEntry> list{std::move(m)};
        pass.autoMark(list);
        return list.front().mark;
    }

    EveryDomainExists resolver;
    UnknownDomainCheck domains{resolver, rules.options()};
    int mailbox = 1;
    ScreeningPass pass{rules, domains, [this] { return mailbox; }};
};

TEST_F(EditedRulesScreenTest, CountryRuleIgnoresCaseOfTheSuffix) {
    SenderEditor editor;
    editor.applyCountry(*chooseCountry(194)); // Solomon Islands, listed as "Sb"
    ASSERT_EQ(editor.confirm(), std::nullopt);
    insertRule(rules.sender(), 1, editor);
    EXPECT_EQ(markOf(message("hello", "someone@mail.sb")), kMarkDelete);
    EXPECT_EQ(markOf(message("hello", "someone@mail.sbx")), kMarkNone);
}

TEST_F(EditedRulesScreenTest, ImportedKeywordMatchesAsWholeWord) {
    importKeywords(rules.subject(), {"free"});
    EXPECT_EQ(markOf(message("Get it FREE!", "a@x.example")), kMarkDelete);
    EXPECT_EQ(markOf(message("freedom", "a@x.example")), kMarkNone);
}

TEST_F(EditedRulesScreenTest, QuickAddedSenderExceptionBeatsSpamRules) {
    const std::vector<MessageEntry> list = {message("win money", "friend@x.example")};
    addToSpamList(rules, spamListChoice(list));
    EXPECT_EQ(markOf(message("win money", "other@y.example")), kMarkDelete);
    addSendersToExceptions(rules, list);
    EXPECT_EQ(markOf(message("win money", "friend@x.example")), kPictureFirstException);
}

TEST_F(EditedRulesScreenTest, ToRuleActsOnlyInItsOwnMailbox) {
    HeaderEditor editor({{1, "ann", "pop.one.example"}, {2, "bob", "pop.two.example"}});
    editor.kind = HeaderEditor::Kind::ToDoesNotContain;
    editor.toText = "me@home.example";
    editor.mailbox = 1; // mailbox 2
    ASSERT_EQ(editor.confirm(), std::nullopt);
    insertRule(rules.header(), 1, editor);
    const MessageEntry stranger = message("hi", "a@x.example", "list@elsewhere.example");
    mailbox = 1;
    EXPECT_EQ(markOf(stranger), kMarkNone);
    mailbox = 2;
    EXPECT_EQ(markOf(stranger), kMarkDelete);
    EXPECT_EQ(markOf(message("hi", "a@x.example")), kMarkNone);
}

} // namespace
} // namespace mv
