#include "cli/timeleft.h"

namespace zd {

void TimeLeft::record(double seconds, qsizetype pagesFetched)
{
    if (!m_samples.empty() && m_samples.back().second == pagesFetched && m_samples.size() > 1)
        m_samples.back().first = seconds;  // no fetch since: only the time moves on
    else
        m_samples.emplace_back(seconds, pagesFetched);
    // Keep the newest sample older than the window, so the window is full.
    while (m_samples.size() > 2 && m_samples[1].first <= seconds - kWindowSeconds)
        m_samples.pop_front();
}

std::optional<double> TimeLeft::secondsLeft(qsizetype pagesLeft) const
{
    if (pagesLeft == 0)
        return 0.0;
    if (m_samples.size() < 2)
        return std::nullopt;
    const double seconds = m_samples.back().first - m_samples.front().first;
    const qsizetype fetched = m_samples.back().second - m_samples.front().second;
    if (fetched <= 0 || seconds <= 0)
        return std::nullopt;
    return pagesLeft * seconds / fetched;
}

}  // namespace zd
