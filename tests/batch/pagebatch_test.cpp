// The batch engine in process, against a site on loopback whose answers each test
// scripts: the order entries are handed over in, one fetch per distinct address,
// the caps on transfers and starts, retries, and a stop.
#include "batch/pagebatch.h"

#include "core/siteconfig.h"
#include "retrieval/requesturl.h"
#include "site/loopbackhttpserver.h"
#include "tests/batch/scriptedsite.h"
#include "tests/batch/testclock.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QString>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>

namespace zd {
namespace {

using namespace std::chrono_literals;

using test::Answer;
using test::ScriptedSite;
using test::TestClock;

// What the batch handed over, in the order it did.
class Recorder : public PageBatchObserver {
public:
    std::function<void(qsizetype)> onEntry;

    void entryReady(qsizetype index, const PageResult* page) override
    {
        indices.append(index);
        bodies.append(page ? std::optional<QString>(page->outcome.body) : std::nullopt);
        complete.append(page && page->outcome.complete);
        if (onEntry)
            onEntry(index);
    }

    void warning(const QString& text) override { warnings.append(text); }

    QList<qsizetype> indices;
    QList<std::optional<QString>> bodies;
    QList<bool> complete;
    QStringList warnings;
};

// Keeps each page's bytes as they came (an API's answers).
class BytesRecorder : public PageBatchObserver {
public:
    void entryReady(qsizetype, const PageResult* page) override
    {
        bytes.append(page->outcome.bytes);
        decoded.append(page->outcome.body);
        fromCache.append(page->fromCache);
    }
    void warning(const QString& text) override { warnings.append(text); }

    QList<QByteArray> bytes;
    QStringList decoded;
    QList<bool> fromCache;
    QStringList warnings;
};

// Unpaced and quick to retry, unless a test says otherwise.
PageBatchOptions fastOptions(int jobs)
{
    PageBatchOptions options;
    options.fetch.jobs = jobs;
    options.fetch.rate = 0;
    options.fetch.retry.retries = 0;
    options.fetch.retry.base = 1ms;
    return options;
}

QList<std::optional<QString>> addresses(const QStringList& zips)
{
    QList<std::optional<QString>> urls;
    for (const QString& zip : zips)
        urls.append(zip.isEmpty() ? std::nullopt : std::optional<QString>(requestUrl(zip)));
    return urls;
}

QString pageOf(const QString& zip) { return "<title>Page of " + zip + "</title>"; }

TEST(PageBatch, EntriesComeInInputOrderWhateverOrderTheirPagesArriveIn)
{
    ScriptedSite site;
    // The first pages are the slowest, so they finish last.
    site.script("10001", {300ms});
    site.script("10002", {200ms});
    site.script("10003", {100ms});
    Recorder recorder;
    const QStringList zips{"10001", "10002", "10003", "10004"};
    const PageBatchReport report = fetchPageBatch(addresses(zips), fastOptions(4), recorder);

    EXPECT_EQ(report.end, PageBatchEnd::Done);
    EXPECT_EQ(recorder.indices, (QList<qsizetype>{0, 1, 2, 3}));
    for (qsizetype i = 0; i < zips.size(); ++i)
        EXPECT_EQ(recorder.bodies[i], pageOf(zips[i])) << i;
    EXPECT_GE(site.mostAtOnce(), 2) << "the pages were not fetched side by side";
}

TEST(PageBatch, EachDistinctAddressIsFetchedOnceAndEntriesWithoutOneGetNoPage)
{
    ScriptedSite site;
    Recorder recorder;
    const QStringList zips{"20001", "20002", "20001", "", "20002", "20003", "20001"};
    const PageBatchReport report = fetchPageBatch(addresses(zips), fastOptions(3), recorder);

    EXPECT_EQ(report.end, PageBatchEnd::Done);
    EXPECT_EQ(site.pageRequests().size(), 3);
    for (const QString& zip : QStringList{"20001", "20002", "20003"})
        EXPECT_EQ(site.requestsFor(zip), 1) << zip.toStdString();
    ASSERT_EQ(recorder.bodies.size(), zips.size());
    EXPECT_EQ(recorder.bodies[3], std::nullopt);
    EXPECT_EQ(recorder.bodies[6], pageOf("20001"));
    EXPECT_EQ(report.progress.done, zips.size());
    EXPECT_EQ(report.progress.total, zips.size());
}

TEST(PageBatch, NeverMoreTransfersAtOnceThanJobsNorMoreStartsThanTheRateAllows)
{
    ScriptedSite site;
    QStringList zips;
    for (int i = 0; i < 8; ++i) {
        zips.append(QStringLiteral("3000%1").arg(i));
        site.script(zips.last(), {150ms});
    }
    Recorder recorder;
    fetchPageBatch(addresses(zips), fastOptions(2), recorder);
    EXPECT_EQ(site.mostAtOnce(), 2);

    TestClock clock;
    ScriptedSite paced(&clock);
    PageBatchOptions options = fastOptions(4);
    options.fetch.rate = 10;  // a start every 100 ms at most
    options.fetch.clock = &clock;
    Recorder pacedRecorder;
    fetchPageBatch(addresses(zips), options, pacedRecorder);
    const QList<double> starts = paced.arrivals();
    ASSERT_EQ(starts.size(), zips.size());
    // The network takes no time on this clock: each start (robots.txt's the
    // first) comes when the pace allows, not later.
    for (qsizetype i = 0; i < starts.size(); ++i)
        EXPECT_NEAR(starts[i], 0.1 * double(i + 1), 1e-6) << "request " << i;
}

TEST(PageBatch, TransientAnswersAreTriedAgainAfterTheBackOffAndFinalOnesAreNot)
{
    TestClock clock;
    ScriptedSite site(&clock);
    site.script("40001", {0ms, {503, 503, 200}});  // busy twice, then the page
    site.script("40002", {0ms, {404}});            // an answer, if not a welcome one
    site.script("40003", {0ms, {503}});            // busy for good
    PageBatchOptions options = fastOptions(2);
    options.fetch.retry.retries = 3;
    options.fetch.retry.base = 1s;
    options.fetch.clock = &clock;
    Recorder recorder;
    const PageBatchReport report = fetchPageBatch(addresses({"40001", "40002", "40003"}), options, recorder);

    EXPECT_EQ(site.requestsFor("40001"), 3);
    EXPECT_EQ(recorder.bodies[0], pageOf("40001"));
    EXPECT_TRUE(recorder.complete[0]);
    EXPECT_EQ(site.requestsFor("40002"), 1);
    EXPECT_TRUE(recorder.complete[1]);
    EXPECT_EQ(site.requestsFor("40003"), 4) << "one try and three retries";
    EXPECT_FALSE(recorder.complete[2]) << "still busy after the last try is a failure";
    EXPECT_EQ(report.progress.failed, 1);
    // Each retry waits the doubled back-off, stretched by a quarter at most, and
    // the pace, which the errors slow by a fraction of a second.
    const QList<double> tries = site.arrivalsFor("40003");
    ASSERT_EQ(tries.size(), 4);
    for (qsizetype retry = 1; retry < tries.size(); ++retry) {
        const double backOff = double(1 << (retry - 1));
        EXPECT_GE(tries[retry] - tries[retry - 1], backOff) << "retry " << retry;
        EXPECT_LE(tries[retry] - tries[retry - 1], backOff * 1.25 + 0.5) << "retry " << retry;
    }
}

TEST(PageBatch, AStopStartsNoNewTransferAndHandsOverNothingPastTheLastWholeEntry)
{
    ScriptedSite site;
    QStringList zips;
    for (int i = 0; i < 10; ++i) {
        zips.append(QStringLiteral("5000%1").arg(i));
        site.script(zips.last(), {50ms});
    }
    std::atomic<int> stop{0};
    PageBatchOptions options = fastOptions(1);
    options.fetch.stop = &stop;
    Recorder recorder;
    recorder.onEntry = [&](qsizetype index) {
        if (index == 2)
            stop.store(15);
    };
    const PageBatchReport report = fetchPageBatch(addresses(zips), options, recorder);

    EXPECT_EQ(report.end, PageBatchEnd::Stopped);
    // The transfer in flight at the stop may still end and be handed over; no other.
    ASSERT_GE(recorder.indices.size(), 3);
    ASSERT_LE(recorder.indices.size(), 4);
    for (qsizetype i = 0; i < recorder.indices.size(); ++i)
        EXPECT_EQ(recorder.indices[i], i);
    EXPECT_EQ(report.progress.done, recorder.indices.size());
    EXPECT_LE(site.pageRequests().size(), 4) << "transfers went on being started after the stop";
}

// What the progress said of waits cut to the longest.
class WaitRecorder : public Recorder {
public:
    void progress(const BatchProgress& progress) override
    {
        if (progress.cappedWait)
            kinds[progress.cappedWait->kind] = *progress.cappedWait;
        lastHadWait = progress.cappedWait.has_value();
    }

    std::map<CappedWait::Kind, CappedWait> kinds;
    bool lastHadWait = false;
};

// A site asking for waits of more than a day is granted --max-wait, and the
// progress says so while the waits hold the batch back, not after.
TEST(PageBatch, WaitsCutToTheLongestAreInTheProgressWhileTheyLast)
{
    TestClock clock;
    ScriptedSite site(&clock);
    site.setRobots(200, "User-agent: *\nCrawl-delay: 100000\n");
    site.script("11111", {0ms, {429, 200}, {{"Retry-After", "100000"}}});
    PageBatchOptions options = fastOptions(1);
    options.fetch.retry.retries = 1;
    options.fetch.retry.maxWait = 1s;
    options.fetch.clock = &clock;
    WaitRecorder recorder;
    const PageBatchReport report = fetchPageBatch(addresses({"11111", "22222"}), options, recorder);

    EXPECT_EQ(report.end, PageBatchEnd::Done);
    EXPECT_EQ(recorder.complete, (QList<bool>{true, true}));
    ASSERT_TRUE(recorder.kinds.count(CappedWait::Kind::RetryAfter));
    EXPECT_EQ(recorder.kinds[CappedWait::Kind::RetryAfter].askedSeconds, 100000);
    EXPECT_EQ(recorder.kinds[CappedWait::Kind::RetryAfter].keptSeconds, 1);
    ASSERT_TRUE(recorder.kinds.count(CappedWait::Kind::CrawlDelay));
    EXPECT_EQ(recorder.kinds[CappedWait::Kind::CrawlDelay].askedSeconds, 100000);
    EXPECT_EQ(recorder.kinds[CappedWait::Kind::CrawlDelay].keptSeconds, 1);
    EXPECT_FALSE(recorder.lastHadWait) << "the batch's last progress still names a wait";
    // The waits kept: a second between any two starts, and the retry a second after the 429.
    const QList<double> starts = site.arrivals();
    ASSERT_EQ(starts.size(), 3);
    EXPECT_NEAR(starts[1] - starts[0], 1.0, 1e-6);
    EXPECT_NEAR(starts[2] - starts[1], 1.0, 1e-6);
    EXPECT_EQ(site.arrivalsFor("11111"), (QList<double>{starts[0], starts[1]})) << "a retry due goes first";
}

// How an API's answers go through the batch: as bytes, with a secret suffix
// sent but never kept, and only the answers the caller believes kept or used.
TEST(PageBatch, OnlyAnswersTheCallerBelievesAreKeptAndAKeptOneItNoLongerBelievesIsFetchedAgain)
{
    ScriptedSite site;
    QTemporaryDir cache;
    PageBatchOptions options = fastOptions(2);
    options.cacheFolder = cache.path();
    options.ignoreRobots = true;
    options.fetch.sentSuffix = "&key=s3cret-7";
    options.fetch.transfer.keepsBytes = true;
    QStringList refused = {"40002"};
    QStringList urlsAsked;
    options.worthKeeping = [&](const QString& url, const FetchOutcome& outcome) {
        urlsAsked.append(url);
        return std::none_of(refused.begin(), refused.end(),
                            [&](const QString& zip) { return outcome.bytes.contains(zip.toLatin1()); });
    };
    const auto fetchBoth = [&] {
        BytesRecorder recorder;
        fetchPageBatch(addresses({"40001", "40002"}), options, recorder);
        return recorder;
    };

    const BytesRecorder first = fetchBoth();
    EXPECT_EQ(first.bytes, QList<QByteArray>({pageOf("40001").toLatin1(), pageOf("40002").toLatin1()}));
    EXPECT_EQ(first.decoded, QStringList({"", ""}));
    EXPECT_EQ(QDir(cache.path()).entryList(QDir::Files).size(), 1);
    for (const QString& url : urlsAsked)
        EXPECT_FALSE(url.contains("s3cret-7")) << url.toStdString();
    for (const HttpRequest& request : site.pageRequests())
        EXPECT_TRUE(request.target.endsWith("&key=s3cret-7")) << request.target.constData();

    const BytesRecorder second = fetchBoth();
    EXPECT_EQ(second.fromCache, QList<bool>({true, false}));
    EXPECT_EQ(second.bytes, first.bytes);
    EXPECT_EQ(site.requestsFor("40001"), 1);
    EXPECT_EQ(site.requestsFor("40002"), 2);

    refused.append("40001");  // what was kept is no longer believed: asked again, with a warning
    const BytesRecorder third = fetchBoth();
    EXPECT_EQ(third.fromCache, QList<bool>({false, false}));
    EXPECT_EQ(site.requestsFor("40001"), 2);
    ASSERT_EQ(third.warnings.size(), 1);
    EXPECT_TRUE(third.warnings[0].contains("fetched again")) << third.warnings[0].toStdString();

    QDirIterator files(cache.path(), QDir::Files);
    while (files.hasNext()) {
        QFile file(files.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_FALSE(file.readAll().contains("s3cret-7"));
    }
}

}  // namespace
}  // namespace zd
