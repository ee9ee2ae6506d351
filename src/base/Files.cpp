#include "base/Files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
} // namespace

bool fileExists(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

std::optional<std::string> readFile(const std::filesystem::path& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return std::nullopt;
        fail("Unable to read", path, errno);
    }
    std::string data;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) // one allocation for big files
        data.reserve(static_cast<std::size_t>(info.st_size));
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
        data.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return data;
}

void writeFileAtomically(const std::filesystem::path& path, std::string_view content,
                         bool privateFile) {
    std::filesystem::path temp = path;
    temp += ".tmp" + std::to_string(::getpid());
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                    privateFile ? 0600 : 0644);
    if (fd < 0) fail("Unable to write to", path, errno);
    try {
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
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        fail("Unable to write to", path, err);
    }
}

} // namespace mv
