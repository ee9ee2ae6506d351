#pragma once
// The activity log: the append-only text file that checks, deletions, the client's error and
// cancel events and the automatic-mode switch write to, and that the statistics read back. Its
// entry texts are parsed by position, so they are fixed to the character. The file is opened only
// around the writing of one batch of lines, so other programs can read it at any time. Owned by the
// controller for the whole run.
#include "app/settings/SettingsStore.h"
#include "base/DateTime.h"
#include "base/RegionalSettings.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

// The row texts that one deletion entry reports, as the message list shows them.
struct DeletedMessage {
    std::string server, user, subject, sender, size, date;
};

// The entry texts, without line ends. Every inserted text has its CR and LF turned into blanks, so
// no subject or sender can add or break lines that the statistics read back.
std::string checkEntry(int count, std::string_view user, std::string_view server,
                       std::string_view stamp);
std::string errorEntry(std::string_view message, std::string_view user, std::string_view server,
                       std::string_view stamp);
std::string cancelEntry(std::string_view user, std::string_view server, std::string_view stamp);
std::string automaticModeEntry(bool enabled, std::string_view stamp);
std::vector<std::string> deletionEntry(const DeletedMessage& message, std::string_view stamp);

// "ddd ddddd t": day name, short date (four-digit year after fix2000), short time.
std::string logStamp(DateTime when, const RegionalSettings& regional);

// The log file name worked out from the settings' field: an empty field means `programDir` +
// "logfile.txt"; month naming gives e.g. Mar98.txt and quarter naming Q1_98.txt in the field's
// folder.
std::filesystem::path workOutLogName(const std::filesystem::path& field, LogNaming naming,
                                     const std::filesystem::path& programDir, DateTime now,
                                     const RegionalSettings& regional);

class ActivityLog {
public:
    // Called with the message when the file cannot be opened; once per path until a write
    // succeeds, so a broken path does not nag at every entry.
    using FailureReport = std::function<void(const std::string&)>;

    ActivityLog(const Clock& clock, const RegionalSettings& regional)
        : m_clock(clock), m_regional(regional) {}

    // One fixed file; an empty path means no log: every write is then a no-op.
    void setPath(std::filesystem::path path);
    // The settings' log field and naming (workOutLogName), worked out again for the date of every
    // entry, so a session that runs into a new month or quarter writes that period's file. A
    // blank field means no log.
    void setNaming(std::filesystem::path field, LogNaming naming, std::filesystem::path programDir);
    // The file the next entry goes to; empty when there is no log.
    std::filesystem::path path() const;
    void onFailure(FailureReport report) { m_report = std::move(report); }

    std::string stamp() const { return logStamp(m_clock.now(), m_regional); }

    void writeCheck(int count, std::string_view user, std::string_view server);
    void writeError(std::string_view message, std::string_view user, std::string_view server);
    void writeCancel(std::string_view user, std::string_view server);
    void writeAutomaticMode(bool enabled);
    // Deletion entries are stamped when the message is deleted, written once the server committed.
    void writeDeletions(const std::vector<std::vector<std::string>>& entries);

    // Appends the lines, each ended by CR LF, in one open-write-close. False when nothing could be
    // written (the failure is then reported once); true also when there is no log.
    bool append(const std::vector<std::string>& lines);

private:
    struct Naming {
        std::filesystem::path field;
        LogNaming naming;
        std::filesystem::path programDir;
    };

    const Clock& m_clock;
    const RegionalSettings& m_regional;
    std::filesystem::path m_path;
    std::optional<Naming> m_naming; // when set, the path follows the date
    FailureReport m_report;
    std::filesystem::path m_reportedPath; // the path whose failure was reported last
};

} // namespace mv
