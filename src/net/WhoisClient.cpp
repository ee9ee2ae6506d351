#include "net/WhoisClient.h"

namespace mv {

TWhoisClient::TWhoisClient(std::unique_ptr<Transport> transport)
    : TAsyncSocket(std::move(transport)) {
    setServiceName("whois");
    setDefaultPort(43);
}

} // namespace mv
