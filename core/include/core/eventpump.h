#pragma once

#include <functional>

namespace zd {

// Lets the user interface process its pending window events once, then returns.
// Other commands of the window may run to their end inside this call.
void pumpEvents();

// Sleeps until the next window event arrives or maxSeconds have passed, handling
// what arrives; never spins. Without an application object it simply sleeps.
void pumpEventsAndSleep(double maxSeconds);

// The number of pumps so far in this process (for tests and measurements).
long long pumpCount();

}  // namespace zd
