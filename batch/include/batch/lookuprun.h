#pragma once

#include "core/packedstrings.h"

#include <QString>
#include <QStringList>

namespace zd {

class RunObserver;
struct BatchSettings;

// Prints one line per entry, in input order: the entry as given, a TAB, and
// what GetLocationName gives for it (the name or a status text), with TAB, CR,
// LF and backslash written as \t, \r, \n and \\ so that each stays one line.
// Only entries five characters long once trimmed of spaces are fetched, each
// distinct one once. A fetch that failed is named on standard error, so that an
// unreachable site does not pass for a zip code that was not found. Returns the
// exit status.
int runLookup(const PackedStrings& entries, double delaySeconds, const BatchSettings& settings,
              RunObserver& observer);

// A field of lookup's output with TAB, CR, LF and backslash escaped.
QString escapedLookupField(const QString& text);

}  // namespace zd
