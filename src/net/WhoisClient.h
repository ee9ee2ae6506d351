#pragma once
// TWhoisClient: a socket configured for the whois service (port 43), holding the query text and
// a buffer for the answer. The program sends no whois query; the component only carries the
// settings of the window it belongs to. Lives as its owner.
#include "net/AsyncSocket.h"

namespace mv {

class TWhoisClient : public TAsyncSocket {
public:
    explicit TWhoisClient(std::unique_ptr<Transport> transport = nullptr);

    const std::string& query() const { return m_query; }
    void setQuery(std::string query) { m_query = std::move(query); }
    const std::string& answer() const { return m_answer; }

    std::function<void(TWhoisClient&)> OnSendingQuery;

private:
    std::string m_query;
    std::string m_answer;
};

} // namespace mv
