#pragma once

#include <QStringList>

namespace zd {

class Console;

// Prints one line per entry: the entry as given, a TAB, and what GetLocationName
// gives for it (the name or a status text). A fetch that failed in transport is
// named on standard error, so that an unreachable site does not pass for a zip
// code that was not found. Returns the exit status.
int runLookup(const QStringList& entries, double delaySeconds, Console& console);

}  // namespace zd
