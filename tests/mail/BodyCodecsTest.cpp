// The line stream and the body transfer encodings: base64 across lines, uuencode, quoted-printable.
#include "mail/BodyCodecs.h"
#include "mail/LineStream.h"
#include "mail/MailErrors.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mv {
namespace {

std::vector<std::string> readAll(std::string text) {
    TLineStream stream(std::move(text));
    std::size_t expected = stream.LinesLeft();
    std::vector<std::string> lines;
    std::string_view line;
    while (stream.ReadLine(line))
        lines.emplace_back(line);
    EXPECT_TRUE(stream.Eof());
    EXPECT_EQ(line, TLineStream::EndMarker);
    EXPECT_EQ(lines.size(), expected);
    return lines;
}

struct LineCase {
    std::string text;
    std::vector<std::string> lines;
};

TEST(LineStream, SplitsAtEveryKindOfLineEnd) {
    const LineCase cases[] = {
        {"a\r\nb", {"a", "b"}},
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\n\nb\rc\r\r\n", {"a", "", "b", "c", ""}},
        {std::string(40000, 'x') + "\nend", {std::string(40000, 'x'), "end"}},
        {std::string("nul\0inside\r\nnext", 16), {std::string("nul\0inside", 10), "next"}},
        {"\xFF\xFF\xFF\xFF\nafter", {"\xFF\xFF\xFF\xFF", "after"}},
    };
    for (const LineCase& c : cases)
        EXPECT_EQ(readAll(c.text), c.lines) << c.text.substr(0, 20);
}

TEST(LineStream, UnreadAndResetGoBack) {
    TLineStream stream("one\r\ntwo\r\n");
    std::string_view line;
    stream.ReadLine(line);
    stream.ReadLine(line);
    stream.UnreadLine();
    ASSERT_TRUE(stream.ReadLine(line));
    EXPECT_EQ(line, "two");
    EXPECT_FALSE(stream.ReadLine(line));
    stream.Reset();
    ASSERT_TRUE(stream.ReadLine(line));
    EXPECT_EQ(line, "one");
    EXPECT_FALSE(stream.Eof());
}

std::string base64Lines(const std::vector<std::string>& lines) {
    std::string out;
    Base64Decoder decoder(out);
    for (const std::string& line : lines)
        decoder.addLine(line);
    return out;
}

TEST(Base64Decoder, ToleratesTransportNoiseAndOddLineLengths) {
    EXPECT_EQ(base64Lines({"SGVsbG8s  ", "IHdvcmxk\r", "IQ=="}), "Hello, world!");
    EXPECT_EQ(base64Lines({"SGVsb", "G8="}), "Hello"); // a group across lines
    EXPECT_EQ(base64Lines({"QQ==QkM="}), "ABC");       // padding, then more text
    EXPECT_THROW(base64Lines({"SGV sbG8="}), EMessageParserError);
    EXPECT_THROW(base64Lines({"SGV*bG8="}), EMessageParserError);
}

TEST(Base64, EncodeRoundTrips) {
    EXPECT_EQ(EncodeBase64Text(""), "");
    EXPECT_EQ(EncodeBase64Text("A"), "QQ==");
    EXPECT_EQ(EncodeBase64Text("AB"), "QUI=");
    EXPECT_EQ(EncodeBase64Text("ABC"), "QUJD");
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes += static_cast<char>(b);
    EXPECT_EQ(base64Lines({EncodeBase64Text(bytes)}), bytes);
}

TEST(UUencode, BeginLinesAndFileNames) {
    EXPECT_TRUE(IsUUBegin("begin 644 file.txt"));
    EXPECT_TRUE(IsUUBegin("BEGIN 600 \"a b.txt\""));
    EXPECT_FALSE(IsUUBegin("beginning of the text"));
    EXPECT_FALSE(IsUUBegin("begin 64"));
    EXPECT_EQ(UUFileName("begin 644 file.txt"), "file.txt");
    EXPECT_EQ(UUFileName("begin 600 \"a b.txt\""), "a b.txt");
    EXPECT_EQ(UUFileName("begin 0644 name rest"), "name");
}

std::string uuDecoded(std::string_view line) {
    std::string out;
    DecodeUULine(line, out);
    return out;
}

TEST(UUencode, LinesDecode) {
    std::string full(45, '\0');
    for (int i = 0; i < 45; ++i)
        full[i] = static_cast<char>(i * 5);
    std::string line = EncodeUULine(full);
    EXPECT_EQ(line.size(), 61u);
    EXPECT_EQ(line[0], 'M');
    EXPECT_EQ(uuDecoded(line), full);
    // A blank is 0, as uuencoders write it; a missing tail (blanks lost in transport) is 0 too.
    EXPECT_EQ(uuDecoded("#    "), std::string(3, '\0'));
    EXPECT_EQ(uuDecoded("#"), std::string(3, '\0'));
    EXPECT_EQ(uuDecoded("`"), "");
    EXPECT_EQ(uuDecoded("M").size(), 3u); // a count the line cannot hold does not swell it
    EXPECT_THROW(uuDecoded("#abcd"), EMessageParserError);
}

std::string qpDecoded(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines)
        DecodeQuotedPrintableLine(line, out);
    return out;
}

TEST(QuotedPrintable, DecodesLines) {
    EXPECT_EQ(qpDecoded({"Caf=E9=", "=3D ok"}), "Caf\xE9= ok\r\n");
    EXPECT_EQ(qpDecoded({"keep =ZZ and =4"}), "keep =ZZ and =4\r\n");
    EXPECT_EQ(qpDecoded({"soft =  ", "join"}), "soft join\r\n");
    EXPECT_EQ(qpDecoded({"eof\x1A"}), "eof\x1A");
}

TEST(QuotedPrintable, EncodesAndDecodesBack) {
    std::string longLine;
    for (int i = 0; i < 60; ++i)
        longLine += "word ";
    longLine += "end";
    const std::string texts[] = {
        "plain\r\n",
        longLine + "\r\n",
        std::string(300, 'x') + "\r\n",
        "Caf\xE9 = cr\xE8me\r\ntrailing blank \r\n\r\n.\r\n",
        std::string(200, '\xE9') + "\r\n",
    };
    for (const std::string& text : texts) {
        std::vector<std::string> lines = EncodeQuotedPrintable(text);
        for (const std::string& line : lines) {
            EXPECT_LE(line.size(), 66u) << line;
            EXPECT_NE(line, ".");
            EXPECT_TRUE(line.empty() || (line.back() != ' ' && line.back() != '\t')) << line;
        }
        EXPECT_EQ(qpDecoded(lines), text);
    }
}

TEST(QuotedPrintable, SoftBreaksComeBeforeABlank) {
    std::vector<std::string> lines = EncodeQuotedPrintable(std::string(60, 'a') + " bbbbbbbbbb");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(60, 'a') + "=");
    EXPECT_EQ(lines[1], " bbbbbbbbbb");
}

TEST(QuotedPrintable, BareLineFeedsAreLineBreaks) {
    EXPECT_EQ(EncodeQuotedPrintable("a\n\nb\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(EncodeQuotedPrintable(""), std::vector<std::string>{});
}

} // namespace
} // namespace mv
