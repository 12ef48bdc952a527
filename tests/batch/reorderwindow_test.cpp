// Pages hand on in input order through a bounded window: a page that takes long
// holds back new fetches once the window behind it is full, instead of piling
// up every later page in memory.
#include "batch/ordereddelivery.h"
#include "batch/pagebatch.h"
#include "batch/pagebatchplan.h"
#include "core/siteconfig.h"
#include "retrieval/requesturl.h"
#include "site/loopbackhttpserver.h"

#include <QMutex>
#include <gtest/gtest.h>

#include <atomic>

namespace zd {
namespace {

using namespace std::chrono_literals;

class Recorder : public PageBatchObserver {
public:
    void entryReady(qsizetype index, const PageResult* page) override
    {
        order.append(index);
        whole = whole && page && page->outcome.complete;
    }
    QList<qsizetype> order;
    bool whole = true;
};

TEST(ReorderWindow, ASlowFirstPageHoldsBackTheFetchesBeyondTheWindow)
{
    std::atomic<bool> firstAnswered{false};
    std::atomic<int> startedMeanwhile{0};
    LoopbackHttpServer server([&](const HttpRequest& request, HttpConnection& connection) {
        if (request.target.contains("zip=10000")) {
            // Answers once no other request came for a while: the batch holds back.
            for (int seen = -1; seen != startedMeanwhile.load();) {
                seen = startedMeanwhile.load();
                connection.stall(300ms);
            }
            firstAnswered = true;
        } else if (!firstAnswered) {
            ++startedMeanwhile;
        }
        connection.sendResponse(200, "<p>(x)</p><td>(Somewhere)</td>");
    });
    ASSERT_TRUE(server.listen());
    setDemographicsHostOverride(QString(server.hostAndPort()));
    QList<std::optional<QString>> urls;
    for (int zip = 10000; zip < 10200; ++zip)
        urls.append(requestUrl(QString::number(zip)));
    PageBatchOptions options;
    options.fetch.jobs = 4;
    options.fetch.rate = 0;
    options.ignoreRobots = true;
    Recorder recorder;
    const PageBatchReport report = fetchPageBatch(urls, options, recorder);
    setDemographicsHostOverride({});
    EXPECT_EQ(report.end, PageBatchEnd::Done);
    EXPECT_TRUE(recorder.whole);
    ASSERT_EQ(recorder.order.size(), 200);
    for (qsizetype i = 0; i < 200; ++i)
        EXPECT_EQ(recorder.order[i], i);
    // The window (16 + 4 per job) and the jobs in flight, not the 199 pages after it.
    EXPECT_GE(startedMeanwhile, 20);
    EXPECT_LE(startedMeanwhile, 16 + 4 * 4 + 4);
}

PageResult pageSaying(const QString& text, bool fromCache = false)
{
    PageResult page;
    page.outcome.body = text;
    page.outcome.complete = true;
    page.fromCache = fromCache;
    return page;
}

// What the delivery handed over: each entry's index and its page's text ("-": none).
class Handed : public PageBatchObserver {
public:
    void entryReady(qsizetype index, const PageResult* page) override
    {
        entries.append(QString::number(index) + ":" + (page ? page->outcome.body : QStringLiteral("-")));
    }
    QStringList entries;
};

// The plan numbers each distinct address once, and the delivery hands entries
// over in input order whatever order their pages come in, reads a cached page
// only at its turn, and lets go of a page after its last entry.
TEST(ReorderWindow, PagesArrivingInAnyOrderAreHandedOverInInputOrderAndLetGoAfterTheirLastEntry)
{
    const QList<std::optional<QString>> urls{"a", "b", std::nullopt, "a", "c", "b"};
    const EntryAddresses entries{urls.size(), [&](qsizetype entry) { return urls[entry]; }};
    const PageBatchPlan plan(entries);
    ASSERT_EQ(plan.addressCount(), 3);
    EXPECT_EQ(plan.entriesWithoutPage(), 1);
    EXPECT_EQ(plan.addressOf(2), PageBatchPlan::kNoPage);
    EXPECT_EQ(plan.addressOf(3), plan.addressOf(0));
    EXPECT_EQ(plan.uses(plan.addressOf(1)), 2);
    EXPECT_EQ(plan.addressText(plan.addressOf(4)), "c");

    Handed handed;
    QStringList cacheReads;
    std::atomic<int> stop{0};
    OrderedDelivery delivery(plan, handed, [&](qsizetype address) {
        cacheReads.append(plan.addressText(address));
        return pageSaying("cached " + plan.addressText(address), true);
    }, &stop);
    delivery.pageInCache(plan.addressOf(4));  // "c"
    delivery.deliverReady();
    EXPECT_TRUE(handed.entries.isEmpty());
    EXPECT_TRUE(cacheReads.isEmpty()) << "a cached page was read before its turn";

    delivery.pageArrived(plan.addressOf(1), pageSaying("page b"));
    EXPECT_TRUE(handed.entries.isEmpty()) << "entry 1 went before entry 0";
    EXPECT_EQ(delivery.pagesHeld(), 1);
    delivery.pageArrived(plan.addressOf(0), pageSaying("page a"));
    EXPECT_EQ(handed.entries, (QStringList{"0:page a", "1:page b", "2:-", "3:page a", "4:cached c", "5:page b"}));
    EXPECT_EQ(cacheReads, QStringList{"c"});
    EXPECT_EQ(delivery.pagesHeld(), 0) << "pages kept after their last entry";
    EXPECT_TRUE(delivery.allDelivered());

    // Raised, the stop hands over nothing more, whatever arrives.
    Handed stopped;
    OrderedDelivery halted(plan, stopped, [](qsizetype) { return PageResult{}; }, &stop);
    halted.pageArrived(plan.addressOf(0), pageSaying("page a"));
    ASSERT_EQ(stopped.entries, QStringList{"0:page a"});
    stop = 15;
    halted.pageArrived(plan.addressOf(1), pageSaying("page b"));
    EXPECT_EQ(stopped.entries, QStringList{"0:page a"});
    EXPECT_FALSE(halted.allDelivered());
}

}  // namespace
}  // namespace zd
