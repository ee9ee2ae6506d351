#pragma once
// The screening of the message list: the rule set with its hit counters, the unknown-domain check
// over the MX resolver, and the screening pass, applied to the rows of the MessageList so that the
// View hears of every mark that changed. Broken rule rows are reported, not shown: the controller
// decides when the user sees them. Owned by the controller.
#include "app/MessageList.h"
#include "net/MXResolver.h"
#include "screening/RuleSet.h"
#include "screening/ScreeningPass.h"
#include "screening/UnknownDomainCheck.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace mv {

// Whether a re-screening of the whole list leaves the marks the user set by hand.
enum class HandMarks { Reset, Keep };

class ListScreening {
public:
    // `serverToIndex` gives the number of the mailbox being checked (ScreeningPass); `pump` runs
    // between rows of a pass over the whole list, which may take a while on a long one.
    ListScreening(const std::filesystem::path& programDir, MessageList& list,
                  std::function<int()> serverToIndex, std::function<void()> pump);
    ListScreening(const ListScreening&) = delete;
    ListScreening& operator=(const ListScreening&) = delete;

    RuleSet& rules() { return m_rules; }
    // Reads the rule tables, the spam options and the known-spammer list; the messages for the
    // user about what could not be read.
    std::vector<std::string> load();
    // Writes the rule tables with their hit counters; the messages about what failed.
    std::vector<std::string> save();
    // The name server of the unknown-domain check; port 0 is the standard one.
    void setNameServer(const std::string& address, int port);
    // Cancel flag and pump for the name look-ups.
    void setWaitHooks(WaitHooks hooks) { m_mxResolver.setWaitHooks(std::move(hooks)); }

    // A new check run asks again about domains whose look-up failed.
    void startRun() { m_domainCheck.startRun(); }
    // Screens row `index` as it arrives.
    void screenRow(int index);
    // Screens every row once more when the list is complete; the counters stay.
    void rescreen();
    // "Auto-mark messages": every mark recomputed (but those set by hand, when kept); returns how
    // many rows are marked for deletion.
    int autoMark(HandMarks handMarks);
    // "Why was this e-mail marked?" for row `index`; changes no mark.
    std::vector<std::string> reasons(int index);
    // Broken rule rows met since the last call, each once.
    std::vector<std::string> takeProblems() { return m_pass.takeProblems(); }

private:
    // Runs `screen` on each row in turn, the pump between rows when it is due.
    void eachRow(const std::function<void(std::span<MessageEntry>)>& screen);

    // Every failure but "no such domain" leaves the message alone.
    class MXDomainResolver final : public DomainResolver {
    public:
        explicit MXDomainResolver(TMXResolver& resolver) : m_resolver(resolver) {}
        DomainLookup resolve(const std::string& domain) override;

    private:
        TMXResolver& m_resolver;
    };

    MessageList& m_list;
    RuleSet m_rules;
    TMXResolver m_mxResolver;
    MXDomainResolver m_domainResolver{m_mxResolver};
    UnknownDomainCheck m_domainCheck;
    ScreeningPass m_pass;
    WaitHooks m_pump;
};

} // namespace mv
