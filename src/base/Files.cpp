#include "base/Files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace mv {

namespace {
[[noreturn]] void fail(const std::string& what, const std::filesystem::path& path, int err) {
    throw FileError(what + " " + path.string() + ": " + std::strerror(err));
}

void writeAll(int fd, std::string_view content, const std::filesystem::path& path) {
    while (!content.empty()) {
        ssize_t n = ::write(fd, content.data(), content.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            fail("Unable to write to", path, errno);
        }
        content.remove_prefix(static_cast<std::size_t>(n));
    }
}

// A path that is a symbolic link (a dotfile manager's link into its repository) names the file to
// rewrite: replacing the link by a plain file would cut it off from its target.
std::filesystem::path linkTarget(std::filesystem::path path) {
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(path, ec)) return path;
        std::filesystem::path next = std::filesystem::read_symlink(path, ec);
        if (ec) fail("Unable to write to", path, ec.value());
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    fail("Unable to write to", path, ELOOP);
}

// The new file keeps the old one's permissions; a file holding passwords is never readable by
// anyone but its owner.
mode_t finalMode(const std::filesystem::path& target, bool privateFile) {
    struct stat info {};
    mode_t mode = ::stat(target.c_str(), &info) == 0 ? info.st_mode & 07777 : 0644;
    return privateFile ? (mode & 0700) | 0600 : mode;
}

// The temporary's name: the target's followed by this and 16 lower-case hexadecimal digits.
constexpr const char* kTemporaryMark = ".tmp";
constexpr std::size_t kTemporaryDigits = 16;

bool isTemporaryName(std::string_view name) {
    const std::string_view mark = kTemporaryMark;
    if (name.size() <= mark.size() + kTemporaryDigits) return false;
    const std::size_t digitsAt = name.size() - kTemporaryDigits;
    auto lowerHex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); };
    return name.substr(0, digitsAt).ends_with(mark) &&
           std::all_of(name.begin() + static_cast<std::ptrdiff_t>(digitsAt), name.end(), lowerHex);
}

// A new file beside the target under a name nobody can guess, created exclusively and never
// through a link: a file or link planted under a predictable name cannot catch the content.
std::pair<int, std::filesystem::path> createTemporary(const std::filesystem::path& target,
                                                      mode_t mode) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0; attempt < 16; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, "%s%016llx", kTemporaryMark,
                      static_cast<unsigned long long>(random()));
        std::filesystem::path temp = target;
        temp += suffix;
        int fd =
            ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode & 0777);
        if (fd >= 0) return {fd, temp};
        if (errno != EEXIST) fail("Unable to write to", target, errno);
    }
    fail("Unable to write to", target, EEXIST);
}

// The rename lives in the folder: without this a crash can bring the old file back. The new
// content is in place by now, so a folder that cannot be synced is no reason to report failure.
void syncFolder(const std::filesystem::path& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}
} // namespace

FileStamp fileStamp(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return {};
    auto ns = [](const timespec& t) { return t.tv_sec * 1000000000LL + t.tv_nsec; };
    return {true, info.st_dev, info.st_ino, info.st_size, ns(info.st_mtim), ns(info.st_ctim)};
}

bool fileExists(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

std::optional<std::string> readFile(const std::filesystem::path& path, std::size_t maxBytes) {
    // Non-blocking, so that opening a FIFO planted in the file's place returns at once; the
    // descriptor is then refused as no regular file before anything is read from it.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return std::nullopt;
        fail("Unable to read", path, errno);
    }
    auto refuse = [&](const std::string& why) {
        ::close(fd);
        throw FileError("Unable to read " + path.string() + ": " + why);
    };
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        int err = errno;
        ::close(fd);
        fail("Unable to read", path, err);
    }
    if (S_ISDIR(info.st_mode)) refuse("it is a folder, not a file");
    if (!S_ISREG(info.st_mode)) refuse("it is not a regular file");
    const std::string tooLarge = "it is larger than " + std::to_string(maxBytes) + " bytes";
    if (static_cast<unsigned long long>(info.st_size) > maxBytes) refuse(tooLarge);
    std::string data;
    data.reserve(static_cast<std::size_t>(info.st_size)); // one allocation for big files
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            int err = errno;
            ::close(fd);
            fail("Unable to read", path, err);
        }
        if (n == 0) break;
        // A file that grows while it is read is bounded all the same.
        if (data.size() + static_cast<std::size_t>(n) > maxBytes) refuse(tooLarge);
        data.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return data;
}

void removeStaleTemporaries(const std::filesystem::path& folder, std::chrono::seconds minimumAge) {
    std::error_code ec;
    const auto now = std::filesystem::file_time_type::clock::now();
    for (auto it = std::filesystem::directory_iterator(folder, ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        std::error_code entryError;
        if (!isTemporaryName(it->path().filename().string()) ||
            it->symlink_status(entryError).type() != std::filesystem::file_type::regular)
            continue;
        const auto changed = std::filesystem::last_write_time(it->path(), entryError);
        if (!entryError && now - changed >= minimumAge)
            std::filesystem::remove(it->path(), entryError);
    }
}

void writeFileAtomically(const std::filesystem::path& path, std::string_view content,
                         bool privateFile) {
    std::filesystem::path target = linkTarget(path);
    mode_t mode = finalMode(target, privateFile);
    auto [fd, temp] = createTemporary(target, mode);
    try {
        // Set exactly, as the umask may have narrowed the mode the file was created with.
        if (::fchmod(fd, mode) != 0) fail("Unable to write to", path, errno);
        writeAll(fd, content, path);
        if (::fsync(fd) != 0) fail("Unable to write to", path, errno);
    } catch (...) {
        ::close(fd);
        ::unlink(temp.c_str());
        throw;
    }
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        fail("Unable to write to", path, err);
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        fail("Unable to write to", path, err);
    }
    syncFolder(target.parent_path());
}

} // namespace mv
