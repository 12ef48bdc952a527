#include "batch/pagebatch.h"

#include "batch/cachedpages.h"
#include "batch/ordereddelivery.h"
#include "batch/pagebatchplan.h"
#include "batch/progresstally.h"
#include "batch/robotsgate.h"

#include <vector>

namespace zd {
namespace {

// The fetch's options, with its warnings going to the observer.
BatchOptions withWarnings(const BatchOptions& fetch, PageBatchObserver& observer)
{
    BatchOptions options = fetch;
    options.warning = [&observer](const QString& text) { observer.warning(text); };
    return options;
}

// One call of fetchPageBatch: the plan of distinct addresses, what the cache
// holds, robots.txt and the fetch, joined so that the entries are handed over
// in input order and the progress counts them all.
class PageBatchRun {
public:
    PageBatchRun(const EntryAddresses& entries, const PageBatchOptions& options, PageBatchObserver& observer)
        : m_options(options), m_observer(observer), m_fetch(withWarnings(options.fetch, observer)),
          m_clock(options.fetch.clock ? *options.fetch.clock : steadyBatchClock()), m_plan(entries),
          m_tally(m_plan.entryCount(), m_clock), m_cache(options, observer),
          m_delivery(m_plan, observer, [this](qsizetype address) { return readCached(address); }, options.fetch.stop),
          m_throttle(options.fetch.rate, options.fetch.jobs), m_robots(m_fetch, m_throttle, observer)
    {
        m_fetch.clock = &m_clock;
        m_tally.entriesWithoutPage(m_plan.entriesWithoutPage());
    }

    PageBatchReport run()
    {
        QString message;
        if (!m_cache.open(message))
            return report(PageBatchEnd::CacheUnusable, message);
        const std::vector<qint32> toFetch = answerFromCache();
        if (stopRequested())
            return report(PageBatchEnd::Stopped);
        m_tally.pagesToFetch(qsizetype(toFetch.size()));
        m_delivery.deliverReady();
        if (!toFetch.empty() && !m_options.ignoreRobots) {
            const RobotsGate::Verdict robots = m_robots.read(qsizetype(toFetch.size()), addressesOf(toFetch));
            m_requests = m_robots.requestsSent();
            if (robots == RobotsGate::Verdict::Forbidden)
                return report(PageBatchEnd::RobotsForbid, m_robots.message());
            if (robots == RobotsGate::Verdict::Stopped)
                return report(PageBatchEnd::Stopped);
        }
        const bool whole = fetch(toFetch);
        m_cache.finish();
        return report(whole && m_delivery.allDelivered() ? PageBatchEnd::Done : PageBatchEnd::Stopped);
    }

private:
    bool stopRequested() const { return isRaised(m_options.fetch.stop); }

    PageBatchReport report(PageBatchEnd end, const QString& message = {})
    {
        m_tally.requestsSent(m_requests);
        const BatchProgress progress = m_tally.now();
        m_observer.progress(progress);
        return {end, message, progress};
    }

    // Judges every address by the cache: those it holds are delivered in their
    // turn, those it lacks offline at once; the addresses still to fetch.
    std::vector<qint32> answerFromCache()
    {
        std::vector<qint32> toFetch;
        for (qint32 address = 0; address < m_plan.addressCount() && !stopRequested(); ++address) {
            const CachedPages::Verdict verdict = m_cache.judge(m_plan.addressText(address));
            if (verdict == CachedPages::Verdict::Kept) {
                m_tally.pageInCache(m_plan.uses(address));
                m_delivery.pageInCache(address);
            } else if (verdict == CachedPages::Verdict::ToFetch) {
                toFetch.push_back(address);
            } else {
                pageArrived(address, CachedPages::absent(verdict));
            }
        }
        m_cache.warnOfDamaged();
        return toFetch;
    }

    PageResult readCached(qsizetype address)
    {
        PageResult page = m_cache.read(m_plan.addressText(address));
        m_tally.cachedPageRead(m_plan.uses(address), page);
        return page;
    }

    void pageArrived(qsizetype address, PageResult&& page)
    {
        m_tally.pageArrived(m_plan.uses(address), page);
        m_delivery.pageArrived(address, std::move(page));
    }

    RobotsGate::AddressText addressesOf(const std::vector<qint32>& toFetch) const
    {
        return [this, &toFetch](qsizetype index) { return m_plan.addressText(toFetch[size_t(index)]); };
    }

    // The pages that may wait for an earlier one before no new fetch starts.
    qsizetype reorderWindow() const { return 16 + 4 * qsizetype(m_options.fetch.jobs); }

    // Fetches the pages, keeps each whole one in the cache and hands it on;
    // false when stopped before every page was finished.
    bool fetch(const std::vector<qint32>& toFetch)
    {
        BatchFetcher fetcher(m_fetch, m_throttle);
        const qsizetype requestsBefore = m_requests;
        const auto countRequests = [&] { m_requests = requestsBefore + fetcher.requestsSent(); };
        const bool whole = fetcher.run(
            qsizetype(toFetch.size()), addressesOf(toFetch),
            [&](qsizetype index, FetchOutcome&& outcome) {
                countRequests();
                const qint32 address = toFetch[size_t(index)];
                m_cache.keep(m_plan.addressText(address), outcome);
                pageArrived(address, PageResult{std::move(outcome), false});
            },
            [&] {
                countRequests();
                m_observer.progress(progressWhileFetching(fetcher));
            },
            [&] { return m_delivery.pagesHeld() < reorderWindow(); });
        countRequests();
        return whole;
    }

    // The progress while pages are fetched, with a wait cut to --max-wait when
    // one holds the batch back: a Retry-After being waited out, else a
    // Crawl-delay while pages are left.
    BatchProgress progressWhileFetching(const BatchFetcher& fetcher)
    {
        m_tally.requestsSent(m_requests);
        BatchProgress progress = m_tally.now();
        progress.cappedWait = fetcher.cappedWaitNow();
        if (!progress.cappedWait && progress.pagesLeft > 0)
            progress.cappedWait = m_robots.cappedCrawlDelay();
        return progress;
    }

    const PageBatchOptions& m_options;
    PageBatchObserver& m_observer;
    BatchOptions m_fetch;
    BatchClock& m_clock;
    const PageBatchPlan m_plan;
    ProgressTally m_tally;
    CachedPages m_cache;
    OrderedDelivery m_delivery;
    Throttle m_throttle;
    RobotsGate m_robots;
    qsizetype m_requests = 0;
};

}  // namespace

PageBatchReport fetchPageBatch(const EntryAddresses& entries, const PageBatchOptions& options,
                               PageBatchObserver& observer)
{
    return PageBatchRun(entries, options, observer).run();
}

PageBatchReport fetchPageBatch(const QList<std::optional<QString>>& urls, const PageBatchOptions& options,
                               PageBatchObserver& observer)
{
    return fetchPageBatch(EntryAddresses{urls.size(), [&urls](qsizetype entry) { return urls[entry]; }}, options,
                          observer);
}

}  // namespace zd
