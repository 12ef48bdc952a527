#include "batch/robotsgate.h"

#include "batch/progresstally.h"
#include "batch/robotsrules.h"
#include "core/windows1252.h"
#include "retrieval/requesturl.h"

namespace zd {
namespace {

QByteArray pathAndQuery(const QByteArray& url)
{
    const qsizetype hostStart = url.indexOf("://");
    const qsizetype path = url.indexOf('/', hostStart < 0 ? 0 : hostStart + 3);
    return path < 0 ? QByteArray("/") : url.mid(path);
}

}  // namespace

RobotsGate::RobotsGate(const BatchOptions& fetch, Throttle& throttle, PageBatchObserver& observer)
    : m_fetch(fetch), m_throttle(throttle), m_observer(observer)
{
}

RobotsGate::Verdict RobotsGate::read(qsizetype count, const AddressText& addressOf)
{
    BatchFetcher fetcher(m_fetch, m_throttle);
    FetchOutcome robots;
    const bool whole =
        fetcher.run({robotsUrl()}, [&](qsizetype, FetchOutcome&& outcome) { robots = std::move(outcome); });
    m_requests += fetcher.requestsSent();
    if (!whole || isRaised(m_fetch.stop))
        return Verdict::Stopped;
    if (!robots.complete || robots.httpStatus >= 500) {
        m_observer.warning("robots.txt could not be read (" + robots.transportError
                           + "); going on as if it allowed every page");
        return Verdict::Allowed;
    }
    if (robots.httpStatus >= 400)
        return Verdict::Allowed;  // no robots.txt: every page is allowed
    return allowsAll(encodeWindows1252(robots.body), count, addressOf) ? Verdict::Allowed : Verdict::Forbidden;
}

bool RobotsGate::allowsAll(const QByteArray& robotsTxt, qsizetype count, const AddressText& addressOf)
{
    const RobotsRules rules = RobotsRules::parse(robotsTxt);
    for (qsizetype address = 0; address < count; ++address) {
        const QByteArray path = pathAndQuery(encodeRequestUrl(addressOf(address)));
        const QByteArray rule = rules.blockingRule(path);
        if (!rule.isEmpty()) {
            m_message = "the site's robots.txt forbids fetching " + QString::fromLatin1(path)
                        + " (Disallow: " + QString::fromLatin1(rule) + "); nothing was fetched";
            return false;
        }
    }
    if (const std::optional<double> delay = rules.crawlDelaySeconds())
        m_throttle.setCrawlDelay(Throttle::Duration(cappedCrawlDelay(*delay)));
    return true;
}

double RobotsGate::cappedCrawlDelay(double asked)
{
    const double longest = double(m_fetch.retry.maxWait.count());
    if (asked <= longest)
        return asked;
    m_observer.warning(QStringLiteral("robots.txt asks for a Crawl-delay of %1 s; waiting %2 s between "
                                      "requests, the --max-wait")
                           .arg(asked).arg(longest));
    m_cappedCrawlDelay = CappedWait{CappedWait::Kind::CrawlDelay, asked, longest};
    return longest;
}

}  // namespace zd
