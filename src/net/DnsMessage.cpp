#include "net/DnsMessage.h"

#include <algorithm>
#include <utility>

namespace mv {

namespace {

constexpr std::size_t kMaxLabel = 63;
constexpr std::size_t kMaxNameText = 253; // without the root's dot: 255 bytes on the wire
constexpr std::size_t kMaxNameWire = 255;

void putU16(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v >> 8));
    out.push_back(static_cast<char>(v & 0xFF));
}

[[noreturn]] void throwTruncated() {
    throw EResolverError("The domain server's response ends too early");
}

// Reads the answer front to back; every read checks the bounds first.
class Reader {
public:
    explicit Reader(std::string_view data) : m_data(data) {}

    std::size_t pos() const { return m_pos; }
    bool atEnd() const { return m_pos >= m_data.size(); }

    std::uint8_t u8() {
        need(1);
        return byteAt(m_pos++);
    }
    std::uint16_t u16() {
        need(2);
        auto v = static_cast<std::uint16_t>((byteAt(m_pos) << 8) | byteAt(m_pos + 1));
        m_pos += 2;
        return v;
    }
    std::uint32_t u32() {
        std::uint32_t high = u16();
        return (high << 16) | u16();
    }
    void skip(std::size_t n) {
        need(n);
        m_pos += n;
    }

    // A name at the current position (RFC 1035 4.1.4). Each compression pointer must lead to an
    // offset before the previous jump's target, so every walk ends: a pointer back into the name
    // itself, or forwards, is an error rather than a loop.
    std::string name() {
        std::string text;
        std::size_t wire = 0;
        std::size_t at = m_pos;
        std::size_t limit = m_pos; // jump targets must lie before this
        bool jumped = false;
        for (;;) {
            if (at >= m_data.size()) throwTruncated();
            std::uint8_t len = byteAt(at);
            if ((len & 0xC0) == 0xC0) {
                if (at + 1 >= m_data.size()) throwTruncated();
                std::size_t target = ((len & 0x3Fu) << 8) | byteAt(at + 1);
                if (!jumped) m_pos = at + 2;
                if (target >= limit) {
                    throw EResolverError(
                        "The domain server's response holds a bad name compression pointer");
                }
                jumped = true;
                limit = target;
                at = target;
                continue;
            }
            if ((len & 0xC0) != 0) {
                throw EResolverError("The domain server's response holds a bad name label");
            }
            wire += 1u + len;
            if (wire > kMaxNameWire) {
                throw EResolverError("The domain server's response holds a name that is too long");
            }
            if (len == 0) {
                if (!jumped) m_pos = at + 1;
                return text;
            }
            if (at + 1 + len > m_data.size()) throwTruncated();
            text.append(m_data.substr(at + 1, len));
            text.push_back('.');
            at += 1u + len;
        }
    }

private:
    void need(std::size_t n) const {
        if (n > m_data.size() - m_pos) throwTruncated();
    }
    std::uint8_t byteAt(std::size_t i) const { return static_cast<std::uint8_t>(m_data[i]); }

    std::string_view m_data;
    std::size_t m_pos = 0;
};

constexpr std::uint16_t kDnsTypeSOA = 6;
// An SOA's data ends with five 32-bit numbers after two names of at least one byte each.
constexpr std::uint16_t kMinSoaLength = 22;

void keepSmaller(std::optional<std::uint32_t>& ttl, std::uint32_t value) {
    ttl = ttl ? std::min(*ttl, value) : value;
}

// One answer record; MX data is added to `r.mx` and its TTL to `mxTtl`, any other type is skipped.
void readRecord(Reader& in, DnsResponse& r, std::optional<std::uint32_t>& mxTtl) {
    in.name(); // owner: an MX answer may start with the CNAME chain that leads to it
    std::uint16_t type = in.u16();
    in.u16(); // class
    std::uint32_t ttl = in.u32();
    std::uint16_t length = in.u16();
    if (type != kDnsTypeMX) {
        in.skip(length);
        return;
    }
    keepSmaller(mxTtl, ttl);
    TMXList& mx = r.mx;
    std::size_t end = in.pos() + length;
    TMXRec rec;
    rec.Preference = in.u16();
    rec.Exchange = in.name();
    if (in.pos() > end) { // the data ran past its own length
        throw EResolverError("The domain server's response holds a bad MX record");
    }
    in.skip(end - in.pos());
    mx.push_back(std::move(rec));
}

// One authority record: an SOA gives the negative-caching time, anything else is skipped.
void readAuthority(Reader& in, std::optional<std::uint32_t>& negativeTtl) {
    in.name();
    std::uint16_t type = in.u16();
    in.u16(); // class
    std::uint32_t ttl = in.u32();
    std::uint16_t length = in.u16();
    if (type != kDnsTypeSOA || length < kMinSoaLength) {
        in.skip(length);
        return;
    }
    in.skip(length - 4u); // the names and the four numbers before MINIMUM
    keepSmaller(negativeTtl, std::min(ttl, in.u32()));
}

} // namespace

std::string queryName(std::string_view domain) {
    if (!domain.empty() && domain.back() == '.') domain.remove_suffix(1);
    if (domain.empty() || domain.size() > kMaxNameText) return {};
    std::size_t labelStart = 0;
    for (std::size_t i = 0; i <= domain.size(); ++i) {
        if (i < domain.size() && domain[i] != '.') continue;
        std::size_t len = i - labelStart;
        if (len == 0 || len > kMaxLabel) return {};
        labelStart = i + 1;
    }
    return std::string(domain);
}

std::string buildMXQuery(std::uint16_t id, std::string_view name) {
    std::string out;
    out.reserve(kDnsHeaderSize + name.size() + 6);
    putU16(out, id);
    putU16(out, 0x0100); // standard query, recursion desired
    putU16(out, 1);      // one question
    putU16(out, 0);
    putU16(out, 0);
    putU16(out, 0);
    std::size_t labelStart = 0;
    for (std::size_t i = 0; i <= name.size(); ++i) {
        if (i < name.size() && name[i] != '.') continue;
        out.push_back(static_cast<char>(i - labelStart));
        out.append(name.substr(labelStart, i - labelStart));
        labelStart = i + 1;
    }
    out.push_back('\0');
    putU16(out, kDnsTypeMX);
    putU16(out, kDnsClassIN);
    return out;
}

DnsResponse parseResponse(std::string_view packet) {
    Reader in(packet);
    DnsResponse r;
    r.id = in.u16();
    r.spec.flags = in.u16();
    r.qdCount = in.u16();
    std::uint16_t anCount = in.u16();
    std::uint16_t nsCount = in.u16();
    in.skip(2); // additional count: that section is not read
    for (unsigned i = 0; i < r.qdCount; ++i) {
        std::string name = in.name();
        std::uint16_t type = in.u16();
        std::uint16_t cls = in.u16();
        if (i == 0) {
            r.questionName = std::move(name);
            r.questionType = type;
            r.questionClass = cls;
        }
    }
    std::optional<std::uint32_t> mxTtl, negativeTtl;
    for (unsigned i = 0; i < anCount; ++i) {
        if (r.spec.tc() && in.atEnd()) break;
        try {
            readRecord(in, r, mxTtl);
        } catch (const EResolverError&) {
            if (!r.spec.tc()) throw;
            break; // the server said it cut the answer short: keep what arrived whole
        }
    }
    try {
        for (unsigned i = 0; i < nsCount && !in.atEnd(); ++i)
            readAuthority(in, negativeTtl);
    } catch (const EResolverError&) {
        negativeTtl.reset(); // only the lifetime depends on it: unknown, so not kept
    }
    r.ttl = r.mx.empty() ? negativeTtl : mxTtl;
    return r;
}

std::string rcodeText(int rcode) {
    switch (rcode) {
    case 1:
        return "Domain server was unable to interpret a query";
    case 2:
        return "Domain server failure";
    case 3:
        return "Domain name does not exist";
    case 4:
        return "Not implemented";
    case 5:
        return "Domain server refused to return the information";
    default:
        return "Domain server Error #" + std::to_string(rcode);
    }
}

void sortMXList(TMXList& list) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::uint16_t least = list[i].Preference;
        for (std::size_t j = i + 1; j < list.size(); ++j) {
            if (list[j].Preference < least) {
                least = list[j].Preference;
                std::swap(list[i], list[j]);
            }
        }
    }
}

} // namespace mv
