#pragma once
// Whole-file reads and crash-safe rewrites. A rewrite goes to a temporary file in the same folder,
// is flushed to disk, then renamed over the target and the folder synced, so a crash or a full disk
// leaves either the old file or the new one, never half of one.
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace mv {

// A file that could not be read or written; the message names the file and the system's reason.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What tells one version of a file from another without reading it: a rewrite (a new file renamed
// over the old) changes the inode, an edit in place the size or the times. Equal for two missing
// files.
struct FileStamp {
    bool exists = false;
    unsigned long long device = 0, inode = 0;
    long long size = 0;
    long long modifiedNs = 0, changedNs = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file a path names (through links); a missing or unreadable file gives the
// missing stamp.
FileStamp fileStamp(const std::filesystem::path& path);

// Whether the path exists; false also when it cannot be examined (no permission), never throws.
bool fileExists(const std::filesystem::path& path);

// The most a whole-file read takes in by default: far above any settings, rule or list file, and
// the size limit of one message.
inline constexpr std::size_t kMaxFileBytes = std::size_t{256} << 20;

// The file's bytes, or empty when it does not exist. Throws FileError when it exists but cannot
// be read, when it is not a regular file (a link to one is fine) or when it holds more than
// `maxBytes`. Never waits: a FIFO or a device in the file's place is refused at once.
std::optional<std::string> readFile(const std::filesystem::path& path,
                                    std::size_t maxBytes = kMaxFileBytes);

// Removes, in `folder` only, the temporary files that writeFileAtomically left when its process
// was killed mid-write: those named as it names them and not changed for `minimumAge`, so that a
// rewrite another program is making just now is left alone. Failures are ignored: a leftover costs
// space, never data.
void removeStaleTemporaries(const std::filesystem::path& folder,
                            std::chrono::seconds minimumAge = std::chrono::seconds(60));

// Replaces the file's content atomically, keeping its permissions. `privateFile` makes it readable
// by the owner only (0600), for files that hold passwords or mail. A symbolic link is written
// through to its target and stays a link. Throws FileError; the old file is then intact.
void writeFileAtomically(const std::filesystem::path& path, std::string_view content,
                         bool privateFile = false);

} // namespace mv
