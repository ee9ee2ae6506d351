// The viewer text of downloaded messages: charset conversion and HTML shown as text.
#include "mail/ViewerText.h"
#include "base/Files.h"
#include "mail/HtmlText.h"

#include <gtest/gtest.h>

#include <string>

namespace mv {
namespace {

std::string viewOf(const std::string& name) {
    return viewerText(readFile(std::string(MV_TEST_DATA) + "/mail/" + name).value());
}

const char* const kForwardedView = "-------- Forwarded message --------\n"
                                   "From: Carl <carl@example.net>\n"
                                   "Date: Sun, 11 Jan 1998 09:00:00 +0000\n"
                                   "Subject: Original\n\n"
                                   "Original text";

TEST(ViewerText, ShowsBodiesAsUtf8) {
    const std::pair<const char*, const char*> cases[] = {
        {"plain.eml", "Hello Bob,\n\nsee you."},
        {"qp_text.eml", "Caf\xC3\xA9 au lait, a long line that is cut by a soft line break and "
                        "joined again.\nSecond = line."},
        {"koi8.eml", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"},
        {"base64_first.eml", "Gr\xC3\xBC\xC3\x9F"
                             "e aus K\xC3\xB6ln"},
        {"html_only.eml", "Caf\xC3\xA9 & cr\xC3\xA8me \xE2\x82\xAC"
                          "5\n\nSecond\nline"},
        {"alternative.eml", "Plain text"},
        {"iso2022_base64.eml", "\xE3\x81\x93\xE3\x82\x93\xE3\x81\xAB\xE3\x81\xA1\xE3\x81\xAF"},
        {"nested_mixed.eml", "Text inside a nested mixed part"},
        {"nested_deep.eml", "Deep plain text"},
        {"no_subtype.eml", "Text of a type without subtype"},
        {"rfc2231_signed.eml", "Signed caf\xC3\xA9 text"},
        {"multipart_named.eml", "The guide is attached."},
        {"forward_single.eml", kForwardedView},
        {"forward_first.eml", kForwardedView},
        {"forward_mixed.eml", "See below.\n\n"
                              "-------- Forwarded message --------\n"
                              "From: Carl <carl@example.net>\n"
                              "Subject: Caf\xC3\xA9\n\n"
                              "Plain original"},
        {"no_mime_version.eml", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, Bob"},
        {"quoted_local.eml", "Your message to bob@example.org could not be delivered."},
        {"cr_subject.eml", "See the report below.\n\n"
                           "-------- Forwarded message --------\n"
                           "From: Carl <carl@example.net>\n"
                           "Subject: Bericht  Erg\xC3\xA4nzung!\n\n"
                           "Report text"},
        // What is no UTF-7 shows as U+FFFD, and the rest is still decoded.
        {"utf7_signature.eml", "Hello Bob,\n> Are you coming at 5 + 1?\n-- \n"
                               "Ann \xEF\xBF\xBD sent \xEF\xBF\xBD"
                               "ber webmail"},
        {"no_boundary.eml", "The following error has been occured while processing the message:\n"
                            "Cannot find boundary\n"
                            "The original message will be stored as an attachment"},
    };
    for (const auto& [file, text] : cases)
        EXPECT_EQ(viewOf(file), text) << file;
}

TEST(ViewerText, ForwardedMessagesNestedDeeplyStopAtALimit) {
    std::string raw = "Subject: innermost\r\n\r\ntext\r\n";
    for (int i = 0; i < 50; ++i)
        raw = "MIME-Version: 1.0\r\nContent-Type: message/rfc822\r\n\r\n" + raw;
    std::string text = viewerText(raw);
    std::size_t headings = 0;
    for (std::size_t p = text.find("Forwarded message"); p != std::string::npos;
         p = text.find("Forwarded message", p + 1))
        ++headings;
    EXPECT_EQ(headings, 8u);
}

TEST(HtmlText, TagsEntitiesAndHiddenParts) {
    const std::pair<const char*, const char*> cases[] = {
        {"<p>One</p><p>Two</p>", "One\n\nTwo"},
        {"a&lt;b&gt;c &#233; &#xE9; &unknown; &", "a<b>c \xC3\xA9 \xC3\xA9 &unknown; &"},
        {"<!-- hidden --><STYLE>x{}</STYLE>shown<script>bad()</script>", "shown"},
        {"<table><tr><td>a</td><td>b</td></tr></table>", "a b"},
        {"x  \n\n  y<br><br><br><br>z", "x y\n\nz"},
        {"1 < 2 and <unclosed", "1 < 2 and"},
    };
    for (const auto& [html, text] : cases)
        EXPECT_EQ(htmlToText(html), text) << html;
}

} // namespace
} // namespace mv
