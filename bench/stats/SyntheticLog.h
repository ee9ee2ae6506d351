#pragma once
// A big activity log for the benchmarks that read one, and what they read it with.
#include "base/DateTime.h"
#include "base/Files.h"
#include "base/RegionalSettings.h"
#include "stats/ActivityStatistics.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace mv {

inline constexpr std::size_t kSyntheticLogBytes = 100u << 20;

// A log of checks every five minutes over four mailboxes, most of them finding spam that is then
// deleted, from a few thousand senders of which some send far more than others.
inline std::string syntheticLog(std::size_t bytes) {
    const RegionalSettings rs = RegionalSettings::usEnglish();
    const char* users[] = {"john", "mary.smith", "office", "sales@example.com"};
    std::string log;
    log.reserve(bytes + 4096);
    std::uint64_t seed = 42;
    auto next = [&seed](std::uint64_t n) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return (seed >> 33) % n;
    };
    DateTime when = *encodeDate(2015, 1, 1);
    while (log.size() < bytes) {
        when += 5.0 / (24 * 60);
        const std::string stamp = formatDateTime("ddd ddddd t", when, rs);
        const std::string user = users[next(4)];
        const std::string server = "pop" + std::to_string(next(3)) + ".example.net";
        const std::uint64_t found = next(8);
        log += "MAIL CHECK " + std::to_string(found) + " msg(s) for \"" + user + "\" on server " +
               server + " at " + stamp + "\r\n";
        for (std::uint64_t i = 0, spam = next(found + 1); i < spam; ++i) {
            const std::uint64_t sender = next(2) ? next(50) : next(5000);
            log += "DELETE SPAM on " + stamp + "\r\n   Server:  " + server + " Mailbox: " + user +
                   "\r\n   Subject: Limited offer number " + std::to_string(next(100000)) +
                   " just for you\r\n   Sender:  Sender" + std::to_string(sender) + "@Domain" +
                   std::to_string(sender % 700) +
                   ".example\r\n   Size:    " + std::to_string(1000 + next(90000)) +
                   "  Date: " + formatShortDate(when, rs) + " " + formatLongTime(when, rs) + "\r\n";
        }
    }
    return log;
}

// The synthetic log in a file of the temporary folder, removed again with this object.
class SyntheticLogFile {
public:
    explicit SyntheticLogFile(std::string_view name)
        : m_path(std::filesystem::temp_directory_path() / name) {
        writeFileAtomically(m_path, syntheticLog(kSyntheticLogBytes));
    }
    ~SyntheticLogFile() { std::filesystem::remove(m_path); }
    SyntheticLogFile(const SyntheticLogFile&) = delete;
    SyntheticLogFile& operator=(const SyntheticLogFile&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::uintmax_t size() const { return std::filesystem::file_size(m_path); }

private:
    std::filesystem::path m_path;
};

// The benchmarks' logs always exist: nothing to show.
class NoDisplay : public LogReadListener {
public:
    void showError(std::string_view) override {}
};

} // namespace mv
