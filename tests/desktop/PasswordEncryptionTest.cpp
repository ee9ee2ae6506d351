#include "desktop/PasswordEncryption.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

std::string run(std::string input, TActionType action) {
    TPasswordEncryption enc;
    enc.Input = std::move(input);
    enc.Action = action;
    enc.Execute();
    return enc.Output;
}

TEST(PasswordEncryption, StoredTextsOfEarlierInstallationsReadBack) {
    // "a" with start byte 0: ((0 + 97) mod 255) xor 'w' = 0x16.
    EXPECT_EQ(run("0016", TActionType::atDecryption), "a");
    EXPECT_EQ(run("0016f", TActionType::atDecryption), "a"); // a final odd digit is ignored
}

TEST(PasswordEncryption, ScrambleRoundTripsEveryByte) {
    std::string all;
    for (int c = 1; c <= 254; ++c) all += static_cast<char>(c);
    std::string stored = run(all, TActionType::atEncryption);
    EXPECT_EQ(stored.size(), 2 + 2 * all.size());
    EXPECT_EQ(stored.find_first_not_of("0123456789ABCDEF"), std::string::npos);
    EXPECT_EQ(run(stored, TActionType::atDecryption), all);
}

TEST(PasswordEncryption, StartByteVaries) {
    std::set<std::string> seen;
    for (int i = 0; i < 20; ++i) seen.insert(run("secret", TActionType::atEncryption));
    EXPECT_GT(seen.size(), 1u);
}

TEST(PasswordEncryption, EmptyInputGivesEmptyOutput) {
    EXPECT_EQ(run("", TActionType::atEncryption), "");
    EXPECT_EQ(run("", TActionType::atDecryption), "");
}

TEST(PasswordEncryption, MalformedStoredTextIsAnError) {
    for (const char* stored : {"00", "0", "zz16", "00G6"})
        EXPECT_THROW(run(stored, TActionType::atDecryption), EPasswordFormatError) << stored;
}

} // namespace
} // namespace mv
