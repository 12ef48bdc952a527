// The pace of a long run as the site sees it: slower after errors, back to the
// rate's own once the answers are good again; waits the site asks for kept
// within --max-wait and named.
#include "site/loopbackhttpserver.h"
#include "tests/support/clirun.h"
#include "tests/support/sitelog.h"
#include "tests/support/siteprocess.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

namespace zd::test {
namespace {

// When each page request arrived, by the site's log, in order of arrival.
QList<qint64> arrivalsMs(const QString& logPath)
{
    QList<qint64> arrivals;
    for (const SiteLogLine& line : readSiteLog(logPath)) {
        if (line.target.startsWith("/index.php"))
            arrivals.append(line.arrived.toMSecsSinceEpoch());
    }
    std::sort(arrivals.begin(), arrivals.end());
    return arrivals;
}

qint64 medianGap(const QList<qint64>& arrivals, qsizetype from, qsizetype to)
{
    QList<qint64> gaps;
    for (qsizetype i = from + 1; i < to; ++i)
        gaps.append(arrivals[i] - arrivals[i - 1]);
    std::sort(gaps.begin(), gaps.end());
    return gaps[gaps.size() / 2];
}

TEST(Pace, AfterEarlyErrorsTheGapsShrinkBackOnceAnswersAreGood)
{
    QTemporaryDir folder;
    const QString log = folder.filePath("site.log");
    QStringList entries = {"00429", "00503", "00104", "00002", "00310", "00430"};  // an error each, no retries
    for (int zip = 10000; zip < 10040; ++zip)
        entries.append(QString::number(zip));
    {
        SiteProcess site({"--every-zip", "--log", log});
        const ChildRun run = runCli(QStringList{"lookup", "--site", site.host(), "--jobs", "1",
                                                                     "--rate", "0", "--delay", "0", "--retries", "0",
                                                                     "--quiet"} + entries);
        EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    }
    const QList<qint64> arrivals = arrivalsMs(log);
    ASSERT_GE(arrivals.size(), 40 + 6);
    const qsizetype firstGood = arrivals.size() - 40;
    // After the errors the floor holds each start back (0.2 s and more) ...
    EXPECT_GE(medianGap(arrivals, firstGood, firstGood + 5), 150);
    // ... and after a few runs of good answers it is gone: as fast as the site answers.
    EXPECT_LE(medianGap(arrivals, arrivals.size() - 15, arrivals.size()), 60);
}

// A site asking for a wait of more than a day is granted --max-wait and named.
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
    const ChildRun run = runCli({"lookup", "--site", QString(server.hostAndPort()), "--delay",
                                                      "0", "--max-wait", "1", "--quiet", "11111", "22222"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "11111\tSomewhere\n22222\tSomewhere\n");
    EXPECT_TRUE(run.err.contains("warning: robots.txt asks for a Crawl-delay of 100000 s; waiting 1 s")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("warning: the site asked to wait 100000 s before asking again for http://"))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("(Retry-After); waiting 1 s, the --max-wait")) << run.err.toStdString();
    EXPECT_LT(run.seconds, 20);
    EXPECT_EQ(tries, 3);
}

}  // namespace
}  // namespace zd::test
