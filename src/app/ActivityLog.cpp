#include "app/ActivityLog.h"

#include "app/settings/HomeFolder.h"
#include "base/Text.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mv {

namespace {

// One log line per entry line: a CR or LF inside a text must not start a line of its own.
std::string oneLine(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

std::string twoDigitYear(DateTime now) {
    int yy = decodeDate(now).year % 100;
    return (yy < 10 ? "0" : "") + std::to_string(yy);
}

// Why a log that is a FIFO, a device or a folder is refused.
constexpr const char* kNotRegular = "it is not a regular file";

bool writeAll(int fd, const std::string& text) {
    std::string_view rest = text;
    while (!rest.empty()) {
        ssize_t n = ::write(fd, rest.data(), rest.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        rest.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace

std::string checkEntry(int count, std::string_view user, std::string_view server,
                       std::string_view stamp) {
    return "MAIL CHECK " + std::to_string(count) + " msg(s) for \"" + oneLine(user) +
           "\" on server " + oneLine(server) + " at " + std::string(stamp);
}

std::string errorEntry(std::string_view message, std::string_view user, std::string_view server,
                       std::string_view stamp) {
    return "ERROR " + oneLine(message) + " FOR " + oneLine(user) + " ON " + oneLine(server) +
           " AT " + std::string(stamp);
}

std::string cancelEntry(std::string_view user, std::string_view server, std::string_view stamp) {
    return "OPERATION CANCELED FOR " + oneLine(user) + " ON " + oneLine(server) + " AT " +
           std::string(stamp);
}

std::string automaticModeEntry(bool enabled, std::string_view stamp) {
    return std::string("Automatic mode ") + (enabled ? "enabled" : "disabled") + " at " +
           std::string(stamp);
}

std::vector<std::string> deletionEntry(const DeletedMessage& m, std::string_view stamp) {
    return {
        "DELETE SPAM on " + std::string(stamp),
        "   Server:  " + oneLine(m.server) + " Mailbox: " + oneLine(m.user),
        "   Subject: " + oneLine(m.subject),
        "   Sender:  " + oneLine(m.sender),
        "   Size:    " + oneLine(m.size) + "  Date: " + oneLine(m.date),
    };
}

std::string logStamp(DateTime when, const RegionalSettings& regional) {
    return formatDateTime("ddd ddddd t", when, regional);
}

std::filesystem::path workOutLogName(const std::filesystem::path& field, LogNaming naming,
                                     const std::filesystem::path& programDir, DateTime now,
                                     const RegionalSettings& regional) {
    std::filesystem::path name = field.empty() ? programDir / HomeFolder::kDefaultLogName : field;
    if (naming == LogNaming::Month)
        name = name.parent_path() /
               (formatDateTime("mmm", now, regional) + twoDigitYear(now) + ".txt");
    if (naming == LogNaming::Quarter) {
        int quarter = (decodeDate(now).month - 1) / 3 + 1;
        name =
            name.parent_path() / ("Q" + std::to_string(quarter) + "_" + twoDigitYear(now) + ".txt");
    }
    return name;
}

void ActivityLog::setPath(std::filesystem::path path) {
    m_path = std::move(path);
    m_naming.reset();
}

void ActivityLog::setNaming(std::filesystem::path field, LogNaming naming,
                            std::filesystem::path programDir) {
    m_path.clear();
    m_naming.reset();
    if (!trim(field.string()).empty())
        m_naming = Naming{std::move(field), naming, std::move(programDir)};
}

std::filesystem::path ActivityLog::path() const {
    if (!m_naming) return m_path;
    return workOutLogName(m_naming->field, m_naming->naming, m_naming->programDir, m_clock.now(),
                          m_regional);
}

void ActivityLog::writeCheck(int count, std::string_view user, std::string_view server) {
    append({checkEntry(count, user, server, stamp())});
}

void ActivityLog::writeError(std::string_view message, std::string_view user,
                             std::string_view server) {
    append({errorEntry(message, user, server, stamp())});
}

void ActivityLog::writeCancel(std::string_view user, std::string_view server) {
    append({cancelEntry(user, server, stamp())});
}

void ActivityLog::writeAutomaticMode(bool enabled) {
    append({automaticModeEntry(enabled, stamp())});
}

void ActivityLog::writeDeletions(const std::vector<std::vector<std::string>>& entries) {
    std::vector<std::string> lines;
    for (const auto& entry : entries)
        lines.insert(lines.end(), entry.begin(), entry.end());
    if (!lines.empty()) append(lines);
}

bool ActivityLog::append(const std::vector<std::string>& lines) {
    std::filesystem::path path = this->path();
    if (path.empty()) return true;
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    // Mail subjects and senders are private: the log is the owner's alone. Non-blocking, so that a
    // FIFO in the log's place fails at once instead of holding the program until a reader comes.
    std::string failure;
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
                    0600);
    if (fd < 0) {
        failure = errno == ENXIO ? kNotRegular : std::strerror(errno);
    } else {
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
            failure = kNotRegular;
        else if (!writeAll(fd, text))
            failure = std::strerror(errno);
        if (::close(fd) != 0 && failure.empty()) failure = std::strerror(errno);
    }
    if (failure.empty()) {
        m_reportedPath.clear();
        return true;
    }
    if (path != m_reportedPath && m_report)
        m_report("Unable to write to " + path.string() + ": " + failure);
    m_reportedPath = path;
    return false;
}

} // namespace mv
