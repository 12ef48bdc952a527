#include "batch/batchsettings.h"

#include "batch/batchclock.h"

namespace zd {

void startTimeLimit(BatchSettings& settings, std::chrono::seconds limit)
{
    const BatchClock& clock = settings.clock ? *settings.clock : steadyBatchClock();
    settings.deadline = clock.now() + limit;
}

void takeRetryBaseFromEnvironment(BatchSettings& settings)
{
    bool ok = false;
    const int retryBaseMs = qEnvironmentVariableIntValue("ZIPDEMOGRAPHICS_RETRY_BASE_MS", &ok);
    if (ok && retryBaseMs >= 0)
        settings.retryBase = std::chrono::milliseconds(retryBaseMs);
}

}  // namespace zd
