// The encoder's output, and decode -> encode -> decode round trips that keep body and attachments.
#include "mail/MessageEncoder.h"
#include "base/Files.h"
#include "base/Text.h"
#include "mail/MailMessage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace mv {
namespace {

std::vector<std::string> encodedLines(TCustomMailMessage& message) {
    return splitLines(message.SaveToText());
}

bool hasLine(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TMailMessage simpleMessage() {
    TMailMessage message;
    message.Sender = {"Ann", "ann@example.com"};
    message.Recipients.push_back({"", "bob@example.org"});
    message.Subject = "Hello";
    return message;
}

TEST(MessageEncoder, DoublesALoneDotInTheBody) {
    TMailMessage message = simpleMessage();
    message.Body = {"text", "."};
    std::vector<std::string> lines = encodedLines(message);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "text");
    EXPECT_EQ(lines.back(), "..");
    EXPECT_EQ(message.Body[1], "..");
}

TEST(MessageEncoder, WritesTheHeaderBlock) {
    TMailMessage message = simpleMessage();
    message.Sender.Name = "Ann B. Example";
    message.Recipients = {{"", "a@example.com"}, {"Bee", "b@example.com"}, {"", "c@example.com"}};
    message.Priority = TPriority::ptHigh;
    message.ReturnReceipt = true;
    message.Headers = TMailHeaders({"Subject: old", "X-Custom: kept", "Content-Type: text/html"});
    message.Body = {"x"};
    std::vector<std::string> lines = encodedLines(message);
    const std::vector<std::string> expected = {
        "From:     \"Ann B. Example\" <ann@example.com>",
        "To:        <a@example.com>,",
        "          Bee <b@example.com>,",
        "           <c@example.com>",
        "Return-Receipt-To: <ann@example.com>",
        "X-Priority: 1",
        "X-Custom: kept",
        "Subject: Hello",
        "Mime-Version: 1.0",
        "Content-Type: text/plain; charset=\"us-ascii\"",
        "Content-Transfer-Encoding: 7bit",
        "",
        "x",
    };
    EXPECT_EQ(lines, expected);
}

TEST(MessageEncoder, NonAsciiHeaderTextBecomesEncodedWords) {
    EXPECT_EQ(EncodeHeaderText("plain"), "plain");
    EXPECT_EQ(EncodeHeaderText("\x1B$B"), "=?ISO-2022-JP?B?GyRC?=");
    EXPECT_EQ(EncodeHeaderText("Caf\xC3\xA9"), "=?UTF-8?B?Q2Fmw6k=?=");
    EXPECT_EQ(EncodeHeaderText("Caf\xE9"), "=?ISO-8859-1?B?Q2Fm6Q==?=");
}

TEST(MessageEncoder, Base64AttachmentOf57BytesIsOneFullLineAndAnEmptyOne) {
    TMailMessage message = simpleMessage();
    TAttachmentItem item;
    item.SetFileName("a.bin");
    item.ContentType = "application/octet-stream";
    item.Encoding = TransferEncoding::Base64;
    item.Data = std::string(57, 'z');
    message.Attachments.push_back(item);
    std::vector<std::string> lines = encodedLines(message);
    auto blank = std::find(lines.begin(), lines.end(), "");
    ASSERT_NE(blank, lines.end());
    ASSERT_EQ(lines.end() - blank, 3);
    EXPECT_EQ(blank[1].size(), 76u);
    EXPECT_EQ(blank[2], "");
    EXPECT_TRUE(hasLine(lines, "Content-Disposition: attachment; filename=\"a.bin\""));
}

TEST(MessageEncoder, LongLinesGoQuotedPrintable) {
    TMailMessage message = simpleMessage();
    message.Body = {std::string(300, 'y')};
    std::vector<std::string> lines = encodedLines(message);
    EXPECT_TRUE(hasLine(lines, "Content-Transfer-Encoding: quoted-printable"));
    auto body = std::find(lines.begin(), lines.end(), "");
    for (auto it = body + 1; it != lines.end(); ++it)
        EXPECT_LE(it->size(), 66u);
}

TEST(MessageEncoder, BoundariesAreLongAndDistinct) {
    std::set<std::string> seen;
    for (int i = 0; i < 1000; ++i) {
        std::string boundary = MakeBoundary();
        EXPECT_GE(boundary.size(), 30u);
        EXPECT_TRUE(boundary.starts_with("=_"));
        seen.insert(boundary);
    }
    EXPECT_EQ(seen.size(), 1000u);
}

TEST(ArticleEncoder, WritesNewsgroups) {
    TNewsArticle article;
    article.Sender = {"", "ann@example.com"};
    article.NewsGroups = "comp.test";
    article.Subject = "Hi";
    article.Body = {"text"};
    std::vector<std::string> lines = encodedLines(article);
    EXPECT_TRUE(hasLine(lines, "Newsgroups: comp.test"));
    EXPECT_TRUE(hasLine(lines, "Subject:  Hi"));
    TNewsArticle back;
    back.LoadFromText(article.SaveToText());
    EXPECT_EQ(back.NewsGroups, "comp.test");
    EXPECT_EQ(back.Body, article.Body);
}

// --- round trips -------------------------------------------------------------------------------

std::string binaryBytes(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>((i * 131 + 7) % 256);
    return s;
}

TAttachmentItem attachment(const std::string& name, std::string data) {
    TAttachmentItem item;
    item.SetFileName(name);
    item.Data = std::move(data);
    return item;
}

void expectSameContent(const TCustomMailMessage& a, const TCustomMailMessage& b) {
    EXPECT_EQ(a.Body, b.Body);
    ASSERT_EQ(a.Attachments.size(), b.Attachments.size());
    for (std::size_t i = 0; i < a.Attachments.size(); ++i) {
        EXPECT_EQ(a.Attachments[i].FileName, b.Attachments[i].FileName) << i;
        EXPECT_EQ(a.Attachments[i].ContentType, b.Attachments[i].ContentType) << i;
        EXPECT_EQ(a.Attachments[i].Data, b.Attachments[i].Data) << i;
    }
}

TEST(RoundTrip, BuiltMessageKeepsBodyAndAttachments) {
    TMailMessage original = simpleMessage();
    original.Subject = "Gr\xC3\xBC\xC3\x9F"
                       "e";
    original.Body = {"First line", "", "Caf\xE9 with a trailing blank ", std::string(280, 'w'),
                     "end"};
    original.CharSet = TCharSet::csISO8859;
    original.Attachments.push_back(attachment("photo.png", binaryBytes(100000)));
    original.Attachments.push_back(attachment("notes.txt", "line 1\r\n\r\nline = 3\r\n"));
    original.Attachments.push_back(attachment("empty.bin", ""));

    TMailMessage decoded;
    decoded.LoadFromText(original.SaveToText());
    expectSameContent(decoded, original);
    EXPECT_EQ(decoded.Subject, original.Subject);
    EXPECT_EQ(decoded.Recipients, original.Recipients);
    EXPECT_EQ(decoded.ContentType(), "multipart/mixed");
}

TEST(RoundTrip, AlternativesStayAlternatives) {
    TMailMessage original = simpleMessage();
    original.Body = {"plain"};
    original.Attachments.push_back(attachment("_alt.0", "<p>html</p>\r\n"));
    original.Attachments[0].ContentType = "text/html";
    original.Attachments[0].Encoding = TransferEncoding::QuotedPrintable;
    original.Attachments.push_back(attachment("report.pdf", binaryBytes(300)));

    TMailMessage decoded;
    decoded.LoadFromText(original.SaveToText());
    expectSameContent(decoded, original);
}

TEST(RoundTrip, UuencodedMessage) {
    TMailMessage original = simpleMessage();
    original.Encoding = TMsgEncoding::meUU;
    original.Body = {"See the file."};
    original.Attachments.push_back(attachment("my file.bin", binaryBytes(1000)));
    TMailMessage decoded;
    decoded.LoadFromText(original.SaveToText());
    EXPECT_EQ(decoded.Encoding, TMsgEncoding::meUU);
    ASSERT_EQ(decoded.Attachments.size(), 1u);
    EXPECT_EQ(decoded.Attachments[0].FileName, "my file.bin");
    EXPECT_EQ(decoded.Attachments[0].Data, original.Attachments[0].Data);
    EXPECT_EQ(decoded.Body.at(0), "See the file.");
}

class FixtureRoundTrip : public testing::TestWithParam<const char*> {};

TEST_P(FixtureRoundTrip, DecodeEncodeDecodeKeepsContent) {
    TMailMessage first;
    first.LoadFromFile(std::string(MV_TEST_DATA) + "/mail/" + GetParam());
    TMailMessage copy;
    copy.Assign(first);
    TMailMessage second;
    second.LoadFromText(copy.SaveToText());
    expectSameContent(second, first);
    EXPECT_EQ(second.Sender, first.Sender);
    EXPECT_EQ(second.Subject, first.Subject);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FixtureRoundTrip,
                         testing::Values("plain.eml", "qp_text.eml", "pdf_named.eml", "mixed.eml",
                                         "alternative.eml", "nested.eml", "base64_first.eml",
                                         "koi8.eml", "html_only.eml", "ccmail.eml",
                                         "iso2022_base64.eml"));

} // namespace
} // namespace mv
