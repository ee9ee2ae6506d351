#pragma once
// Tests against real servers (Dovecot, dnsmasq, a Secret Service) skip on a desktop without them,
// but under CI (the CI variable set) a missing server means the runner is broken: there they fail
// instead, so a green run cannot hide that the real-server tests never ran.
#include <cstdlib>
#include <gtest/gtest.h>

namespace mv::test {

inline bool serversRequired() {
    const char* ci = std::getenv("CI");
    return ci != nullptr && *ci != '\0';
}

} // namespace mv::test

// Returns from the calling test (or SetUp): a failure under CI, a skip elsewhere.
#define MV_SKIP_WITHOUT_SERVER(reason)                                                             \
    do {                                                                                           \
        if (::mv::test::serversRequired()) GTEST_FAIL() << (reason);                               \
        GTEST_SKIP() << (reason);                                                                  \
    } while (false)
