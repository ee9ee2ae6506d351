#pragma once
// The two DNS messages of an MX look-up (RFC 1035 section 4): the query the resolver sends and the
// reading of the name server's answer. Pure functions over bytes, so that the answer parser, which
// reads whatever a network peer sends, can be tested and fuzzed without a network.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

// A failed look-up: an error code in the answer, or an answer that cannot be read.
class EResolverError : public std::runtime_error {
public:
    explicit EResolverError(const std::string& message, int rcode = -1)
        : std::runtime_error(message), m_rcode(rcode) {}
    // The answer's RCODE when it caused the error, else -1.
    int rcode() const { return m_rcode; }

private:
    int m_rcode;
};

inline constexpr std::uint16_t kDnsTypeMX = 15;
inline constexpr std::uint16_t kDnsClassIN = 1;
inline constexpr int kRcodeNameError = 3; // the name does not exist
inline constexpr std::size_t kDnsHeaderSize = 12;

// One mail exchanger. Every name read from an answer ends in "."; the root name reads as "".
struct TMXRec {
    std::uint16_t Preference = 0;
    std::string Exchange;
};
using TMXList = std::vector<TMXRec>;

// The DNS flags word (RFC 1035 4.1.1).
struct TQuerySpec {
    std::uint16_t flags = 0;
    bool qr() const { return (flags & 0x8000) != 0; }
    int opcode() const { return (flags >> 11) & 0xF; }
    bool aa() const { return (flags & 0x0400) != 0; }
    bool tc() const { return (flags & 0x0200) != 0; }
    bool rd() const { return (flags & 0x0100) != 0; }
    bool ra() const { return (flags & 0x0080) != 0; }
    int rcode() const { return flags & 0xF; }
};

// A name server's answer as read, before it is matched against the query.
struct DnsResponse {
    std::uint16_t id = 0;
    TQuerySpec spec;
    std::uint16_t qdCount = 0;
    // The first question; empty name and zero type and class when the answer holds none.
    std::string questionName;
    std::uint16_t questionType = 0;
    std::uint16_t questionClass = 0;
    TMXList mx; // the MX records of the answer section, in the order sent
    // How many seconds the answer may be kept: the smallest TTL of its MX records; for an answer
    // without any (no such name, or no MX records) the negative-caching time of the SOA record in
    // the authority section, the smaller of its TTL and its MINIMUM field (RFC 2308 section 5).
    // Empty when the answer tells neither: such an answer is not to be kept.
    std::optional<std::uint32_t> ttl;
};

// The name as asked: one trailing "." (the root) dropped. Empty when the name cannot exist: an
// empty label, a label over 63 bytes or a name over 253 (RFC 1035 2.3.4), which no server could
// hold, so nobody is asked.
std::string queryName(std::string_view domain);

// The query for the MX records of `name` (a result of queryName, not empty) with recursion desired.
std::string buildMXQuery(std::uint16_t id, std::string_view name);

// Reads an answer. Throws EResolverError when the data ends inside the header, the question or an
// answer record, or when a name is malformed (a compression pointer that does not lead strictly
// backwards, which also stops loops, or a name over 255 bytes). In an answer marked truncated (TC)
// the records that arrived whole are kept and the cut-off rest is ignored. A damaged authority
// section only leaves the TTL unknown.
DnsResponse parseResponse(std::string_view packet);

// The text for a non-zero RCODE.
std::string rcodeText(int rcode);

// Orders by ascending preference with the selection sort that users' lists have always been
// ordered by: equal preferences are never exchanged with each other, though an exchange with a
// smaller one may reorder them.
void sortMXList(TMXList& list);

} // namespace mv
