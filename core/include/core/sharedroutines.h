#pragma once

#include <QString>
#include <functional>

namespace zd {

// True when the path names an existing entry of the file system; every failure
// of the query (empty path, missing entry, ill-formed name) gives false.
bool FileExists(const QString& path);

// The clock and the pump that a wait uses; tests replace them.
struct WaitHooks {
    // Seconds since local midnight, with fractions, from 0 up to 86400.
    std::function<double()> secondsSinceMidnight;
    // Pumps pending events, sleeping at most the given seconds until one arrives.
    std::function<void(double maxSeconds)> pumpAndSleep;
};
WaitHooks realWaitHooks();
double secondsSinceLocalMidnight();

// Pauses for the given seconds (below 86400) while the window stays responsive:
// events are pumped during the wait, and the wait sleeps between them. A request
// of 0 or less returns at once without pumping. Midnight inside the wait is handled.
void WaitSeconds(double seconds);
void WaitSeconds(double seconds, const WaitHooks& hooks);

// Repairs the doubled backslashes of a joined path; a leading run of backslashes
// becomes exactly two.
QString FixPathSlashes(const QString& path);

}  // namespace zd
