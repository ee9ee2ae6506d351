#include "net/HostLookup.h"

#include "net/NetErrors.h"

#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <netdb.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace mv {

namespace {

// Shared by the caller and the look-up thread; whichever finishes last frees it, so a caller that
// gives up (cancel, time-out) never waits for a slow name server.
struct PendingLookup {
    std::string host;
    std::string port;
    int pipe[2] = {-1, -1};
    std::atomic<bool> done{false};
    int error = 0;
    addrinfo* result = nullptr;

    ~PendingLookup() {
        if (result != nullptr) freeaddrinfo(result);
        for (int fd : pipe)
            if (fd >= 0) ::close(fd);
    }
};

addrinfo streamHints(int flags) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = flags;
    return hints;
}

HostLookupResult collect(int error, const addrinfo* list) {
    HostLookupResult out;
    if (error != 0) {
        out.status = IoStatus::Failed;
        out.message = error == EAI_SYSTEM ? errorText(errno) : gai_strerror(error);
        return out;
    }
    for (const addrinfo* a = list; a != nullptr; a = a->ai_next) {
        SocketAddress s;
        s.length = a->ai_addrlen;
        std::memcpy(&s.address, a->ai_addr, a->ai_addrlen);
        out.addresses.push_back(s);
    }
    if (out.addresses.empty()) {
        out.status = IoStatus::Failed;
        out.message = errorText(kErrResolvingHost);
    }
    return out;
}

HostLookupResult lookUpOnThread(const std::string& host, std::uint16_t port, WaitContext wait) {
    auto pending = std::make_shared<PendingLookup>();
    pending->host = host;
    pending->port = std::to_string(port);
    if (::pipe2(pending->pipe, O_CLOEXEC) != 0) return {IoStatus::Failed, {}, errorText(errno)};
    std::thread([pending] {
        addrinfo hints = streamHints(AI_ADDRCONFIG);
        pending->error =
            getaddrinfo(pending->host.c_str(), pending->port.c_str(), &hints, &pending->result);
        pending->done.store(true, std::memory_order_release);
        [[maybe_unused]] ssize_t n = ::write(pending->pipe[1], "x", 1);
    }).detach();
    switch (waitForSocket(pending->pipe[0], POLLIN, wait.hooks, wait.counter)) {
    case WaitOutcome::Canceled:
        return {IoStatus::Canceled, {}, {}};
    case WaitOutcome::TimedOut:
        return {IoStatus::TimedOut, {}, {}};
    case WaitOutcome::Ready:
        break;
    }
    if (!pending->done.load(std::memory_order_acquire))
        return {IoStatus::Failed, {}, errorText(kErrResolvingHost)};
    return collect(pending->error, pending->result);
}

} // namespace

HostLookupResult lookUpHost(const std::string& host, std::uint16_t port, WaitContext wait) {
    addrinfo hints = streamHints(AI_NUMERICHOST | AI_NUMERICSERV);
    addrinfo* list = nullptr;
    std::string service = std::to_string(port);
    int error = getaddrinfo(host.c_str(), service.c_str(), &hints, &list);
    if (error == EAI_NONAME) return lookUpOnThread(host, port, wait);
    HostLookupResult out = collect(error, list);
    if (list != nullptr) freeaddrinfo(list);
    return out;
}

std::string numericAddress(const sockaddr* address, socklen_t length) {
    char text[NI_MAXHOST];
    if (getnameinfo(address, length, text, sizeof text, nullptr, 0, NI_NUMERICHOST) != 0) return {};
    return text;
}

} // namespace mv
