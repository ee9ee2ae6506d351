#include "mail/Attachment.h"
#include "mail/HeaderText.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

TEST(HeaderText, GetParameter) {
    struct Case {
        const char* name;
        const char* value;
        const char* result;
    } cases[] = {
        {"boundary", "multipart/mixed; boundary=\"=_abc def\"", "=_abc def"},
        {"name", "attachment; filename=report.pdf", "report.pdf"},
        {"charset", "text/plain; charset=utf-8; format=flowed", "utf-8"},
        {"charset", "text/plain; CHARSET=us-ascii", "us-ascii"},
        {"charset", "text/plain", ""},
        {"charset", "text/plain; charset=", ""},
        // The extended form: charset and language prefix, percent escapes, numbered sections.
        {"boundary", "multipart/signed; boundary*=us-ascii''abc; micalg=pgp-sha256", "abc"},
        {"Boundary", "multipart/mixed; BOUNDARY*=''=_x%3D", "=_x="},
        {"charset", "text/plain; charset*=us-ascii'en'iso-8859-1", "iso-8859-1"},
        {"filename", "attachment; filename*=utf-8''r%C3%A9sum%C3%A9.pdf",
         "r\xC3\xA9sum\xC3\xA9.pdf"},
        {"filename", "attachment; filename*0*=iso-8859-1'fr'caf%E9; filename*1=\" au lait.txt\"",
         "caf\xC3\xA9 au lait.txt"},
        {"name", "application/pdf; name*1=\"part.pdf\"; name*0=\"second \"", "second part.pdf"},
        {"name", "application/pdf; name*0=a; name*2=c", "a"}, // a missing section ends the value
        {"filename", "attachment; filename*=utf-8''100%; x", "100%"},
        // The plain form, when written first, is read as before.
        {"filename", "attachment; filename=\"a.pdf\"; filename*=utf-8''b.pdf", "a.pdf"},
        {"name", "attachment; filename*=utf-8''report.pdf", "report.pdf"},
    };
    for (const auto& c : cases) EXPECT_EQ(GetParameter(c.name, c.value), c.result) << c.value;
    EXPECT_EQ(GetMimeType(" text/html; charset=x"), "text/html");
    EXPECT_EQ(GetMimeType("text/plain"), "text/plain");
}

TEST(HeaderText, ExtractWordReadsTheUniqueId) {
    EXPECT_EQ(ExtractWord("+OK 3 abc-123", 2, true), "abc-123");
    EXPECT_EQ(ExtractWord("+OK 3 abc-123", 3, true), "");
    EXPECT_EQ(ExtractWord("+OK 3  two words", 2, false), "two words");
}

TEST(HeaderText, ContentTypesByExtension) {
    EXPECT_EQ(ContentTypeForFile("a.TXT"), "text/plain");
    EXPECT_EQ(ContentTypeForFile("noextension"), "application/octet-stream");
    EXPECT_EQ(ContentTypeForFile("x.no-such-ext"), "application/octet-stream");
    TAttachmentItem item;
    item.SetFileName("note.txt");
    EXPECT_EQ(item.Encoding, TransferEncoding::QuotedPrintable);
    item.SetFileName("photo.png");
    EXPECT_EQ(item.ContentType, "image/png");
    EXPECT_EQ(item.Encoding, TransferEncoding::Base64);
    item.SetFileName("");
    EXPECT_EQ(item.ContentType, "image/png"); // an empty name changes nothing else
}

} // namespace
} // namespace mv
