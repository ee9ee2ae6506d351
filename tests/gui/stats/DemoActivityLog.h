#pragma once
// A realistic activity log of a few months, written by the check engine's own log writer: three
// mailboxes checked a few times a day, spam found and deleted from senders of whom a few send far
// more than the rest, some of them without a domain. The same seed always gives the same log.
#include "app/ActivityLog.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

namespace mv::test {

inline constexpr std::array<const char*, 3> kDemoMailboxes{"john", "mary.smith", "office"};

// The demo's "now", Thursday 20 June 2024 at noon; its log runs from 1 March to that day.
inline DateTime demoNow() {
    return *encodeDate(2024, 6, 20) + 0.5;
}
inline DateTime demoFirstDay() {
    return *encodeDate(2024, 3, 1);
}

inline void writeDemoActivityLog(const std::filesystem::path& path, DateTime firstDay,
                                 DateTime lastDay, const RegionalSettings& regional) {
    static constexpr std::array<const char*, 14> senders{"deals@promo-mart.example",
                                                         "winner@lottery-intl.example",
                                                         "no-reply@cheap-meds.example",
                                                         "offers@promo-mart.example",
                                                         "Info@Crypto-Gains.example",
                                                         "support@secure-bank-login.example",
                                                         "news@daily-bargains.example",
                                                         "hr@work-from-home.example",
                                                         "prince@royal-fund.example",
                                                         "sales@replica-watch.example",
                                                         "alert@parcel-notice.example",
                                                         "vip@casino-royale.example",
                                                         "MAILER-DAEMON",
                                                         "team@seo-rank.example"};
    static constexpr std::array<const char*, 3> servers{"pop.example.com", "mail.example.org",
                                                        "pop.office.example"};
    std::uint64_t seed = 20240301;
    auto next = [&seed](std::uint64_t n) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<int>((seed >> 33) % n);
    };
    FixedClock clock(firstDay);
    ActivityLog log(clock, regional);
    log.setPath(path);
    for (DateTime day = firstDay; day <= lastDay; day += 1) {
        for (int check = 0, checks = 2 + next(3); check < checks; ++check) {
            // From early morning to evening, the mailboxes in turn.
            const int hour = 6 + check * 4 + next(3);
            for (std::size_t m = 0; m < kDemoMailboxes.size(); ++m) {
                clock.set(day + *encodeTime(hour, static_cast<int>(m) * 15 + next(15)));
                const int found = next(m == 2 ? 4 : 9);
                log.writeCheck(found, kDemoMailboxes[m], servers[m]);
                std::vector<std::vector<std::string>> deleted;
                for (int i = 0, spam = found == 0 ? 0 : next(found + 1); i < spam; ++i) {
                    // Half the spam comes from the first four senders.
                    const std::size_t s = static_cast<std::size_t>(next(2) ? next(4) : next(14));
                    deleted.push_back(deletionEntry({servers[m], kDemoMailboxes[m],
                                                     "Offer " + std::to_string(next(1000)),
                                                     senders[s], std::to_string(1200 + next(60000)),
                                                     formatShortDate(clock.now(), regional)},
                                                    log.stamp()));
                }
                log.writeDeletions(deleted);
            }
        }
    }
}

} // namespace mv::test
