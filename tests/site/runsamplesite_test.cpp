// The sample site's run inside a process that goes on afterwards.
#include "site/runsamplesite.h"

#include <gtest/gtest.h>

#include <csignal>
#include <pthread.h>

#include <thread>

namespace zd {
namespace {

bool isBlocked(int signal)
{
    sigset_t mask;
    pthread_sigmask(SIG_BLOCK, nullptr, &mask);
    return sigismember(&mask, signal) == 1;
}

TEST(RunSampleSite, StopsOnASignalAndHandsBackTheCallersSignalMask)
{
    int status = -1;
    bool sigintBlockedAfter = true;
    bool sigtermBlockedAfter = false;
    std::thread runner([&] {
        // SIGTERM waits, blocked, for the site to take it; SIGINT is not blocked
        // here and must not stay blocked once the site has stopped.
        sigset_t sigterm;
        sigemptyset(&sigterm);
        sigaddset(&sigterm, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &sigterm, nullptr);
        pthread_kill(pthread_self(), SIGTERM);
        status = runSampleSite({});
        sigintBlockedAfter = isBlocked(SIGINT);
        sigtermBlockedAfter = isBlocked(SIGTERM);
    });
    runner.join();
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(sigintBlockedAfter);
    EXPECT_TRUE(sigtermBlockedAfter);
}

TEST(RunSampleSite, AUsageErrorEndsWithStatusTwoWithoutServing)
{
    EXPECT_EQ(runSampleSite({"--latency", "-5"}), 2);
    EXPECT_EQ(runSampleSite({"stray"}), 2);
    EXPECT_FALSE(isBlocked(SIGINT));
}

}  // namespace
}  // namespace zd
