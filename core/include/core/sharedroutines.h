#pragma once

#include "core/eventpump.h"

#include <QString>

#include <functional>

namespace zd {

// True when the path names an existing entry of the file system; every failure
// of the query (empty path, missing entry, ill-formed name) gives false.
bool FileExists(const QString& path);

// Seconds on the monotonic clock (QDeadlineTimer's) from an arbitrary starting
// point: it never steps back, and neither midnight nor a change of the system
// time moves it.
double monotonicClockSeconds();

// The clock and the pump that a wait uses; tests replace them. A default
// WaitHooks waits for real.
struct WaitHooks {
    // Seconds on a clock that never steps back, from any starting point.
    std::function<double()> clock = &monotonicClockSeconds;
    // Pumps pending events, sleeping at most the given seconds until one arrives.
    std::function<void(double maxSeconds)> pumpAndSleep = &pumpEventsAndSleep;
};
WaitHooks realWaitHooks();

// Pauses for the given seconds while the window stays responsive: events are
// pumped during the wait, and the wait sleeps between them. A request of 0 or
// less returns at once without pumping.
void WaitSeconds(double seconds);
void WaitSeconds(double seconds, const WaitHooks& hooks);

// Repairs the doubled backslashes of a joined path; a leading run of backslashes
// becomes exactly two.
QString FixPathSlashes(const QString& path);

}  // namespace zd
