#include "batch/pagebatch.h"

#include "core/windows1252.h"
#include "batch/cachewriter.h"
#include "batch/pagecache.h"
#include "retrieval/requesturl.h"
#include "batch/robotsrules.h"
#include "retrieval/entrystatus.h"
#include "batch/distincttexts.h"

#include <QElapsedTimer>

#include <atomic>
#include <functional>
#include <unordered_map>
#include <vector>

namespace zd {
namespace {
constexpr qint32 kNoPage = -1;

// The distinct addresses, and which of them each entry needs. No address is
// held: each is made again from the first entry that needs it. Numbers of 32
// bits: a list of 2^31 entries would not fit in memory before it got here.
struct Plan {
    std::vector<qint32> addressOf;   // per entry; kNoPage when none
    std::vector<qint32> firstEntry;  // per address
    std::vector<qint32> uses;        // per address: the entries that need it
    qsizetype addressCount() const { return qsizetype(firstEntry.size()); }
};

Plan makePlan(const EntryAddresses& entries)
{
    Plan plan;
    plan.addressOf.reserve(size_t(entries.count));
    DistinctTexts distinct([&](qsizetype address) { return *entries.addressOf(plan.firstEntry[size_t(address)]); });
    for (qsizetype entry = 0; entry < entries.count; ++entry) {
        const std::optional<QString> url = entries.addressOf(entry);
        if (!url) {
            plan.addressOf.push_back(kNoPage);
            continue;
        }
        const DistinctTexts::Numbered address = distinct.number(*url);
        if (address.isNew) {
            plan.firstEntry.push_back(qint32(entry));
            plan.uses.push_back(0);
        }
        ++plan.uses[size_t(address.number)];
        plan.addressOf.push_back(qint32(address.number));
    }
    plan.firstEntry.shrink_to_fit();
    plan.uses.shrink_to_fit();
    return plan;
}

QByteArray pathAndQuery(const QByteArray& url)
{
    const qsizetype hostStart = url.indexOf("://");
    const qsizetype path = url.indexOf('/', hostStart < 0 ? 0 : hostStart + 3);
    return path < 0 ? QByteArray("/") : url.mid(path);
}

// Hands the entries to the observer in input order as their pages arrive, and
// lets go of each page once its last entry has had it. A page kept in the cache
// is read only when its entry's turn comes, so a long run that goes on from its
// cache holds no more pages than one that fetches.
class InOrderDelivery {
public:
    using CacheReader = std::function<PageResult(qsizetype address)>;

    InOrderDelivery(const Plan& plan, PageBatchObserver& observer, CacheReader readCached,
                    const std::atomic<int>* stop)
        : m_plan(plan), m_observer(observer), m_readCached(std::move(readCached)), m_stop(stop),
          m_inCache(size_t(plan.addressCount()), false), m_usesLeft(plan.uses)
    {
        for (const qint32 address : plan.addressOf)
            m_progress.done += address == kNoPage ? 1 : 0;
        m_progress.total = qsizetype(plan.addressOf.size());
        m_clock.start();
    }

    void pageDone(qsizetype address, PageResult&& page)
    {
        m_progress.done += m_plan.uses[size_t(address)];
        if (!page.fromCache && m_progress.pagesLeft > 0) {
            --m_progress.pagesLeft;
            ++m_progress.pagesFetched;
        }
        if (!page.outcome.complete)
            m_progress.failed += m_plan.uses[size_t(address)];
        m_pages.insert_or_assign(address, std::move(page));
        deliverReady();
    }

    // The address's page is in the cache, to be read when its entry comes.
    void pageInCache(qsizetype address)
    {
        m_progress.done += m_plan.uses[size_t(address)];
        m_inCache[size_t(address)] = true;
    }

    void deliverReady()
    {
        while (m_next < m_progress.total && !(m_stop && m_stop->load() != 0)) {
            const qint32 address = m_plan.addressOf[size_t(m_next)];
            if (address == kNoPage) {
                m_observer.entryReady(m_next++, nullptr);
                continue;
            }
            auto page = m_pages.find(address);
            if (page == m_pages.end() && !readFromCache(address, page))
                return;
            m_observer.entryReady(m_next, &page->second);
            if (--m_usesLeft[size_t(address)] == 0)
                m_pages.erase(page);
            ++m_next;
        }
    }

    // Pages that arrived and wait for an earlier entry's page (or a later use).
    qsizetype pagesHeld() const { return qsizetype(m_pages.size()); }
    bool allDelivered() const { return m_next == m_progress.total; }

    void setPagesToFetch(qsizetype count) { m_progress.pagesLeft = count; }

    BatchProgress progress(qsizetype requests)
    {
        m_progress.requests = requests;
        m_progress.seconds = m_clock.elapsed() / 1000.0;
        return m_progress;
    }

private:
    bool readFromCache(qint32 address, std::unordered_map<qint32, PageResult>::iterator& page)
    {
        if (!m_inCache[size_t(address)])
            return false;
        page = m_pages.emplace(address, m_readCached(address)).first;
        if (!page->second.outcome.complete)
            m_progress.failed += m_plan.uses[size_t(address)];
        return true;
    }

    const Plan& m_plan;
    PageBatchObserver& m_observer;
    const CacheReader m_readCached;
    const std::atomic<int>* m_stop;
    std::unordered_map<qint32, PageResult> m_pages;  // arrived, and not yet handed to every entry
    std::vector<bool> m_inCache;
    std::vector<qint32> m_usesLeft;
    qsizetype m_next = 0;
    BatchProgress m_progress;
    QElapsedTimer m_clock;
};

// One call of fetchPageBatch: the plan of distinct addresses, the cache, robots.txt
// and the fetch, with the entries handed over in input order.
class PageBatchRun {
public:
    PageBatchRun(const EntryAddresses& entries, const PageBatchOptions& options, PageBatchObserver& observer)
        : m_entries(entries), m_options(options), m_observer(observer), m_plan(makePlan(entries)),
          m_delivery(m_plan, observer, [this](qsizetype address) { return readCached(address); },
                     options.fetch.stop),
          m_cache(options.cacheFolder), m_throttle(options.fetch.rate, options.fetch.jobs)
    {
    }

    PageBatchReport run()
    {
        if (!m_options.cacheFolder.isEmpty() && !openCache())
            return report(PageBatchEnd::CacheUnusable);
        const std::vector<qint32> toFetch = answerFromCache();
        if (stopRequested())
            return report(PageBatchEnd::Stopped);
        m_delivery.setPagesToFetch(qsizetype(toFetch.size()));
        m_delivery.deliverReady();
        if (!toFetch.empty() && !m_options.ignoreRobots) {
            const PageBatchEnd robots = readRobots(toFetch);
            if (robots != PageBatchEnd::Done)
                return report(robots);
        }
        if (!fetch(toFetch) || !m_delivery.allDelivered())
            return report(PageBatchEnd::Stopped);
        return report(PageBatchEnd::Done);
    }

    // The pages that may wait for an earlier one before no new fetch starts.
    qsizetype reorderWindow() const { return 16 + 4 * qsizetype(m_options.fetch.jobs); }

    bool stopRequested() const { return m_options.fetch.stop && m_options.fetch.stop->load() != 0; }

private:
    PageBatchReport report(PageBatchEnd end)
    {
        const BatchProgress progress = m_delivery.progress(m_requests);
        m_observer.progress(progress);
        return {end, m_message, progress};
    }

    // The progress while pages are fetched, with a wait cut to --max-wait when
    // one holds the batch back: a Retry-After being waited out, else a
    // Crawl-delay while pages are left.
    BatchProgress progressWhileFetching(const BatchFetcher& fetcher)
    {
        BatchProgress progress = m_delivery.progress(m_requests);
        progress.cappedWait = fetcher.cappedWaitNow();
        if (!progress.cappedWait && progress.pagesLeft > 0)
            progress.cappedWait = m_cappedCrawlDelay;
        return progress;
    }

    // The fetch's options, with its warnings going to the observer.
    BatchOptions fetchOptions()
    {
        BatchOptions options = m_options.fetch;
        options.warning = [this](const QString& text) { m_observer.warning(text); };
        return options;
    }

    bool openCache()
    {
        QString error;
        if (m_cache.open(error, m_options.offline ? PageCache::Use::ReadOnly : PageCache::Use::ReadWrite)) {
            m_writer.emplace(m_cache);
            return true;
        }
        m_message = "cannot use the cache folder \"" + m_options.cacheFolder + "\": " + error;
        return false;
    }

    // Delivers what the cache holds; the addresses still to fetch.
    std::vector<qint32> answerFromCache()
    {
        std::vector<qint32> toFetch;
        const QDateTime oldest = QDateTime::currentDateTimeUtc().addSecs(-m_options.maxAge.count());
        qsizetype damaged = 0;
        for (qint32 address = 0; address < m_plan.addressCount() && !stopRequested(); ++address) {
            CacheLookup kept;
            if (!m_options.cacheFolder.isEmpty())
                kept = m_cache.lookUp(encodeRequestUrl(addressText(address)));
            if (kept.kind == CacheLookup::Kind::Found && !usable(address, kept.page))
                kept.kind = CacheLookup::Kind::Damaged;
            damaged += kept.kind == CacheLookup::Kind::Damaged ? 1 : 0;
            if (kept.kind == CacheLookup::Kind::Found && (m_options.offline || isFresh(kept.page, oldest)))
                m_delivery.pageInCache(address);
            else if (m_options.offline)
                m_delivery.pageDone(address, notInCache(kept.kind));
            else
                toFetch.push_back(address);
        }
        if (damaged > 0)
            m_observer.warning(damagedWarning(damaged));
        return toFetch;
    }

    // A kept answer that the caller would not keep now (one an earlier version
    // kept, or one changed on the disk that still matches its checksum) is of no use.
    bool usable(qsizetype address, const CachedPage& kept) const
    {
        return !m_options.worthKeeping || m_options.worthKeeping(addressText(address), fromCache(kept).outcome);
    }

    // Young enough, and no error answer that an earlier version kept.
    static bool isFresh(const CachedPage& page, const QDateTime& oldest)
    {
        return page.fetched >= oldest && isSuccessStatus(page.httpStatus);
    }

    QString damagedWarning(qsizetype damaged) const
    {
        return QStringLiteral("%1 %2 in the cache folder \"%3\" %4 cut short, changed or unreadable; %5")
            .arg(damaged)
            .arg(damaged == 1 ? "page" : "pages", m_options.cacheFolder, damaged == 1 ? "was" : "were",
                 m_options.offline ? QStringLiteral("they count as not in the cache")
                                   : QStringLiteral("they are fetched again"));
    }

    PageResult fromCache(const CachedPage& kept) const
    {
        PageResult page;
        if (m_options.fetch.transfer.keepsBytes)
            page.outcome.bytes = kept.body;
        else
            page.outcome.body = decodeWindows1252(kept.body);
        page.outcome.complete = true;
        page.outcome.httpStatus = kept.httpStatus;
        page.fromCache = true;
        return page;
    }

    // The page of an address found whole in the cache before, read again now.
    PageResult readCached(qsizetype address) const
    {
        const CacheLookup kept = m_cache.lookUp(encodeRequestUrl(addressText(address)));
        if (kept.kind != CacheLookup::Kind::Found)
            return notInCache(kept.kind);
        return fromCache(kept.page);
    }

    static PageResult notInCache(CacheLookup::Kind kind)
    {
        PageResult page;
        page.outcome.transportError = kind == CacheLookup::Kind::Damaged
                                          ? QStringLiteral("the page in the cache is damaged")
                                          : QStringLiteral("the page is not in the cache");
        return page;
    }

    // Done when the pages may be fetched; RobotsForbid, or Stopped when the stop
    // came while it was read (it was then not read, and nothing is said of it).
    PageBatchEnd readRobots(const std::vector<qint32>& toFetch)
    {
        BatchFetcher fetcher(fetchOptions(), m_throttle);
        FetchOutcome robots;
        const bool whole =
            fetcher.run({robotsUrl()}, [&](qsizetype, FetchOutcome&& outcome) { robots = std::move(outcome); });
        m_requests += fetcher.requestsSent();
        if (!whole || stopRequested())
            return PageBatchEnd::Stopped;
        if (!robots.complete || robots.httpStatus >= 500) {
            m_observer.warning("robots.txt could not be read (" + robots.transportError
                               + "); going on as if it allowed every page");
            return PageBatchEnd::Done;
        }
        if (robots.httpStatus >= 400)
            return PageBatchEnd::Done;  // no robots.txt: every page is allowed
        return applyRobots(RobotsRules::parse(encodeWindows1252(robots.body)), toFetch) ? PageBatchEnd::Done
                                                                                         : PageBatchEnd::RobotsForbid;
    }

    bool applyRobots(const RobotsRules& rules, const std::vector<qint32>& toFetch)
    {
        for (const qint32 address : toFetch) {
            const QByteArray path = pathAndQuery(encodeRequestUrl(addressText(address)));
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

    double cappedCrawlDelay(double asked)
    {
        const double longest = double(m_options.fetch.retry.maxWait.count());
        if (asked <= longest)
            return asked;
        m_observer.warning(QStringLiteral("robots.txt asks for a Crawl-delay of %1 s; waiting %2 s between "
                                          "requests, the --max-wait")
                               .arg(asked).arg(longest));
        m_cappedCrawlDelay = CappedWait{CappedWait::Kind::CrawlDelay, asked, longest};
        return longest;
    }

    bool fetch(const std::vector<qint32>& toFetch)
    {
        BatchFetcher fetcher(fetchOptions(), m_throttle);
        const qsizetype requestsBefore = m_requests;
        const bool whole = fetcher.run(
            qsizetype(toFetch.size()), [&](qsizetype index) { return addressText(toFetch[size_t(index)]); },
            [&](qsizetype index, FetchOutcome&& outcome) {
                m_requests = requestsBefore + fetcher.requestsSent();
                keep(toFetch[size_t(index)], outcome);
                m_delivery.pageDone(toFetch[size_t(index)], PageResult{std::move(outcome), false});
            },
            [&] {
                m_requests = requestsBefore + fetcher.requestsSent();
                m_observer.progress(progressWhileFetching(fetcher));
            },
            [&] { return m_delivery.pagesHeld() < reorderWindow(); });
        m_requests = requestsBefore + fetcher.requestsSent();
        if (m_writer) {
            m_writer->finish();
            warnOfCacheFailure();
        }
        return whole;
    }

    void keep(qsizetype address, const FetchOutcome& outcome)
    {
        // An error answer is no page to keep: the next run asks again.
        if (m_options.cacheFolder.isEmpty() || !outcome.complete || !isSuccessStatus(outcome.httpStatus)
            || (m_options.worthKeeping && !m_options.worthKeeping(addressText(address), outcome)))
            return;
        const QByteArray bytes = m_options.fetch.transfer.keepsBytes ? outcome.bytes : encodeWindows1252(outcome.body);
        m_writer->store(encodeRequestUrl(addressText(address)), {bytes, outcome.httpStatus, QDateTime::currentDateTimeUtc()});
        warnOfCacheFailure();
    }

    void warnOfCacheFailure()
    {
        const QString failure = m_writer->takeFailure();
        if (!failure.isEmpty())
            m_observer.warning("cannot keep pages in the cache folder \"" + m_options.cacheFolder + "\": " + failure);
    }

    // The address's text, made again from its first entry.
    QString addressText(qsizetype address) const
    {
        return *m_entries.addressOf(m_plan.firstEntry[size_t(address)]);
    }

    const EntryAddresses& m_entries;
    const PageBatchOptions& m_options;
    PageBatchObserver& m_observer;
    const Plan m_plan;
    InOrderDelivery m_delivery;
    PageCache m_cache;
    std::optional<CacheWriter> m_writer;  // once the cache is open; gone before the cache
    Throttle m_throttle;
    qsizetype m_requests = 0;
    QString m_message;
    std::optional<CappedWait> m_cappedCrawlDelay;
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
