#pragma once

#include "batch/batchclock.h"
#include "batch/pagebatch.h"

#include <atomic>

namespace zd {

// Whether the stop flag (none: never) was raised.
inline bool isRaised(const std::atomic<int>* stop) { return stop && stop->load() != 0; }

// How far a batch has come: the entries done and failed, the pages left to
// fetch and fetched, the requests sent, and the time since it began by the
// batch's clock.
class ProgressTally {
public:
    ProgressTally(qsizetype entries, const BatchClock& clock);

    // Entries that need no page are done from the start.
    void entriesWithoutPage(qsizetype count) { m_progress.done += count; }
    void pagesToFetch(qsizetype count) { m_progress.pagesLeft = count; }
    // A page the cache holds: its entries are as good as done.
    void pageInCache(qsizetype uses) { m_progress.done += uses; }
    // A page came from the site, or could not be had.
    void pageArrived(qsizetype uses, const PageResult& page);
    // A page the cache held, read when its entry's turn came.
    void cachedPageRead(qsizetype uses, const PageResult& page);
    void requestsSent(qsizetype requests) { m_progress.requests = requests; }

    BatchProgress now() const;

private:
    const BatchClock& m_clock;
    const BatchClock::TimePoint m_began;
    BatchProgress m_progress;
};

}  // namespace zd
