// Message objects: the computed content type, header processing, Clear, Assign and Validate.
#include "mail/MailMessage.h"
#include "mail/MailErrors.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mv {
namespace {

TAttachmentItem named(const std::string& name, const std::string& type = "application/pdf") {
    TAttachmentItem item;
    item.FileName = name;
    item.ContentType = type;
    return item;
}

struct TypeCase {
    std::vector<std::string> body;
    std::vector<std::string> attachments;
    std::string stored;
    std::string expected;
};

TEST(MailMessage, ComputesTheContentType) {
    const TypeCase cases[] = {
        {{"text"}, {}, "", "text/plain"},
        {{"text"}, {}, "text/enriched", "text/enriched"},
        {{"text"}, {"a.pdf"}, "", "multipart/mixed"},
        {{}, {"dir/_HTMBODY.HTM"}, "", "text/html"},
        {{}, {"_rtfbody.rtf"}, "", "text/rtf"},
        {{}, {"_alt.0", "_alt.1"}, "", "multipart/alternative"},
        {{"text"}, {"_alt.0", "_alt.1"}, "", "multipart/alternative"},
        {{"text"}, {"_alt.0", "a.pdf"}, "", "multipart/mixed"},
        {{}, {"a.pdf"}, "", "application/pdf"},
        {{}, {"a.pdf", "b.pdf"}, "", "multipart/mixed"},
        {{}, {}, "", "text/plain"},
    };
    for (const TypeCase& c : cases) {
        TMailMessage message;
        message.SetContentType(c.stored);
        message.Body = c.body;
        for (const std::string& name : c.attachments)
            message.Attachments.push_back(named(name));
        EXPECT_EQ(message.ContentType(), c.expected) << c.expected;
    }
}

TEST(MailMessage, UuencodedMessageHasNoContentType) {
    TMailMessage message;
    message.Encoding = TMsgEncoding::meUU;
    EXPECT_EQ(message.ContentType(), "");
}

TEST(MailMessage, StoredContentTypeIsLowerCased) {
    TMailMessage message;
    message.Body = {"x"};
    message.SetContentType("Text/HTML");
    EXPECT_EQ(message.ContentType(), "text/html");
    message.SetAttachments({});
    EXPECT_EQ(message.ContentType(), "text/plain");
}

TEST(MailMessage, PriorityFromXPriority) {
    const std::pair<const char*, TPriority> cases[] = {
        {"1", TPriority::ptHigh},
        {"5", TPriority::ptLow},
        {"3", TPriority::ptNormal},
        {"1 (Highest)", TPriority::ptNormal},
    };
    for (const auto& [value, priority] : cases) {
        TMailMessage message;
        message.ProcessHeaders(TMailHeaders({std::string("X-Priority: ") + value}));
        EXPECT_EQ(message.Priority, priority) << value;
    }
}

TEST(MailMessage, ProcessHeadersFillsTheFields) {
    TMailMessage message;
    message.Subject = "kept";
    message.ProcessHeaders(TMailHeaders(
        {"From: \"Ann\" <ann@example.com>", "To: a@example.com, \"B, b\" <b@example.com>",
         "CC: c@example.com", "BCC: d@example.com", "Return-Receipt-To: ann@example.com"}));
    EXPECT_EQ(message.Sender, (TEmailAddress{"Ann", "ann@example.com"}));
    ASSERT_EQ(message.Recipients.size(), 2u);
    EXPECT_EQ(message.Recipients[1], (TEmailAddress{"B, b", "b@example.com"}));
    EXPECT_EQ(message.CC.size(), 1u);
    EXPECT_EQ(message.BCC.size(), 1u);
    EXPECT_EQ(message.Subject, "kept");
    EXPECT_TRUE(message.ReturnReceipt);
    EXPECT_EQ(message.Headers.count(), 5u);
}

TEST(MailMessage, ClearKeepsPriorityAndReceipt) {
    TMailMessage message;
    message.Body = {"x"};
    message.Recipients.push_back({"", "a@example.com"});
    message.Priority = TPriority::ptHigh;
    message.ReturnReceipt = true;
    message.CharSet = TCharSet::csISO8859;
    message.Clear();
    EXPECT_TRUE(message.Body.empty());
    EXPECT_TRUE(message.Recipients.empty());
    EXPECT_EQ(message.CharSet, TCharSet::csUSASCII);
    EXPECT_EQ(message.Priority, TPriority::ptHigh);
    EXPECT_TRUE(message.ReturnReceipt);
    EXPECT_EQ(message.ContentType(), "text/plain");
}

TEST(MailMessage, AssignCopiesEverything) {
    TMailMessage source;
    source.Sender = {"Ann", "ann@example.com"};
    source.Subject = "s";
    source.Body = {"b"};
    source.Attachments.push_back(named("a.pdf"));
    source.Attachments[0].Data = "bytes";
    source.CC.push_back({"", "c@example.com"});
    source.Priority = TPriority::ptLow;
    TMailMessage copy;
    copy.Assign(source);
    EXPECT_EQ(copy.Sender, source.Sender);
    EXPECT_EQ(copy.Body, source.Body);
    EXPECT_EQ(copy.Attachments.at(0).Data, "bytes");
    EXPECT_EQ(copy.CC, source.CC);
    EXPECT_EQ(copy.Priority, TPriority::ptLow);
    EXPECT_EQ(copy.ContentType(), "multipart/mixed");

    TNewsArticle article;
    article.NewsGroups = "comp.test";
    TNewsArticle articleCopy;
    articleCopy.Assign(article);
    EXPECT_EQ(articleCopy.NewsGroups, "comp.test");
}

std::string validationError(const TCustomMailMessage& message) {
    try {
        message.Validate();
    } catch (const EMessageError& e) {
        return e.what();
    }
    return {};
}

TEST(MailMessage, ValidateNamesTheMissingField) {
    TMailMessage mail;
    EXPECT_EQ(validationError(mail), "The address of sender is required");
    mail.Sender.Address = "ann@example.com";
    mail.Recipients.push_back({"Name only", ""});
    EXPECT_EQ(validationError(mail), "At least one Recipient, CC or BCC must be entered");
    mail.BCC.push_back({"", "b@example.com"});
    EXPECT_EQ(validationError(mail), "");

    TNewsArticle article;
    article.Sender.Address = "ann@example.com";
    EXPECT_EQ(validationError(article), "Newsgroup header is required");
    article.NewsGroups = "comp.test";
    EXPECT_EQ(validationError(article), "Subject header is required");
    article.Subject = "s";
    EXPECT_EQ(validationError(article), "");
}

} // namespace
} // namespace mv
