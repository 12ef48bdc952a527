#include "batch/retrypolicy.h"

#include <algorithm>

namespace zd {

bool RetryPolicy::isRetryableStatus(long httpStatus)
{
    switch (httpStatus) {
    case 408: case 429: case 500: case 502: case 503: case 504: return true;
    default: return false;
    }
}

std::chrono::milliseconds RetryPolicy::pauseBefore(int retry, double jitter, long long retryAfterSeconds) const
{
    using std::chrono::milliseconds;
    const int doublings = std::clamp(retry - 1, 0, 30);
    const double doubled = std::min(double(base.count()) * double(1LL << doublings), double(cap.count()));
    const double stretched = std::min(doubled * (1.0 + std::clamp(jitter, 0.0, 1.0) / 4.0), double(cap.count()));
    const milliseconds backOff(static_cast<long long>(stretched));
    if (retryAfterSeconds < 0)
        return backOff;
    // The site's own word is honoured beyond the cap, but not beyond the longest wait.
    const long long asked = std::min<long long>(retryAfterSeconds, maxWait.count());
    return std::max(backOff, milliseconds(asked * 1000));
}

}  // namespace zd
