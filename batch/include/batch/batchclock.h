#pragma once

#include <chrono>
#include <functional>

namespace zd {

// The time the batch engine goes by, and how it waits. Every pause of the engine's
// own (the pace between starts, a back-off or Retry-After, lookup's pause after a
// fetch, the grace after a stop, the ticks of the progress) is measured and waited
// out here, so that a test can hand the engine a clock that moves at once when
// slept on. Waiting for the network stays real: the clock only bounds it.
class BatchClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    // Waits for the network's next news for at most the given real time.
    using NetworkWait = std::function<void(std::chrono::milliseconds)>;

    virtual ~BatchClock() = default;

    virtual TimePoint now() const = 0;
    // Waits until `until`: on the network (`network` returns early when
    // something arrived) while transfers are in flight, else in a plain sleep.
    virtual void waitUntil(TimePoint until, const NetworkWait& network) = 0;
};

// The steady clock of the machine, with real sleeps: every batch's clock unless
// it is given another.
BatchClock& steadyBatchClock();

}  // namespace zd
