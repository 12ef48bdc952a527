// The engine's own waits, read from a test clock that moves at once when the
// engine sleeps and not at all while the network works: lookup's pause after a
// fetch, Retry-After, the pace after errors, waits cut to --max-wait, the grace
// after a stop and the ticks of the progress. None waits on the wall clock.
#include "batch/batchsettings.h"
#include "batch/lookuprun.h"
#include "batch/pagebatch.h"
#include "batch/runobserver.h"
#include "batch/sitesource.h"
#include "core/siteconfig.h"
#include "retrieval/requesturl.h"
#include "site/loopbackhttpserver.h"
#include "tests/batch/scriptedsite.h"
#include "tests/batch/testclock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <thread>

namespace zd {
namespace {

using namespace std::chrono_literals;
using test::Answer;
using test::ScriptedSite;
using test::TestClock;

// lookup over the site's pages, with its --delay in seconds.
int lookupWithDelay(const QStringList& entries, double delaySeconds, const BatchSettings& settings,
                    RunObserver& observer)
{
    SiteSource source(settings, std::chrono::milliseconds(qint64(delaySeconds * 1000)));
    return runLookup(source, entries, observer);
}

class Messages : public RunObserver {
public:
    void output(const QString& text) override { outputs.append(text); }
    bool outputFailed() override { return false; }
    void message(const QString& text) override { messages.append(text); }
    QStringList outputs;
    QStringList messages;
};

// Keeps the clock's seconds of every progress report, and the entries' order.
class Ticks : public PageBatchObserver {
public:
    void entryReady(qsizetype index, const PageResult* page) override
    {
        order.append(index);
        whole = whole && page && page->outcome.complete;
    }
    void progress(const BatchProgress& progress) override { seconds.append(progress.seconds); }
    QList<qsizetype> order;
    bool whole = true;
    QList<double> seconds;
};

QList<std::optional<QString>> addresses(const QStringList& zips)
{
    QList<std::optional<QString>> urls;
    for (const QString& zip : zips)
        urls.append(requestUrl(zip));
    return urls;
}

QStringList zipRange(int first, int count)
{
    QStringList zips;
    for (int zip = first; zip < first + count; ++zip)
        zips.append(QString::number(zip));
    return zips;
}

QList<double> gaps(const QList<double>& times)
{
    QList<double> between;
    for (qsizetype i = 1; i < times.size(); ++i)
        between.append(times[i] - times[i - 1]);
    return between;
}

BatchSettings unpacedWith(TestClock& clock)
{
    BatchSettings settings;
    settings.jobs = 1;
    settings.rate = 0;
    settings.retries = 0;
    settings.retryBase = 1ms;
    settings.clock = &clock;
    return settings;
}

// Raises a stop flag should the batch it guards still run after a generous real
// time: a batch that turns round without waiting ends then instead of hanging.
class HangGuard {
public:
    explicit HangGuard(std::atomic<int>& stop)
        : m_thread([this, &stop] {
              std::unique_lock lock(m_mutex);
              if (!m_done.wait_for(lock, std::chrono::seconds(20), [this] { return m_finished; }))
                  stop = SIGTERM;
          })
    {
    }
    ~HangGuard()
    {
        {
            std::lock_guard lock(m_mutex);
            m_finished = true;
        }
        m_done.notify_one();
        m_thread.join();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_thread;
};

// With one job, the wait after each fetch is what the desktop program does,
// except after the last fetch, which nothing follows.
TEST(EngineTime, LookupWaitsItsDelayAfterEachFetchButTheLast)
{
    TestClock clock;
    ScriptedSite site(&clock);
    Messages observer;
    lookupWithDelay(QStringList{"11111", "22222", "33333"}, 1.0, unpacedWith(clock), observer);

    ASSERT_EQ(observer.outputs.size(), 3);
    const QList<double> starts = site.arrivals();
    ASSERT_EQ(starts.size(), 3);
    EXPECT_EQ(gaps(starts), (QList<double>{1.0, 1.0}));
    EXPECT_DOUBLE_EQ(clock.seconds(), starts.last()) << "a pause after the last fetch";
}

TEST(EngineTime, RetryAfterIsWaitedForWhenLongerThanTheBackOff)
{
    TestClock clock;
    ScriptedSite site(&clock);
    site.script("42900", {0ms, {429, 200}, {{"Retry-After", "2"}}});
    PageBatchOptions options;
    options.fetch.rate = 0;
    options.fetch.retry.base = 1ms;
    options.fetch.clock = &clock;
    Ticks observer;
    EXPECT_EQ(fetchPageBatch(addresses({"42900"}), options, observer).end, PageBatchEnd::Done);
    EXPECT_TRUE(observer.whole);
    EXPECT_EQ(gaps(site.arrivalsFor("42900")), QList<double>{2.0}) << "the back-off alone would be 1 ms";
}

// Errors raise a floor under the pace; runs of good answers halve it until it is gone.
TEST(EngineTime, AfterEarlyErrorsTheGapsShrinkBackOnceAnswersAreGood)
{
    TestClock clock;
    ScriptedSite site(&clock);
    const QStringList failing = {"00429", "00503", "00500", "00502", "00504", "00408"};
    for (const QString& zip : failing)
        site.script(zip, {0ms, {zip.right(3).toInt()}});
    const QStringList good = zipRange(10000, 40);
    Messages observer;
    lookupWithDelay(failing + good, 0, unpacedWith(clock), observer);

    const QList<double> between = gaps(site.arrivals());
    ASSERT_EQ(between.size(), failing.size() + good.size() - 1);
    const qsizetype firstGood = failing.size() - 1;  // the gap before the first good answer
    for (qsizetype i = 1; i < firstGood; ++i)
        EXPECT_GT(between[i], between[i - 1]) << "the floor grows with each error";
    for (qsizetype i = firstGood; i < firstGood + 5; ++i)
        EXPECT_GE(between[i], 0.15) << "gap " << i;
    for (qsizetype i = between.size() - 15; i < between.size(); ++i)
        EXPECT_EQ(between[i], 0.0) << "gap " << i << ": as fast as the site answers";
}

// A site asking for waits of more than a day is granted --max-wait, and the
// run names both waits.
TEST(EngineTime, RetryAfterAndCrawlDelayBeyondTheLongestWaitAreCutAndNamed)
{
    TestClock clock;
    ScriptedSite site(&clock);
    site.setRobots(200, "User-agent: *\nCrawl-delay: 100000\n");
    site.script("11111", {0ms, {429, 200}, {{"Retry-After", "100000"}}});
    BatchSettings settings = unpacedWith(clock);
    settings.retries = 3;
    settings.maxWait = 1s;
    Messages observer;
    lookupWithDelay(QStringList{"11111", "22222"}, 0, settings, observer);

    EXPECT_EQ(observer.outputs.size(), 2);
    const QString said = observer.messages.join('\n');
    EXPECT_TRUE(said.contains("warning: robots.txt asks for a Crawl-delay of 100000 s; waiting 1 s between "
                              "requests, the --max-wait")) << said.toStdString();
    EXPECT_TRUE(said.contains("warning: the site asked to wait 100000 s before asking again for " + requestUrl("11111")
                              + " (Retry-After); waiting 1 s, the --max-wait")) << said.toStdString();
    const QList<double> starts = site.arrivals();
    ASSERT_EQ(starts.size(), 3);
    EXPECT_EQ(gaps(starts), (QList<double>{1.0, 1.0}));
    EXPECT_DOUBLE_EQ(clock.seconds(), 3.0) << "robots.txt, then three requests a second apart";
}

// Entries behind a page that waits out a long Retry-After fill the reorder
// window; the batch then sleeps until the retry is due, ticking on, instead of
// turning round and round.
TEST(EngineTime, AFullWindowBehindARetrySleepsAndTicksUntilTheRetryIsDue)
{
    TestClock clock;
    ScriptedSite site(&clock);
    site.script("10000", {0ms, {429, 200}, {{"Retry-After", "30"}}});
    PageBatchOptions options;
    options.fetch.jobs = 4;
    options.fetch.rate = 0;
    options.fetch.retry.base = 1ms;
    options.fetch.clock = &clock;
    std::atomic<int> stop{0};
    options.fetch.stop = &stop;
    Ticks observer;
    const PageBatchReport report = [&] {
        HangGuard guard(stop);
        return fetchPageBatch(addresses(zipRange(10000, 100)), options, observer);
    }();

    EXPECT_EQ(report.end, PageBatchEnd::Done);
    EXPECT_TRUE(observer.whole);
    ASSERT_EQ(observer.order.size(), 100);
    EXPECT_TRUE(std::is_sorted(observer.order.begin(), observer.order.end()));
    EXPECT_EQ(gaps(site.arrivalsFor("10000")), QList<double>{30.0});
    const QList<double> starts = site.arrivals();
    const auto beforeTheRetry = std::count_if(starts.begin(), starts.end(), [](double at) { return at < 30.0; });
    EXPECT_GE(beforeTheRetry, 16 + 4 * 4);
    EXPECT_LE(beforeTheRetry, 1 + 16 + 4 * 4 + 4) << "pages beyond the window were fetched meanwhile";
    EXPECT_LT(clock.sleeps(), 1000) << "the wait was not slept";
    const QList<double> between = gaps(observer.seconds);
    ASSERT_FALSE(between.isEmpty());
    EXPECT_LE(*std::max_element(between.begin(), between.end()), 0.1 + 1e-9) << "fewer than ten ticks a second";
    EXPECT_GE(observer.seconds.last(), 30.0);
}

// A transfer still in flight at a stop gets five seconds of the clock to end,
// then is given up, and the batch says it stopped.
TEST(EngineTime, ATransferThatDoesNotEndIsGivenUpAfterTheGraceAfterAStop)
{
    TestClock clock(100);  // a real millisecond on the network: a tenth of a second
    std::atomic<int> stop{0};
    std::atomic<double> raisedAt{0};
    LoopbackHttpServer server([&](const HttpRequest&, HttpConnection& connection) {
        raisedAt = clock.seconds();
        stop = SIGTERM;
        connection.stall(60s);  // until the server stops
    });
    ASSERT_TRUE(server.listen());
    setDemographicsHostOverride(QString::fromLatin1(server.hostAndPort()));
    PageBatchOptions options;
    options.ignoreRobots = true;
    options.fetch.stop = &stop;
    options.fetch.clock = &clock;
    Ticks observer;
    const PageBatchReport report = fetchPageBatch(addresses({"10000", "10001"}), options, observer);
    setDemographicsHostOverride({});
    server.stop();

    EXPECT_EQ(report.end, PageBatchEnd::Stopped);
    EXPECT_TRUE(observer.order.isEmpty());
    EXPECT_EQ(server.requests().size(), 1) << "a transfer started after the stop";
    EXPECT_GE(clock.seconds() - raisedAt, 5.0);
    EXPECT_LE(clock.seconds() - raisedAt, 5.0 + 0.2) << "the stop was noticed late, or the grace outlasted";
}

}  // namespace
}  // namespace zd
