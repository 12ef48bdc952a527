#pragma once

#include "batch/batchclock.h"

#include <atomic>
#include <chrono>

namespace zd::test {

// A batch clock whose time moves only when the engine waits: a sleep ends at
// once, at its end; a wait on the network counts the real time it took times
// `networkScale` (0: the network takes no time at all, so the clock shows the
// engine's own waits alone). It may be read from any thread (a test server
// noting when a request came).
class TestClock final : public BatchClock {
public:
    explicit TestClock(double networkScale = 0);

    TimePoint now() const override;
    void waitUntil(TimePoint until, const NetworkWait& network) override;

    // Seconds since the clock was made, now or at a time it gave.
    double seconds() const { return secondsAt(now()); }
    double secondsAt(TimePoint at) const;
    // How many times the engine waited with nothing on the network.
    int sleeps() const { return m_sleeps.load(); }

private:
    void advanceBy(std::chrono::nanoseconds step, TimePoint until);

    const double m_networkScale;
    const TimePoint m_start;
    std::atomic<std::chrono::nanoseconds::rep> m_sinceStart{0};
    std::atomic<int> m_sleeps{0};
};

}  // namespace zd::test
