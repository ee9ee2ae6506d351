// SPDX-License-Identifier: GPL-3.0-or-later
// A keyring asked aside: each call runs on a thread of its own while the caller's wait callback
// keeps running, and its answer comes back as from a direct call.
#include "app/settings/PasswordKeyring.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace mv {
namespace {

// Answers only once its gate is open (or after five seconds without, with nothing), the way a
// keyring waits on its unlock prompt.
class GatedKeyring final : public PasswordKeyring {
public:
    std::atomic<bool> gate{false};
    std::vector<std::string> calls;

    bool available() const override { return true; }
    bool store(const std::filesystem::path&, int mailbox, const std::string& password) override {
        return waitForGate() && record("store " + std::to_string(mailbox) + " " + password);
    }
    std::optional<std::string> lookup(const std::filesystem::path&, int mailbox) override {
        if (!waitForGate()) return std::nullopt;
        record("lookup " + std::to_string(mailbox));
        return "secret";
    }
    void remove(const std::filesystem::path&, int mailbox) override {
        if (waitForGate()) record("remove " + std::to_string(mailbox));
    }

private:
    bool waitForGate() {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!gate && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        bool open = gate.exchange(false); // each call needs the caller to wait again
        return open;
    }
    bool record(const std::string& call) {
        calls.push_back(call);
        return true;
    }
};

TEST(KeyringCalledAside, EachCallAnswersWhileTheCallerKeepsWaitingLive) {
    auto gated = std::make_shared<GatedKeyring>();
    int waits = 0;
    // Run on the caller's thread between the checks: it opens the gate the call waits behind,
    // so a call made on the caller's own thread would wait in vain.
    auto keyring = keyringCalledAside(gated, [&] {
        ++waits;
        gated->gate = true;
    });
    EXPECT_TRUE(keyring->store("s.ini", 2, "pw"));
    EXPECT_EQ(keyring->lookup("s.ini", 2), "secret");
    keyring->remove("s.ini", 2);
    EXPECT_EQ(gated->calls, (std::vector<std::string>{"store 2 pw", "lookup 2", "remove 2"}));
    EXPECT_GE(waits, 3);
    EXPECT_EQ(keyringCalledAside(nullptr, [] {}), nullptr); // no keyring stays none
}

} // namespace
} // namespace mv
