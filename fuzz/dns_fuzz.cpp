// Feeds arbitrary datagrams to the DNS answer parser: it must end every input with a result or an
// EResolverError, never loop, read out of bounds or return a malformed name.
#include "net/DnsMessage.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        mv::DnsResponse response =
            mv::parseResponse(std::string_view(reinterpret_cast<const char*>(data), size));
        mv::sortMXList(response.mx);
        for (const mv::TMXRec& rec : response.mx) {
            if (rec.Exchange.size() > 255) std::abort();
            if (!rec.Exchange.empty() && rec.Exchange.back() != '.') std::abort();
        }
    } catch (const mv::EResolverError&) {
    }
    return 0;
}
