#pragma once

#include "batch/pagebatch.h"
#include "batch/pagebatchplan.h"

#include <atomic>
#include <functional>
#include <unordered_map>
#include <vector>

namespace zd {

// Hands the entries to the observer in input order as their pages arrive, and
// lets go of each page once its last entry has had it. A page kept in the cache
// is read only when its entry's turn comes, so a long run that goes on from its
// cache holds no more pages than one that fetches. Once the stop flag is
// raised, nothing more is handed over.
class OrderedDelivery {
public:
    using CacheReader = std::function<PageResult(qsizetype address)>;

    OrderedDelivery(const PageBatchPlan& plan, PageBatchObserver& observer, CacheReader readCached,
                    const std::atomic<int>* stop);

    // The address's page came (from the site, or as a failure): hands over what it lets go.
    void pageArrived(qsizetype address, PageResult&& page);
    // The address's page is in the cache, to be read when its entry comes.
    void pageInCache(qsizetype address) { m_inCache[size_t(address)] = true; }
    // Hands over every entry whose page is there, up to the first that waits.
    void deliverReady();

    // Pages that arrived and wait for an earlier entry's page (or a later use).
    qsizetype pagesHeld() const { return qsizetype(m_pages.size()); }
    bool allDelivered() const { return m_next == m_plan.entryCount(); }

private:
    using Held = std::unordered_map<qint32, PageResult>;
    bool readFromCache(qint32 address, Held::iterator& page);

    const PageBatchPlan& m_plan;
    PageBatchObserver& m_observer;
    const CacheReader m_readCached;
    const std::atomic<int>* m_stop;
    Held m_pages;  // arrived, and not yet handed to every entry
    std::vector<bool> m_inCache;
    std::vector<qint32> m_usesLeft;
    qsizetype m_next = 0;
};

}  // namespace zd
