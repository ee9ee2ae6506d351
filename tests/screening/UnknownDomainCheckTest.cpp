#include "ScreeningHarness.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

using test::message;
using test::Screener;

class UnknownDomainTest : public ::testing::Test {
protected:
    Screener s;
    void SetUp() override {
        s.rules.options().checkDomains = true;
        s.resolver.answers["gone.test"] = DomainAnswer::DoesNotExist;
        s.resolver.answers["GONE.test"] = DomainAnswer::DoesNotExist;
        s.resolver.answers["down.test"] = DomainAnswer::CouldNotCheck;
    }
    const std::string& count() const { return s.rules.options().unknownDomainCount; }
};

TEST_F(UnknownDomainTest, OnlyTheReplyToDomainIsTestedWhenPresent) {
    EXPECT_EQ(s.mark(message({"From: a@gone.test", "Reply-To: b@fine.test"})), kMarkNone);
    EXPECT_EQ(s.resolver.asked, (std::vector<std::string>{"fine.test"}));
    EXPECT_EQ(s.mark(message({"From: a@fine.test", "Reply-To: Joe <b@gone.test>"})), kMarkQuestion);
    EXPECT_EQ(s.mark(message({"From: x@GONE.test"})), kMarkQuestion);
    EXPECT_EQ(count(), "1");
}

TEST_F(UnknownDomainTest, NoAddressNoLookUp) {
    EXPECT_EQ(s.mark(message({"Subject: hi"})), kMarkNone);
    EXPECT_EQ(s.mark(message({"From: \"Name only\" <>", "Reply-To:"})), kMarkNone);
    EXPECT_TRUE(s.resolver.asked.empty());
}

TEST_F(UnknownDomainTest, EachDomainIsAskedOnceWhateverItsCase) {
    s.mark(message({"From: a@GONE.test"}));
    s.mark(message({"From: b@gone.TEST"}));
    s.mark(message({"From: c@Fine.test"}));
    s.mark(message({"From: d@fine.TEST"}));
    EXPECT_EQ(s.resolver.asked, (std::vector<std::string>{"GONE.test", "Fine.test"}));
    EXPECT_EQ(count(), "1");
}

TEST_F(UnknownDomainTest, FailedLookUpLeavesTheMessageAloneForTheRun) {
    EXPECT_EQ(s.mark(message({"From: a@down.test"})), kMarkNone);
    EXPECT_EQ(s.mark(message({"From: b@down.test"})), kMarkNone);
    EXPECT_EQ(s.resolver.asked.size(), 1u);
    EXPECT_EQ(count(), "0");
    s.domains.startRun();
    s.resolver.answers["down.test"] = DomainAnswer::DoesNotExist;
    EXPECT_EQ(s.mark(message({"From: b@down.test"})), kMarkQuestion);
    EXPECT_EQ(count(), "1");
}

// An answer is kept for its DNS lifetime, at most an hour, and always for the run that asked.
TEST_F(UnknownDomainTest, AnswersExpireWithTheirLifetime) {
    using std::chrono::seconds;
    struct Case {
        DomainAnswer answer;
        seconds lifetime, later;
        bool askedAgain;
    } cases[] = {
        {DomainAnswer::DoesNotExist, seconds(300), seconds(299), false},
        {DomainAnswer::DoesNotExist, seconds(300), seconds(301), true},
        {DomainAnswer::DoesNotExist, seconds(86400), seconds(3601), true}, // capped at an hour
        {DomainAnswer::Exists, seconds(86400), seconds(3599), false},
        {DomainAnswer::Exists, seconds(0), seconds(0), true}, // not kept beyond its run
    };
    for (const Case& c : cases) {
        Screener fresh;
        fresh.rules.options().checkDomains = true;
        fresh.resolver.answers["flaky.test"] = c.answer;
        fresh.resolver.lifetimes["flaky.test"] = c.lifetime;
        fresh.mark(message({"From: a@flaky.test"}));
        fresh.mark(message({"From: b@flaky.test"})); // the same run: never asked twice
        fresh.domains.startRun();
        fresh.now += c.later;
        fresh.mark(message({"From: c@flaky.test"}));
        EXPECT_EQ(fresh.resolver.asked.size(), c.askedAgain ? 2u : 1u)
            << c.lifetime.count() << " s, " << c.later.count() << " s later";
    }
}

TEST_F(UnknownDomainTest, MarkFollowsTheOptionAndNeverLowersADelete) {
    s.rules.options().unknownDomainDeletes = true;
    EXPECT_EQ(s.mark(message({"From: a@gone.test"})), kMarkDelete);
    s.rules.options().unknownDomainDeletes = false;
    s.subject("Contains", "x", "No", "Yes");
    s.rules.options().checkDomains = true;
    MessageEntry m = message({"From: a@gone.test", "Subject: x"});
    EXPECT_EQ(s.mark(m), kMarkDelete);
}

TEST_F(UnknownDomainTest, AddressWithoutAtIsItsOwnDomain) {
    s.mark(message({"From: localhost"}));
    EXPECT_EQ(s.resolver.asked, (std::vector<std::string>{"localhost"}));
}

TEST_F(UnknownDomainTest, CheckSwitchedOffAsksNothing) {
    s.rules.options().checkDomains = false;
    EXPECT_EQ(s.mark(message({"From: a@gone.test"})), kMarkNone);
    EXPECT_TRUE(s.resolver.asked.empty());
}

TEST_F(UnknownDomainTest, CounterThatIsNoNumberRestarts) {
    s.rules.options().unknownDomainCount = "many";
    s.mark(message({"From: a@gone.test"}));
    EXPECT_EQ(count(), "1");
}

} // namespace
} // namespace mv
