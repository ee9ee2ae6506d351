// Decoding of the fixture messages under tests/data/mail: body, attachments and message fields.
#include "base/Files.h"
#include "mail/MailMessage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mv {
namespace {

std::string fixturePath(const std::string& name) {
    return std::string(MV_TEST_DATA) + "/mail/" + name;
}
std::string fixture(const std::string& name) {
    return readFile(fixturePath(name)).value();
}

// The bytes the uuencoded fixture carries: every byte value, twice.
std::string everyByteTwice() {
    std::string s;
    for (int round = 0; round < 2; ++round)
        for (int b = 0; b < 256; ++b)
            s += static_cast<char>(b);
    return s;
}

const std::string kPdf("%PDF-1.4 fake document\n\x00\x01\x02\xff", 27);
const char* const kForwarded = "From: Carl <carl@example.net>\r\n"
                               "Date: Sun, 11 Jan 1998 09:00:00 +0000\r\n"
                               "Subject: Original\r\n\r\n"
                               "Original text\r\n";
const char* const kRaw = "<raw>"; // the attachment holds the whole input
// The names rfc2231_long.eml splits into percent-encoded sections, in UTF-8 and ISO-8859-1, each
// running past byte 255 of its header value.
const char* const kLongPdfName =
    "\xC3\x9C" "bersicht \xC3\xBC" "ber Gr\xC3\xB6\xC3\x9F" "en, H\xC3\xB6hen und L\xC3\xA4ngen "
    "f\xC3\xBCr \xC3\x96" "fen, T\xC3\xBCren, Fu\xC3\x9F" "b\xC3\xB6" "den und Gew\xC3\xB6lbe "
    "\xE2\x80\x93 Stand M\xC3\xA4rz, gepr\xC3\xBC" "ft und erg\xC3\xA4nzt.pdf";
const char* const kLongTextName =
    "B\xC3\xBC" "cher\xC3\xBC" "bersicht f\xC3\xBCr \xC3\x84rzte, Sch\xC3\xBCler und "
    "Lehrkr\xC3\xA4" "fte in K\xC3\xB6ln, D\xC3\xBCsseldorf, M\xC3\xBCnster und L\xC3\xBC" "beck - "
    "Ausz\xC3\xBCge f\xC3\xBCr J\xC3\xA4ger und B\xC3\xBCrger (Teil 1).txt";

std::vector<std::string> failed(const std::string& error, std::vector<std::string> before = {}) {
    before.push_back("The following error has been occured while processing the message:");
    before.push_back(error);
    before.push_back("The original message will be stored as an attachment");
    return before;
}

struct ExpectedPart {
    std::string name;
    std::string type; // empty: not checked
    std::string data;
};

struct DecodeCase {
    const char* file;
    std::vector<std::string> body;
    std::vector<ExpectedPart> attachments;
    std::string contentType;
    TMsgEncoding encoding = TMsgEncoding::meMIME;
    TCharSet charset = TCharSet::csUSASCII;
    std::string sender = "ann@example.com";
    std::string subject = {}; // empty: not checked
};

const ExpectedPart kOriginal{"original.eml", "message/rfc822", kRaw};

const DecodeCase kCases[] = {
    {"plain.eml", {"Hello Bob,", "", "see you."}, {}, "text/plain"},
    {"plain_uu.eml",
     {"Text before.", "Text after."},
     {{"file.bin", "", everyByteTwice()}},
     "",
     TMsgEncoding::meUU},
    {"qp_text.eml",
     {"Caf\xE9 au lait, a long line that is cut by a soft line break and joined again.",
      "Second = line."},
     {},
     "text/plain",
     TMsgEncoding::meMIME,
     TCharSet::csISO8859},
    {"pdf_named.eml", {}, {{"a.pdf", "application/pdf", kPdf}}, "application/pdf"},
    {"pdf_unnamed.eml", {}, {{"att.0", "application/pdf", kPdf}}, "application/pdf"},
    {"mixed.eml",
     {"Body line 1", "Body line 2"},
     {{"att.0", "application/octet-stream", "first"},
      {"att.1", "application/octet-stream", "second"}},
     "multipart/mixed"},
    {"alternative.eml",
     {"Plain text"},
     {{"_alt.0", "text/html", "<p>HTML = text</p>\r\n"}},
     "multipart/alternative"},
    {"nested.eml",
     {"Plain alternative"},
     {{"_alt.0", "text/html", "<b>HTML alternative</b>\r\n"},
      {"report.pdf", "application/pdf", kPdf}},
     "multipart/mixed"},
    {"nested_single.eml", {"Only alternative"}, {{"att.0", "", "file"}}, "multipart/mixed"},
    {"base64_first.eml",
     {},
     {{"att.0", "text/plain",
       "Gr\xC3\xBC\xC3\x9F"
       "e aus K\xC3\xB6ln\r\n"},
      {"dot.png", "image/png", "\x89PNG"}},
     "multipart/mixed"},
    {"missing_closing.eml", {"Text part"}, {{"att.0", "", "tail"}}, "multipart/mixed"},
    {"single_no_closing.eml",
     failed("Cannot find boundary", {"Lonely part"}),
     {kOriginal},
     "multipart/mixed"},
    {"no_boundary.eml", failed("Cannot find boundary"), {kOriginal}, "multipart/mixed"},
    {"ccmail.eml", {"cc text"}, {}, "text/plain"},
    {"base64_trailing.eml", {"Line one", "Line two"}, {}, "text/plain"},
    {"xmailer.eml", {"Readable text"}, {}, "text/plain"},
    {"mime_uu.eml", {"See file:", "Bye."}, {{"a.txt", "", "uu data\r\n"}}, "", TMsgEncoding::meUU},
    {"iso2022_base64.eml",
     {"\x1B$B$3$s$K$A$O\x1B(B"},
     {{"att.0", "", "ABC"}},
     "multipart/mixed",
     TMsgEncoding::meMIME,
     TCharSet::csISO2022jp},
    {"bad_base64.eml", failed("Invalid Character", {"Text"}), {kOriginal}, "multipart/mixed"},
    // A forwarded message is an attachment, also when it is the first part.
    {"forward_single.eml", {}, {{"att.0", "message/rfc822", kForwarded}}, "message/rfc822"},
    {"forward_first.eml", {}, {{"att.0", "message/rfc822", kForwarded}}, "message/rfc822"},
    {"forward_mixed.eml",
     {"See below."},
     {{"att.0", "message/rfc822",
       "From: Carl <carl@example.net>\r\nSubject: =?utf-8?Q?Caf=C3=A9?=\r\nMIME-Version: 1.0\r\n"
       "Content-Type: multipart/alternative; boundary=\"f2\"\r\n\r\n"
       "--f2\r\nContent-Type: text/plain\r\n\r\nPlain original\r\n"
       "--f2\r\nContent-Type: text/html\r\n\r\n<p>HTML original</p>\r\n--f2--\r\n"}},
     "multipart/mixed"},
    // Multiparts nested in the first part, or in a later one, are descended into.
    {"nested_mixed.eml",
     {"Text inside a nested mixed part"},
     {{"note.txt", "text/plain", "note\r\n"}, {"data.bin", "application/octet-stream", "data\r\n"}},
     "multipart/mixed"},
    {"nested_deep.eml",
     {"Deep plain text"},
     {{"_alt.0", "text/html", "<p>Deep HTML</p>\r\n"},
      {"logo.png", "image/png", "\x89PNG"},
      {"att.2", "text/plain", "first of a later multipart\r\n"},
      {"att.3", "text/plain", "second of a later multipart\r\n"},
      {"signature.asc", "", "sig\r\n"}},
     "multipart/mixed"},
    // A delimiter of the enclosing multipart ends a nested one that never closed.
    {"nested_unclosed.eml",
     {"Text of a nested part that never closes"},
     {{"a.txt", "text/plain", "a\r\n"}, {"b.bin", "application/octet-stream", "b\r\n"}},
     "multipart/mixed"},
    // A type that cannot be read counts as plain text.
    {"no_subtype.eml", {"Text of a type without subtype"}, {}, "text/plain"},
    {"garbage_type.eml", {"Text of an unreadable type"}, {}, "text/plain"},
    // Parameters in the extended form: the boundary, and a file name in UTF-8.
    {"rfc2231_signed.eml",
     {"Signed caf\xE9 text"},
     {{"signature \xC3\xA9.asc", "",
       "-----BEGIN PGP SIGNATURE-----\r\n-----END PGP SIGNATURE-----\r\n"}},
     "multipart/mixed",
     TMsgEncoding::meMIME,
     TCharSet::csISO8859},
    // Names split into sections are read whole, from Content-Type and Content-Disposition.
    {"rfc2231_long.eml",
     {"Two files with long names."},
     {{kLongPdfName, "application/pdf", kPdf}, {kLongTextName, "text/plain", "note\r\n"}},
     "multipart/mixed"},
    // Only the type says multipart: neither a part's name nor the boundary does.
    {"multipart_named.eml",
     {"The guide is attached."},
     {{"multipart-guide.pdf", "application/pdf", kPdf},
      {"att.1", "application/octet-stream", "first"}},
     "multipart/mixed"},
    // Without MIME-Version the Content-Type still decides: no boundary lines in the text.
    {"no_mime_version.eml",
     {"\xF0\xD2\xC9\xD7\xC5\xD4, Bob"},
     {{"_alt.0", "text/html", "<p>\xF0\xD2\xC9\xD7\xC5\xD4, Bob</p>\r\n"}},
     "multipart/alternative"},
    // A quoted local part keeps both its quotes.
    {"quoted_local.eml",
     {"Your message to bob@example.org could not be delivered."},
     {},
     "text/plain",
     TMsgEncoding::meMIME,
     TCharSet::csUSASCII,
     "\"System Administrator\"@example.com"},
    // A CR inside an encoded word is a blank; the words after it stay.
    {"cr_subject.eml",
     {"See the report below."},
     {{"att.0", "message/rfc822",
       "From: Carl <carl@example.net>\r\nSubject: =?utf-8?q?Bericht=0D_Erg=C3=A4nzung!?=\r\n\r\n"
       "Report text\r\n"}},
     "multipart/mixed",
     TMsgEncoding::meMIME,
     TCharSet::csUSASCII,
     "ann@example.com",
     "Fwd: Bericht  Erg\xC3\xA4nzung!"},
    // The body stays as sent; its conversion is the viewer's.
    {"utf7_signature.eml",
     {"Hello Bob,", "+AD4- Are you coming at 5 +- 1?", "-- ", "Ann ~ sent \xFC" "ber webmail"},
     {},
     "text/plain"},
};

class DecodeFixture : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeFixture, GivesBodyAndAttachments) {
    const DecodeCase& c = GetParam();
    TMailMessage message;
    message.LoadFromFile(fixturePath(c.file));
    EXPECT_EQ(message.Body, c.body);
    ASSERT_EQ(message.Attachments.size(), c.attachments.size());
    for (std::size_t i = 0; i < c.attachments.size(); ++i) {
        const ExpectedPart& want = c.attachments[i];
        const TAttachmentItem& got = message.Attachments[i];
        EXPECT_EQ(got.FileName, want.name) << i;
        if (!want.type.empty()) {
            EXPECT_EQ(got.ContentType, want.type) << i;
        }
        EXPECT_EQ(got.Data, want.data == kRaw ? fixture(c.file) : want.data) << i;
    }
    EXPECT_EQ(message.ContentType(), c.contentType);
    EXPECT_EQ(message.Encoding, c.encoding);
    EXPECT_EQ(message.CharSet, c.charset);
    EXPECT_EQ(message.Sender.Address, c.sender);
    if (!c.subject.empty()) {
        EXPECT_EQ(message.Subject, c.subject);
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, DecodeFixture, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<DecodeCase>& info) {
                             std::string name = info.param.file;
                             name = name.substr(0, name.find('.'));
                             for (char& ch : name)
                                 if (ch == '_') ch = 'X';
                             return name;
                         });

TEST(MessageDecoder, HeadersGoToTheMessage) {
    TMailMessage message;
    message.LoadFromFile(fixturePath("plain.eml"));
    EXPECT_EQ(message.Sender.Name, "Ann Example");
    EXPECT_EQ(message.Subject, "Test");
    ASSERT_EQ(message.Recipients.size(), 1u);
    EXPECT_EQ(message.Recipients[0].Address, "bob@example.org");
    EXPECT_EQ(message.Headers.count(), 4u);
}

TEST(MessageDecoder, UnreadableContentTypeCountsAsPlainText) {
    const std::pair<const char*, const char*> cases[] = {
        // Content-Type value, the type the text part is then read as
        {"text", "text/plain"},          {"text/; charset=utf-8", "text/plain"},
        {"/plain", "text/plain"},        {"text/plain/x", "text/plain"},
        {"\"text/html\"", "text/plain"}, {"x-unknown/x-unknown", ""}, // readable: an attachment
        {"text; name=\"multipart.txt\"", "text/plain"},
        {"application/pdf; name=\"multipart-guide.pdf\"", ""},
    };
    for (const auto& [type, read] : cases) {
        TMailMessage message;
        message.LoadFromText(std::string("MIME-Version: 1.0\r\nContent-Type: ") + type +
                             "\r\n\r\n<b>text</b>\r\n");
        if (*read == '\0') {
            EXPECT_TRUE(message.Body.empty()) << type;
            EXPECT_EQ(message.Attachments.size(), 1u) << type;
            continue;
        }
        EXPECT_EQ(message.Body, std::vector<std::string>{"<b>text</b>"}) << type;
        EXPECT_EQ(message.BodyContentType, read) << type;
        EXPECT_EQ(message.BodyCharset, "us-ascii") << type;
    }
}

// Without MIME-Version the Content-Type decides how the body is read; a version other than 1.0
// leaves the text as it stands.
TEST(MessageDecoder, MissingMimeVersionReadsByContentType) {
    const std::vector<std::string> kAsSent{"--b", "", "<b>x=3D</b>", "--b--"};
    struct Case {
        const char* headers;
        std::vector<std::string> body;
        const char* bodyType;
        const char* charset;
    } cases[] = {
        // Header fields, then the body and the type and charset its text is read in.
        {"Content-Type: text/html\r\n", kAsSent, "text/html", ""},
        {"Content-Type: text/plain; charset=koi8-r\r\nContent-Transfer-Encoding: "
         "quoted-printable\r\n",
         {"--b", "", "<b>x=</b>", "--b--"},
         "text/plain",
         "koi8-r"},
        {"Content-Type: multipart/mixed; boundary=b\r\n", {"<b>x=3D</b>"}, "text/plain", ""},
        {"MIME-Version: 2.0\r\nContent-Type: multipart/mixed; boundary=b\r\n", kAsSent, "", ""},
        {"", kAsSent, "", ""},
    };
    for (const Case& c : cases) {
        TMailMessage message;
        message.LoadFromText(std::string("Subject: s\r\n") + c.headers +
                             "\r\n--b\r\n\r\n<b>x=3D</b>\r\n--b--\r\n");
        EXPECT_EQ(message.Body, c.body) << c.headers;
        EXPECT_EQ(message.BodyContentType, c.bodyType) << c.headers;
        EXPECT_EQ(message.BodyCharset, c.charset) << c.headers;
    }
}

// A message of one part whose name is split into sections that end far past byte 255 of the
// header value: the name is read whole from either header.
TEST(MessageDecoder, SplitNameOfASinglePartIsReadWhole) {
    auto split = [](const std::string& parameter) {
        std::string text;
        for (int k = 0; k < 4; ++k) {
            text += (k == 0 ? "" : ";\r\n ") + parameter + "*" + std::to_string(k) + "*=";
            if (k == 0) text += "utf-8''";
            for (int i = 0; i < 15; ++i)
                text += "%C3%A9";
        }
        return text;
    };
    std::string name;
    for (int i = 0; i < 60; ++i)
        name += "\xC3\xA9";
    const std::string headers[] = {
        "Content-Type: application/octet-stream; " + split("name"),
        "Content-Type: application/octet-stream\r\nContent-Disposition: attachment; " +
            split("filename"),
    };
    for (const std::string& header : headers) {
        TMailMessage message;
        message.LoadFromText("MIME-Version: 1.0\r\n" + header +
                             "\r\nContent-Transfer-Encoding: base64\r\n\r\nZmlyc3Q=\r\n");
        ASSERT_EQ(message.Attachments.size(), 1u) << header;
        EXPECT_EQ(message.Attachments[0].FileName, name) << header;
        EXPECT_EQ(message.Attachments[0].Data, "first") << header;
    }
}

TEST(MessageDecoder, MimeTextWithUuencodedBlockKeepsEachRecipientOnce) {
    TMailMessage message;
    message.LoadFromFile(fixturePath("mime_uu.eml"));
    EXPECT_EQ(message.Recipients.size(), 2u);
}

TEST(MessageDecoder, QuotedPrintableParagraphLargerThanTheOldBufferDecodes) {
    std::string html(40000, 'x');
    std::string raw = "MIME-Version: 1.0\r\nContent-Type: text/html\r\n"
                      "Content-Transfer-Encoding: quoted-printable\r\n\r\n";
    for (std::size_t i = 0; i < html.size(); i += 70)
        raw += html.substr(i, 70) + "=\r\n";
    raw += "end\r\n";
    TMailMessage message;
    message.LoadFromText(raw);
    ASSERT_EQ(message.Body.size(), 1u);
    EXPECT_EQ(message.Body[0], html + "end");
    EXPECT_EQ(message.ContentType(), "text/html");
}

TEST(MessageDecoder, LinesLongerThanAChunkAndNulBytesSurvive) {
    std::string longLine(20000, 'a');
    std::string withNul("before\0after", 12);
    TMailMessage message;
    message.LoadFromText("Subject: x\r\n\r\n" + longLine + "\r\n" + withNul + "\r\nlast\r\n");
    EXPECT_EQ(message.Body, (std::vector<std::string>{longLine, withNul, "last"}));
}

TEST(MessageDecoder, RunsThePumpDuringALongDecode) {
    std::string raw = "MIME-Version: 1.0\r\nContent-Type: application/octet-stream\r\n"
                      "Content-Transfer-Encoding: base64\r\n\r\n";
    for (int i = 0; i < 20000; ++i)
        raw += "QUJDREVGR0hJSktMTU5PUFFSU1RVVldYWVphYmNkZWZnaGlqa2xtbm9wcXJzdHV2d3h5ejAxMjM0\r\n";
    int pumped = 0;
    TMailMessage message;
    message.Pump = [&] { ++pumped; };
    message.LoadFromText(raw);
    EXPECT_GT(pumped, 3);
    EXPECT_EQ(message.Attachments.at(0).Data.size(), 20000u * 57);
}

TEST(MessageDecoder, SecondLoadReplacesTheFirst) {
    TMailMessage message;
    message.LoadFromFile(fixturePath("mixed.eml"));
    message.LoadFromFile(fixturePath("plain.eml"));
    EXPECT_EQ(message.Attachments.size(), 0u);
    EXPECT_EQ(message.Recipients.size(), 1u);
    EXPECT_EQ(message.Body.size(), 3u);
}

// A saved download read back as the sender wrote it: only a line's first dot is the server's,
// and only a lone "." as the last line ends the reply.
TEST(UnstuffedMessage, UndoesTheServersStuffingOnly) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"..x\r\n.\r\n", ".x\r\n"},
        {"...\r\n.\r\n", "..\r\n"},
        {"..\r\n.\r\n", ".\r\n"}, // a stuffed line of one dot is not the terminator
        {"x..\r\na.b\r\n.\r\n", "x..\r\na.b\r\n"},
        {"Subject: s\r\n\r\n..top\r\nmid\r\n..\r\n.\r\n", "Subject: s\r\n\r\n.top\r\nmid\r\n.\r\n"},
        {".\r\n", ""},
        {"", ""},
        {"no terminator\r\n..kept\r\n", "no terminator\r\n.kept\r\n"},
        {"lf only\n..x\n.\n", "lf only\n.x\n"},
        {"last\r\n.", "last\r\n"},
    };
    for (const auto& [saved, sent] : cases)
        EXPECT_EQ(unstuffedMessage(saved), sent) << testing::PrintToString(saved);
}

TEST(MessageDecoder, MissingFileThrows) {
    TMailMessage message;
    EXPECT_THROW(message.LoadFromFile(fixturePath("does-not-exist.eml")), FileError);
}

TEST(ArticleDecoder, FillsTheArticleFields) {
    TNewsArticle article;
    article.LoadFromText("From: a@example.com\r\nNewsgroups: comp.test\r\nPath: news!a\r\n"
                         "Message-ID: <1@example.com>\r\nSubject: Hi\r\n\r\nText\r\n");
    EXPECT_EQ(article.NewsGroups, "comp.test");
    EXPECT_EQ(article.Path, "news!a");
    EXPECT_EQ(article.MessageID, "<1@example.com>");
    EXPECT_EQ(article.Body, std::vector<std::string>{"Text"});
}

} // namespace
} // namespace mv
