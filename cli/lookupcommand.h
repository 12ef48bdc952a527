#pragma once

#include <QStringList>

namespace zd {

class Console;

// Prints one line per entry: the entry as given, a TAB, and what GetLocationName
// gives for it (the name or a status text). Returns the exit status.
int runLookup(const QStringList& entries, double delaySeconds, Console& console);

}  // namespace zd
