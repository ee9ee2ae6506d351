#include "app/settings/MailboxAccounts.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

MailboxAccounts withServers(std::initializer_list<std::pair<int, const char*>> rows) {
    MailboxAccounts accounts;
    for (auto [n, server] : rows) {
        accounts[n].server = server;
        accounts[n].user = "user" + std::to_string(n);
    }
    return accounts;
}

TEST(MailboxAccounts, OnlyOneMailbox) {
    EXPECT_TRUE(withServers({{1, "pop.a"}}).OnlyOneMailbox());
    EXPECT_FALSE(withServers({}).OnlyOneMailbox());
    EXPECT_FALSE(withServers({{1, "pop.a"}, {12, "pop.b"}}).OnlyOneMailbox());
    EXPECT_FALSE(withServers({{3, "pop.c"}}).OnlyOneMailbox()); // mailbox 1 empty
}

TEST(MailboxAccounts, ServerToIndexIgnoresCaseAndTakesTheFirst) {
    MailboxAccounts accounts = withServers({{2, "Pop.Example.ORG"}, {4, "pop.example.org"}});
    accounts[4].user = "user2";
    EXPECT_EQ(accounts.serverToIndex("pop.example.org", "USER2"), 2);
    EXPECT_EQ(accounts.serverToIndex("pop.example.org", "user4"), 0);
    EXPECT_EQ(accounts.serverToIndex("other", "user2"), 0);
}

TEST(MailboxAccounts, RefusesNumbersOutsideOneToTwelve) {
    MailboxAccounts accounts;
    EXPECT_THROW(accounts[0], std::out_of_range);
    EXPECT_THROW(accounts[13], std::out_of_range);
    EXPECT_NO_THROW(accounts[12]);
}

TEST(MailboxChooser, ListsConfiguredMailboxesAndPreselectsTheCurrent) {
    MailboxAccounts accounts = withServers({{1, "pop.one"}, {3, "pop.three"}});
    std::vector<ChooserEntry> entries = accounts.chooserEntries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].text, "1) Mailbox user1 - Server pop.one");
    EXPECT_EQ(entries[1].text, "3) Mailbox user3 - Server pop.three");
    EXPECT_EQ(chooserPreselection(entries, 3), 1);
    EXPECT_EQ(chooserPreselection(entries, 2), 0); // current has no entry: the first
    EXPECT_EQ(chooserPreselection({}, 1), -1);
}

TEST(MailboxChooser, ReadsTheNumberUpToTheParenthesis) {
    const std::pair<const char*, int> cases[] = {
        {"3) Mailbox a - Server b", 3},
        {"12) Mailbox a) - Server b", 12},
        {"no paren", 0},
        {") x", 0},
        {"13) too high", 0},
        {"x) y", 0},
    };
    for (auto [text, number] : cases)
        EXPECT_EQ(mailboxFromChooserEntry(text), number) << text;
}

TEST(ServerText, AcceptsHostPortAndBracketedV6) {
    const std::pair<const char*, bool> cases[] = {
        {"pop.example.org", true}, {"pop.example.org:995", true},
        {"127.0.0.1:1110", true},  {"[::1]:1110", true},
        {"[::1]", true},           {"::1", true},
        {"fe80::1", true},         {"", false},
        {"pop example", false},    {"pop\r\nUSER", false},
        {"pop:", false},           {"pop:0", false},
        {"pop:65536", false},      {"pop:99x", false},
        {":110", false},           {"[]:110", false},
        {"[::1:110", false},       {"[::1]110", false},
        {"[::1]:", false},
    };
    for (auto [text, valid] : cases)
        EXPECT_EQ(isValidServerText(text), valid) << text;
}

TEST(TlsMode, NamesRoundTripAndUnknownIsRefused) {
    for (TlsMode mode :
         {TlsMode::Tls, TlsMode::StartTls, TlsMode::StartTlsIfOffered, TlsMode::None})
        EXPECT_EQ(parseTlsMode(tlsModeName(mode)), mode);
    EXPECT_EQ(parseTlsMode("STARTTLS"), TlsMode::StartTls);
    EXPECT_EQ(tlsModeName(TlsMode::StartTlsIfOffered), "starttls-if-offered");
    EXPECT_EQ(parseTlsMode("ssl"), std::nullopt);
    EXPECT_EQ(parseTlsMode(""), std::nullopt);
}

TEST(Fingerprint, NormalisesPairsAndRefusesOtherText) {
    const std::string hex(64, 'a');
    std::string expected;
    for (int i = 0; i < 32; ++i)
        expected += (i ? ":AA" : "AA");
    EXPECT_EQ(normalizeFingerprint(hex), expected);
    EXPECT_EQ(normalizeFingerprint(" " + expected + " "), expected);
    EXPECT_EQ(normalizeFingerprint(hex.substr(2)), std::nullopt);       // too short
    EXPECT_EQ(normalizeFingerprint(hex + "AA"), std::nullopt);          // SHA-1/512 length etc.
    EXPECT_EQ(normalizeFingerprint(hex.substr(1) + "g"), std::nullopt); // not hex
}

} // namespace
} // namespace mv
