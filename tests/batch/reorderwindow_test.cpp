// Pages hand on in input order through a bounded window: a page that takes long
// holds back new fetches once the window behind it is full, instead of piling
// up every later page in memory.
#include "batch/pagebatch.h"
#include "core/siteconfig.h"
#include "retrieval/requesturl.h"
#include "site/loopbackhttpserver.h"

#include <QMutex>
#include <gtest/gtest.h>

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
            connection.stall(1500ms);
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

}  // namespace
}  // namespace zd
