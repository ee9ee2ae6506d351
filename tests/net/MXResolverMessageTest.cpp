// The DNS messages of an MX look-up: the query's bytes, the checks on names that are never asked,
// and the reading of answers, hostile ones included.
#include "net/DnsMessage.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

std::string fromHex(std::string_view hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    }
    return bytes;
}

// Answers as a real name server sent them (ID 0xabcd): three MX records of preferences 10, 10, 20
// for multi.test, and a CNAME followed by the MX record of its target for alias.test.
const std::string kMulti = fromHex(
    "abcd85800001000300000000056d756c7469047465737400000f0001c00c000f0001000000000012000a036d78"
    "62056d756c7469047465737400c00c000f0001000000000012000a036d7861056d756c7469047465737400c00c"
    "000f00010000000000130014046d783230056d756c7469047465737400");
const std::string kAlias = fromHex(
    "abcd8580000100020000000005616c696173047465737400000f0001c00c0005000100000000000d06746172"
    "676574047465737400c028000f00010000000000140005046d61696c06746172676574047465737400");

TEST(DnsQuery, BuildsTheQuestionWithRecursionDesired) {
    std::string expected("\x12\x34\x01\x00\x00\x01\x00\x00\x00\x00\x00\x00"
                         "\x04mail\x07"
                         "example\x00\x00\x0f\x00\x01",
                         12 + 14 + 4);
    EXPECT_EQ(buildMXQuery(0x1234, "mail.example"), expected);
    // A name ending in the root's dot is the same name: no extra zero byte before the type.
    EXPECT_EQ(buildMXQuery(0x1234, queryName("mail.example.")), expected);
}

TEST(DnsQuery, NamesThatCannotExistAreNeverAsked) {
    std::string label63(63, 'a');
    std::string name253 = label63 + "." + label63 + "." + label63 + "." + std::string(61, 'b');
    ASSERT_EQ(name253.size(), 253u);
    struct Case {
        std::string domain, asked;
    } cases[] = {
        {"example.com", "example.com"},
        {"example.com.", "example.com"},
        {"localhost", "localhost"},
        {label63 + ".test", label63 + ".test"},
        {name253, name253},
        {name253 + ".", name253},
        {"", ""},
        {".", ""},
        {"example..com", ""},
        {".example.com", ""},
        {"example.com..", ""},
        {std::string(64, 'a') + ".test", ""},
        {name253 + "b", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(queryName(c.domain), c.asked) << c.domain;
}

TEST(DnsResponse, ReadsMxRecordsWithCompressedNames) {
    DnsResponse r = parseResponse(kMulti);
    EXPECT_EQ(r.id, 0xabcd);
    EXPECT_TRUE(r.spec.qr());
    EXPECT_TRUE(r.spec.aa());
    EXPECT_EQ(r.spec.rcode(), 0);
    EXPECT_EQ(r.qdCount, 1);
    EXPECT_EQ(r.questionName, "multi.test.");
    EXPECT_EQ(r.questionType, kDnsTypeMX);
    EXPECT_EQ(r.questionClass, kDnsClassIN);
    ASSERT_EQ(r.mx.size(), 3u);
    EXPECT_EQ(r.mx[0].Preference, 10);
    EXPECT_EQ(r.mx[0].Exchange, "mxb.multi.test.");
    EXPECT_EQ(r.mx[2].Preference, 20);
    EXPECT_EQ(r.mx[2].Exchange, "mx20.multi.test.");
}

TEST(DnsResponse, SkipsTheCnameBeforeTheMxRecords) {
    DnsResponse r = parseResponse(kAlias);
    ASSERT_EQ(r.mx.size(), 1u);
    EXPECT_EQ(r.mx[0].Preference, 5);
    EXPECT_EQ(r.mx[0].Exchange, "mail.target.test.");
}

TEST(DnsResponse, EveryCutOffAnswerIsAnError) {
    for (std::size_t n = 0; n < kMulti.size(); ++n) {
        EXPECT_THROW(parseResponse(std::string_view(kMulti).substr(0, n)), EResolverError) << n;
    }
}

TEST(DnsResponse, KeepsTheWholeRecordsOfAnAnswerMarkedTruncated) {
    std::string cut = kMulti.substr(0, kMulti.size() - 5);
    cut[2] = static_cast<char>(cut[2] | 0x02); // TC
    DnsResponse r = parseResponse(cut);
    ASSERT_EQ(r.mx.size(), 2u);
    EXPECT_EQ(r.mx[1].Exchange, "mxa.multi.test.");
}

TEST(DnsResponse, MalformedNamesStopTheParser) {
    const std::string header = fromHex("abcd81800001000000000000");
    struct Case {
        const char* what;
        std::string question;
    } cases[] = {
        {"pointer to itself", fromHex("c00c000f0001")},
        {"pointer forwards", fromHex("c00e000f000100")},
        {"label running into its own pointer", fromHex("0161c00c")},
        {"reserved label type", fromHex("4061000f0001")},
        {"name over 255 bytes",
         [] {
             std::string name;
             for (int i = 0; i < 5; ++i)
                 name += '\x3f' + std::string(63, 'a');
             return name + std::string(1, '\0') + fromHex("000f0001");
         }()},
    };
    for (const Case& c : cases) {
        EXPECT_THROW(parseResponse(header + c.question), EResolverError) << c.what;
    }
}

TEST(DnsResponse, AnMxRecordLongerThanItsDataLengthIsAnError) {
    std::string bad = kAlias;
    bad[bad.size() - 21] = 0x04; // RDLENGTH of the MX record: 20 -> 4
    EXPECT_THROW(parseResponse(bad), EResolverError);
}

TEST(DnsResponse, RcodeTexts) {
    struct Case {
        int rcode;
        const char* text;
    } cases[] = {
        {1, "Domain server was unable to interpret a query"},
        {2, "Domain server failure"},
        {3, "Domain name does not exist"},
        {4, "Not implemented"},
        {5, "Domain server refused to return the information"},
        {9, "Domain server Error #9"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rcodeText(c.rcode), c.text);
}

TEST(MXListSort, AscendingWithTheSelectionSortsOrderOfEqualPreferences) {
    auto sorted = [](std::vector<std::pair<int, const char*>> in) {
        TMXList list;
        for (auto [pref, name] : in)
            list.push_back({static_cast<std::uint16_t>(pref), name});
        sortMXList(list);
        std::string out;
        for (const TMXRec& r : list)
            out += std::to_string(r.Preference) + r.Exchange + " ";
        return out;
    };
    EXPECT_EQ(sorted({{20, "c"}, {10, "a"}, {10, "b"}}), "10a 10b 20c ");
    // An exchange with a smaller preference may move one equal record past another.
    EXPECT_EQ(sorted({{20, "a"}, {20, "b"}, {10, "c"}}), "10c 20b 20a ");
    EXPECT_EQ(sorted({}), "");
}

// An answer to "MX gone.test" with the code, MX records of the given TTLs and authority SOA
// records of the given TTL and MINIMUM.
std::string answerWithTtls(int rcode, const std::vector<std::uint32_t>& mxTtls,
                           const std::vector<std::pair<std::uint32_t, std::uint32_t>>& soas) {
    auto u16 = [](std::uint32_t v) { return std::string{char(v >> 8), char(v & 0xFF)}; };
    auto u32 = [&](std::uint32_t v) { return u16(v >> 16) + u16(v & 0xFFFF); };
    const std::string name("\x04gone\x04test\x00", 11);
    std::string out = u16(0xabcd) + u16(0x8180 | rcode) + u16(1) + u16(mxTtls.size()) +
                      u16(soas.size()) + u16(0) + name + u16(kDnsTypeMX) + u16(kDnsClassIN);
    for (std::uint32_t ttl : mxTtls)
        out += name + u16(kDnsTypeMX) + u16(kDnsClassIN) + u32(ttl) + u16(2 + 11) + u16(10) + name;
    for (auto [ttl, minimum] : soas)
        out += name + u16(6) + u16(kDnsClassIN) + u32(ttl) + u16(11 + 11 + 20) + name + name +
               u32(1) + u32(7200) + u32(900) + u32(1209600) + u32(minimum);
    return out;
}

// How long an answer may be kept: the MX records' smallest TTL, else the SOA's negative-caching
// time (the smaller of its TTL and MINIMUM), else nothing.
TEST(DnsResponse, TheAnswersLifetime) {
    struct Case {
        const char* name;
        int rcode;
        std::vector<std::uint32_t> mx;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> soa;
        std::optional<std::uint32_t> ttl;
    } cases[] = {
        {"MX records", 0, {7200, 600}, {}, 600},
        {"no such name, MINIMUM smaller", kRcodeNameError, {}, {{3600, 300}}, 300},
        {"no such name, SOA TTL smaller", kRcodeNameError, {}, {{60, 300}}, 60},
        {"no MX records", 0, {}, {{900, 3600}}, 900},
        {"no such name without SOA", kRcodeNameError, {}, {}, std::nullopt},
    };
    for (const Case& c : cases) {
        DnsResponse r = parseResponse(answerWithTtls(c.rcode, c.mx, c.soa));
        EXPECT_EQ(r.mx.size(), c.mx.size()) << c.name;
        EXPECT_EQ(r.ttl, c.ttl) << c.name;
    }
    // A damaged authority section leaves the lifetime unknown and the answer readable.
    std::string cut = answerWithTtls(kRcodeNameError, {}, {{3600, 300}});
    cut.resize(cut.size() - 6);
    EXPECT_EQ(parseResponse(cut).ttl, std::nullopt);
}

} // namespace
} // namespace mv
