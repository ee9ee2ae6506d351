#include "app/ListScreening.h"

namespace mv {

namespace {
constexpr std::uint16_t kStandardDnsPort = 53;
}

ListScreening::ListScreening(const std::filesystem::path& programDir, MessageList& list,
                             std::function<int()> serverToIndex, std::function<void()> pump)
    : m_list(list), m_rules(programDir), m_domainCheck(m_domainResolver, m_rules.options()),
      m_pass(m_rules, m_domainCheck, std::move(serverToIndex)), m_pump{nullptr, std::move(pump)} {}

std::vector<std::string> ListScreening::load() {
    std::vector<std::string> messages = m_rules.readSettings();
    if (auto message = m_rules.LoadUpKnownList()) messages.push_back(*message);
    return messages;
}

std::vector<std::string> ListScreening::save() {
    return m_rules.Savesettings();
}

void ListScreening::setNameServer(const std::string& address, int port) {
    m_mxResolver.setDNSAddress(address);
    m_mxResolver.setPort(port > 0 && port <= 65535 ? static_cast<std::uint16_t>(port)
                                                   : kStandardDnsPort);
}

void ListScreening::screenRow(int index) {
    m_list.remark([&](std::span<MessageEntry> rows) { m_pass.MarkForDeletion(rows, index); },
                  index);
}

void ListScreening::eachRow(const std::function<void(std::span<MessageEntry>)>& screen) {
    for (int i = 0; i < m_list.size(); ++i) {
        m_list.remark([&](std::span<MessageEntry> rows) { screen(rows.subspan(i, 1)); }, i);
        m_pump.pumpIfDue();
    }
}

void ListScreening::rescreen() {
    eachRow([this](std::span<MessageEntry> row) { m_pass.rescreen(row); });
}

int ListScreening::autoMark(HandMarks handMarks) {
    eachRow([&](std::span<MessageEntry> row) {
        if (handMarks == HandMarks::Keep && row.front().markedByHand) return;
        m_pass.autoMark(row);
        row.front().markedByHand = false;
    });
    return m_list.markedCount();
}

std::vector<std::string> ListScreening::reasons(int index) {
    MessageEntry row = m_list.at(index); // a copy: the explanation changes no mark
    return m_pass.whyMarked(row);
}

DomainLookup ListScreening::MXDomainResolver::resolve(const std::string& domain) {
    DomainCheck check = m_resolver.checkDomain(domain);
    switch (check.status) {
    case DomainStatus::Exists:
        return {DomainAnswer::Exists, check.lifetime};
    case DomainStatus::DoesNotExist:
        return {DomainAnswer::DoesNotExist, check.lifetime};
    case DomainStatus::NotChecked:
        break;
    }
    return {DomainAnswer::CouldNotCheck, std::chrono::seconds(0)};
}

} // namespace mv
