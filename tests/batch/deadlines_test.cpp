// Every wait of a run ends: a page that trickles in ends at --timeout and is not
// asked again, and at the run's time limit every page not yet had fails, whether
// it waits out a Retry-After, has not started, or hangs in flight. The time
// limit is read from a test clock; only the trickle takes its one real second.
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

namespace zd {
namespace {

using namespace std::chrono_literals;
using test::ScriptedSite;
using test::TestClock;

class Messages : public RunObserver {
public:
    void output(const QString&) override {}
    bool outputFailed() override { return false; }
    void message(const QString& text) override { messages.append(text); }
    QStringList messages;
};

// Why each entry's page could not be had; empty for a whole page.
class Failures : public PageBatchObserver {
public:
    void entryReady(qsizetype, const PageResult* page) override
    {
        reasons.append(page && page->outcome.complete ? QString() : page->outcome.transportError);
    }
    QStringList reasons;
};

QList<std::optional<QString>> addresses(const QStringList& zips)
{
    QList<std::optional<QString>> urls;
    for (const QString& zip : zips)
        urls.append(requestUrl(zip));
    return urls;
}

const QString kPastTheLimit = QStringLiteral("the run's time limit (--time-limit) passed before it arrived");

TEST(Deadlines, APageThatTricklesEndsAtTheTimeoutAndIsNotAskedAgain)
{
    const QByteArray page = QByteArray("<html>").repeated(50);
    LoopbackHttpServer server([&](const HttpRequest&, HttpConnection& connection) {
        connection.send(HttpConnection::statusLine(200) + "Content-Length: " + QByteArray::number(page.size())
                        + "\r\nConnection: close\r\n\r\n");
        connection.sendInChunks(page, 1, 200ms);  // a minute for the whole page
    });
    ASSERT_TRUE(server.listen());
    setDemographicsHostOverride(QString::fromLatin1(server.hostAndPort()));
    BatchSettings settings;
    settings.timeoutSeconds = 1;
    settings.retries = 3;
    settings.retryBase = 1ms;
    settings.ignoreRobots = true;
    Messages observer;
    SiteSource source(settings, 0ms);
    const int status = runLookup(source, QStringList{"03053"}, observer);
    setDemographicsHostOverride({});
    server.stop();

    EXPECT_EQ(status, 1);
    EXPECT_TRUE(observer.messages.join('\n').contains("took longer than 1 seconds, the most one may take"))
        << observer.messages.join('\n').toStdString();
    EXPECT_EQ(server.requests().size(), 1) << "a trickle was asked again";
}

// A Retry-After beyond the limit ends there, not when it is due; the pages that
// were had meanwhile stay whole.
TEST(Deadlines, AWaitForARetryEndsAtTheRunsTimeLimit)
{
    TestClock clock;
    ScriptedSite site(&clock);
    site.script("42900", {0ms, {429, 200}, {{"Retry-After", "300"}}});
    PageBatchOptions options;
    options.fetch.jobs = 1;
    options.fetch.rate = 0;
    options.fetch.retry.base = 1ms;
    options.fetch.clock = &clock;
    options.fetch.deadline = clock.now() + 100s;
    Failures observer;
    EXPECT_EQ(fetchPageBatch(addresses({"42900", "10000", "10001"}), options, observer).end, PageBatchEnd::Done);

    EXPECT_EQ(observer.reasons, (QStringList{kPastTheLimit, {}, {}}));
    EXPECT_EQ(site.requestsFor("42900"), 1);
    EXPECT_GE(clock.seconds(), 100.0);
    EXPECT_LE(clock.seconds(), 100.0 + 0.2) << "the limit was noticed late";
}

// A transfer that hangs is given up at the limit, and the pages not started
// fail without a request.
TEST(Deadlines, ATransferThatHangsAndThePagesAfterItEndAtTheRunsTimeLimit)
{
    TestClock clock(100);  // a real millisecond on the network: a tenth of a second
    LoopbackHttpServer server([](const HttpRequest&, HttpConnection& connection) {
        connection.stall(60s);  // until the server stops
    });
    ASSERT_TRUE(server.listen());
    setDemographicsHostOverride(QString::fromLatin1(server.hostAndPort()));
    PageBatchOptions options;
    options.ignoreRobots = true;
    options.fetch.jobs = 1;
    options.fetch.clock = &clock;
    options.fetch.deadline = clock.now() + 5s;
    Failures observer;
    const PageBatchReport report = fetchPageBatch(addresses({"10000", "10001"}), options, observer);
    setDemographicsHostOverride({});
    server.stop();

    EXPECT_EQ(report.end, PageBatchEnd::Done);
    EXPECT_EQ(observer.reasons, (QStringList{kPastTheLimit, kPastTheLimit}));
    EXPECT_EQ(server.requests().size(), 1);
    EXPECT_LE(clock.seconds(), 5.0 + 0.2) << "the limit was noticed late";
}

}  // namespace
}  // namespace zd
