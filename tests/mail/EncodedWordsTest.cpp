#include "mail/EncodedWords.h"

#include "mail/MailErrors.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

TEST(EncodedWords, DecodeHeaderText) {
    struct Case {
        const char* text;
        const char* decoded;
    } cases[] = {
        {"plain_text", "plain_text"},
        {"=?iso-8859-1?Q?Caf=E9?= au lait", "Caf\xC3\xA9 au lait"},
        {"=?utf-8?B?SGVsbG8=?=", "Hello"},
        {"=?UTF-8?q?a_b?=", "a b"},
        {"john_doe@x.test =?utf-8?Q?J=C3=B6rg?=", "john_doe@x.test J\xC3\xB6rg"},
        {"=?utf-8?Q?a?= =?utf-8?Q?b?=", "ab"}, // blanks between two words go
        {"=?utf-8?Q?unclosed free money", "=?utf-8?Q?unclosed free money"},
        {"=?utf-8?B?!!!?= cheap", "=?utf-8?B?!!!?= cheap"},
        {"=?utf-8?X?abc?= x", "=?utf-8?X?abc?= x"},
        {"=?unknown-set?Q?caf=E9?=", "caf\xE9"}, // unknown charsets keep their bytes
        {"=?utf-8*en?Q?hi?=", "hi"},
        {"=?utf-8?Q?=3D?=", "="},
        {"==?utf-8?Q?x?=", "=x"},
        // A line break inside a word is a blank, and the text after it stays.
        {"=?utf-8?q?one=0D_two?= three", "one  two three"},
        {"=?utf-8?B?b25lDQp0d28=?=", "one  two"},
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeHeaderText(c.text), c.decoded) << c.text;
}

TEST(EncodedWords, DecodedTextIsCutWithoutSplittingACharacter) {
    std::string word = "=?utf-8?B?" + std::string(300, 'w') + "?="; // too long for 255
    std::string text = "=?utf-8?Q?" + std::string(127, 'a');
    for (int i = 0; i < 10; ++i) text += "=C3=A9";
    text += "?=";
    std::string decoded = DecodeHeaderText(text);
    EXPECT_LE(decoded.size(), 255u);
    EXPECT_EQ(decoded.back() & 0xC0, 0x80); // ends on a complete é
    EXPECT_NO_THROW(DecodeHeaderText(word));
}

TEST(EncodedWords, Base64) {
    EXPECT_EQ(DecodeBase64Text("SGVsbG8="), "Hello");
    EXPECT_EQ(DecodeBase64Text("SGk"), "Hi"); // short final group
    EXPECT_EQ(DecodeBase64Text(""), "");
    EXPECT_THROW(DecodeBase64Text("SG k"), EMessageParserError);
    EXPECT_EQ(DecodeBase64Text(std::string(400, 'Q')).size(), 255u);
}

TEST(EncodedWords, QuotedText) {
    struct Case {
        const char* text;
        const char* decoded;
    } cases[] = {{"Caf=E9", "Caf\xE9"}, {"a=3d3D", "a=3D"}, {"x=ZZ", "x=ZZ"},
                 {"end=", "end"},       {"one=0D=0Atwo", "one\r\ntwo"}, {"a_b", "a_b"},
                 {"x=4", "x\x04"}};
    for (const auto& c : cases) EXPECT_EQ(DecodeQuotedText(c.text), c.decoded) << c.text;
}

TEST(EncodedWords, ConvertToUtf8) {
    EXPECT_EQ(ConvertToUtf8("ISO-8859-1", "\xE9"), "\xC3\xA9");
    EXPECT_EQ(ConvertToUtf8("windows-1252", "\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(ConvertToUtf8("no-such-charset", "\xE9"), "\xE9");
}

// What does not convert gives U+FFFD, one per byte, and the conversion goes on after it.
TEST(EncodedWords, ConvertToUtf8KeepsGoingPastInvalidBytes) {
    struct Case {
        const char* charset;
        const char* bytes;
        const char* text;
    } cases[] = {
        {"utf-7", "+AD4- a ~ \xFC +AD4-", "> a \xEF\xBF\xBD \xEF\xBF\xBD >"},
        {"utf-8", "caf\xE9 \xC3\xA9", "caf\xEF\xBF\xBD \xC3\xA9"},
        {"utf-8", "end \xC3", "end \xEF\xBF\xBD"}, // a sequence cut off at the end
        {"shift_jis", "\x82\xA0\xFF\x82\xA0", "\xE3\x81\x82\xEF\xBF\xBD\xE3\x81\x82"},
        {"us-ascii", "caf\xE9", "caf\xE9"}, // left for the display to read as Latin-1
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConvertToUtf8(c.charset, c.bytes), c.text) << c.charset << " " << c.bytes;
}

} // namespace
} // namespace mv
