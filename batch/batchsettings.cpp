#include "batch/batchsettings.h"

namespace zd {

void takeRetryBaseFromEnvironment(BatchSettings& settings)
{
    bool ok = false;
    const int retryBaseMs = qEnvironmentVariableIntValue("ZIPDEMOGRAPHICS_RETRY_BASE_MS", &ok);
    if (ok && retryBaseMs >= 0)
        settings.retryBase = std::chrono::milliseconds(retryBaseMs);
}

}  // namespace zd
