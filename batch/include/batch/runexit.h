#pragma once

#include "batch/earlyend.h"

namespace zd {

class RunObserver;

// The exit status of a run that ended early: a stop as a process ended by its
// signal reports it (128 + the signal), a cause the user must remove (robots.txt,
// the cache, the key, the year, the request) a usage error, and a source that
// could not be read an incomplete run.
int exitStatusOf(const EarlyEnd& end);

// Says why the run ended early and gives its exit status.
int reportEarlyEnd(const EarlyEnd& end, RunObserver& observer);

}  // namespace zd
