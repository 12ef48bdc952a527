#include "batch/throttle.h"

#include <algorithm>

namespace zd {
namespace {
constexpr double kSmoothing = 0.2;            // weight of the newest response time
constexpr Throttle::Duration kLongestFloor{5.0};
constexpr Throttle::Duration kFirstFloor{0.1};
constexpr double kGrowthAfterError = 1.25;
// The response time is shared among a quarter more requests than there are jobs,
// so that the cap on transfers at once, not the pause, keeps about `jobs` in
// flight; the pause then only spreads the starts evenly.
constexpr double kSharedAmong = 1.25;
}  // namespace

Throttle::Throttle(double rate, int jobs) : m_jobs(std::max(jobs, 1))
{
    if (rate > 0)
        m_rateInterval = Duration(1.0 / rate);
}

Throttle::Duration Throttle::hardInterval() const { return std::max({m_rateInterval, m_crawlDelay, m_errorFloor}); }

Throttle::Duration Throttle::sharedInterval() const { return m_smoothedResponse / (m_jobs * kSharedAmong); }

Throttle::Duration Throttle::interval() const { return std::max(hardInterval(), sharedInterval()); }

Throttle::Clock::time_point Throttle::nextStart() const
{
    if (!m_anyStarted)
        return Clock::time_point::min();
    return std::max(m_lastStart + std::chrono::duration_cast<Clock::duration>(hardInterval()), m_sharedNext);
}

void Throttle::started(Clock::time_point at)
{
    const auto shared = std::chrono::duration_cast<Clock::duration>(sharedInterval());
    m_sharedNext = (m_anyStarted ? std::max(m_sharedNext, at - shared) : at) + shared;
    m_lastStart = at;
    m_anyStarted = true;
}

void Throttle::finished(Duration responseTime, bool error)
{
    if (!m_anyResponse)
        m_smoothedResponse = responseTime;
    else
        m_smoothedResponse = m_smoothedResponse * (1 - kSmoothing) + responseTime * kSmoothing;
    m_anyResponse = true;
    if (error) {
        m_successesInARow = 0;
        m_errorFloor = std::min(std::max({m_errorFloor, m_rateInterval, kFirstFloor}) * kGrowthAfterError,
                                std::max(kLongestFloor, m_errorFloor));
    } else if (++m_successesInARow >= kSuccessesToRelax) {
        relaxErrorFloor();
    }
}

// Halves the floor; once it is no longer above where it began (the rate's
// interval, or the first floor), it is gone and the rate alone holds.
void Throttle::relaxErrorFloor()
{
    m_successesInARow = 0;
    m_errorFloor /= 2;
    if (m_errorFloor <= std::max(m_rateInterval, kFirstFloor))
        m_errorFloor = Duration(0);
}

}  // namespace zd
