#include "batch/progresstally.h"

namespace zd {

ProgressTally::ProgressTally(qsizetype entries, const BatchClock& clock) : m_clock(clock), m_began(clock.now())
{
    m_progress.total = entries;
}

void ProgressTally::pageArrived(qsizetype uses, const PageResult& page)
{
    m_progress.done += uses;
    if (!page.fromCache && m_progress.pagesLeft > 0) {
        --m_progress.pagesLeft;
        ++m_progress.pagesFetched;
    }
    if (!page.outcome.complete)
        m_progress.failed += uses;
}

void ProgressTally::cachedPageRead(qsizetype uses, const PageResult& page)
{
    if (!page.outcome.complete)
        m_progress.failed += uses;
}

BatchProgress ProgressTally::now() const
{
    BatchProgress progress = m_progress;
    progress.seconds = std::chrono::duration<double>(m_clock.now() - m_began).count();
    return progress;
}

}  // namespace zd
