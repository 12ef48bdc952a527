// The command line's --max-wait reaches the batch: waits the site asks for are
// cut to it and named. (How the engine paces and waits is tested in process, on
// a test clock: tests/batch/enginetime_test.cpp.)
#include "site/loopbackhttpserver.h"
#include "tests/support/clirun.h"

#include <gtest/gtest.h>

#include <atomic>

namespace zd::test {
namespace {

// A site asking for a wait of more than a day is granted --max-wait and named;
// a --max-wait of none keeps the run from waiting at all.
TEST(Pace, RetryAfterAndCrawlDelayBeyondTheLongestWaitAreCutAndNamed)
{
    std::atomic<int> tries{0};
    LoopbackHttpServer server([&](const HttpRequest& request, HttpConnection& connection) {
        if (request.target.startsWith("/robots.txt"))
            connection.sendResponse(200, "User-agent: *\nCrawl-delay: 100000\n", "text/plain");
        else if (tries++ == 0)
            connection.sendResponse(429, "later", "text/plain", {{"Retry-After", "100000"}});
        else
            connection.sendResponse(200, "<p>(x)</p><td>(Somewhere)</td>");
    });
    ASSERT_TRUE(server.listen());
    const ChildRun run = runCli({"lookup", "--site", QString(server.hostAndPort()), "--rate", "0", "--delay",
                                                      "0", "--max-wait", "0", "--quiet", "11111", "22222"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "11111\tSomewhere\n22222\tSomewhere\n");
    EXPECT_TRUE(run.err.contains("warning: robots.txt asks for a Crawl-delay of 100000 s; waiting 0 s")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("warning: the site asked to wait 100000 s before asking again for http://"))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("(Retry-After); waiting 0 s, the --max-wait")) << run.err.toStdString();
    EXPECT_LT(run.seconds, 20);
    EXPECT_EQ(tries, 3);
}

}  // namespace
}  // namespace zd::test
