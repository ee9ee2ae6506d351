#include "base/Text.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

TEST(Text, TrimRemovesControlBytesAndBlanksOnly) {
    EXPECT_EQ(trim("\t\r\n x y \x01"), "x y");
    EXPECT_EQ(trim("\xA0x\xA0"), "\xA0x\xA0"); // bytes from 0x80 up are text
    EXPECT_EQ(trim(""), "");
}

TEST(Text, CaseFoldingTouchesOnlyAsciiLetters) {
    EXPECT_EQ(upperAscii("abc\xE9z1"), "ABC\xE9Z1");
    EXPECT_TRUE(equalsNoCase("Subject", "SUBJECT"));
    EXPECT_FALSE(equalsNoCase("\xE9", "\xC9"));
    EXPECT_EQ(findNoCase("x-Filename=1", "NAME"), 6u);
    EXPECT_EQ(findNoCase("abc", "abcd"), std::string_view::npos);
}

TEST(Text, ParseIntegerTakesDecimalAndHexadecimal) {
    struct Case {
        const char* text;
        std::optional<long long> value;
    } cases[] = {{"42", 42},   {" 7 ", 7},     {"0x1F", 31},        {"0X10", 16},
                 {"-3", -3},   {"", {}},       {"12a", {}},         {"0x", {}},
                 {"abc", {}},  {"99999999999999999999", {}}};
    for (const auto& c : cases) EXPECT_EQ(parseInteger(c.text), c.value) << c.text;
    EXPECT_EQ(parseIntegerOr("x", 10), 10);
}

TEST(Text, CutShortNeverSplitsAUtf8Sequence) {
    std::string text = std::string(254, 'a') + "\xC3\xA9" + "b"; // é straddles byte 255
    EXPECT_EQ(cutShort(text), std::string(254, 'a'));
    std::string latin1 = std::string(254, 'a') + "\xE9\xE9"; // not UTF-8: plain byte cut
    EXPECT_EQ(cutShort(latin1).size(), 255u);
    EXPECT_EQ(cutShort("short"), "short");
}

TEST(Text, DisplayTextShowsLatin1AsUtf8) {
    EXPECT_EQ(displayText("Caf\xC3\xA9"), "Caf\xC3\xA9");
    EXPECT_EQ(displayText("Caf\xE9"), "Caf\xC3\xA9");
}

TEST(Text, SplitLinesAtAnyLineEnd) {
    EXPECT_EQ(splitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(splitLines("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(splitLines("").empty());
}

} // namespace
} // namespace mv
