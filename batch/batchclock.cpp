#include "batch/batchclock.h"

#include <algorithm>
#include <thread>

namespace zd {
namespace {

class SteadyBatchClock final : public BatchClock {
public:
    TimePoint now() const override { return std::chrono::steady_clock::now(); }

    void waitUntil(TimePoint until, const NetworkWait& network) override
    {
        const auto left = std::max(std::chrono::ceil<std::chrono::milliseconds>(until - now()),
                                   std::chrono::milliseconds(0));
        if (network)
            network(left);
        else if (left.count() > 0)
            std::this_thread::sleep_for(left);
    }
};

}  // namespace

BatchClock& steadyBatchClock()
{
    static SteadyBatchClock clock;
    return clock;
}

}  // namespace zd
