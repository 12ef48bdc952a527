#pragma once

#include <chrono>

namespace zd {

// When a page is asked for again: transient failures (refused or reset
// connections, time-outs, a body cut off, HTTP 408, 429, 500, 502, 503, 504)
// up to `retries` times, after an exponential back-off from `base`, doubling,
// with random jitter, capped at `cap`. A Retry-After from the site is honoured
// up to `maxWait`.
struct RetryPolicy {
    int retries = 3;
    std::chrono::milliseconds base{1000};
    std::chrono::milliseconds cap{60000};
    std::chrono::seconds maxWait{600};  // the longest wait the site may ask for

    static bool isRetryableStatus(long httpStatus);

    // The pause before retry number `retry` (1 for the first). `jitter` in [0, 1)
    // stretches the doubled pause by up to a quarter, never beyond the cap;
    // a longer Retry-After (seconds, negative when none) wins, up to maxWait.
    std::chrono::milliseconds pauseBefore(int retry, double jitter, long long retryAfterSeconds = -1) const;
};

}  // namespace zd
