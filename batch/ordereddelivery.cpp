#include "batch/ordereddelivery.h"

#include "batch/progresstally.h"

namespace zd {

OrderedDelivery::OrderedDelivery(const PageBatchPlan& plan, PageBatchObserver& observer, CacheReader readCached,
                                 const std::atomic<int>* stop)
    : m_plan(plan), m_observer(observer), m_readCached(std::move(readCached)), m_stop(stop),
      m_inCache(size_t(plan.addressCount()), false), m_usesLeft(size_t(plan.addressCount()))
{
    for (qsizetype address = 0; address < plan.addressCount(); ++address)
        m_usesLeft[size_t(address)] = plan.uses(address);
}

void OrderedDelivery::pageArrived(qsizetype address, PageResult&& page)
{
    m_pages.insert_or_assign(qint32(address), std::move(page));
    deliverReady();
}

void OrderedDelivery::deliverReady()
{
    while (m_next < m_plan.entryCount() && !isRaised(m_stop)) {
        const qint32 address = m_plan.addressOf(m_next);
        if (address == PageBatchPlan::kNoPage) {
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

bool OrderedDelivery::readFromCache(qint32 address, Held::iterator& page)
{
    if (!m_inCache[size_t(address)])
        return false;
    page = m_pages.emplace(address, m_readCached(address)).first;
    return true;
}

}  // namespace zd
