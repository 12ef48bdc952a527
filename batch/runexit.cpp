#include "batch/runexit.h"

#include "batch/exitstatus.h"
#include "batch/runobserver.h"

namespace zd {

int exitStatusOf(const EarlyEnd& end)
{
    switch (end.reason) {
    case EndReason::Stopped: return 128 + end.signal;
    case EndReason::RobotsForbid:
    case EndReason::CacheUnusable:
    case EndReason::KeyRefused:
    case EndReason::YearMissing:
    case EndReason::RequestRefused: return kExitUsage;
    case EndReason::SourceUnreadable: return kExitIncomplete;
    }
    return kExitIncomplete;
}

int reportEarlyEnd(const EarlyEnd& end, RunObserver& observer)
{
    observer.message(end.message);
    return exitStatusOf(end);
}

}  // namespace zd
