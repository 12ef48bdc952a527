#pragma once

#include "core/packedstrings.h"

#include <QString>

namespace zd {

class EntrySource;
class RunObserver;

// Prints one line per entry, in input order: the entry as given, a TAB, and
// what GetLocationName gives for it (the name or a status text), with TAB, CR,
// LF, NUL and backslash written as \t, \r, \n, \0 and \\ so that each stays
// one line, and every other control character as core/escapedcontrols.h
// escapes it.
// An entry whose fetch failed is named on standard error, so that an
// unreachable source does not pass for a zip code that was not found. Ends with
// the summary. Returns the exit status.
int runLookup(EntrySource& source, const PackedStrings& entries, RunObserver& observer);

// A field of lookup's output with TAB, CR, LF, NUL and backslash escaped, and
// the other control characters; appended to a line, or on its own.
void appendEscapedLookupField(QString& line, const QString& text);
QString escapedLookupField(const QString& text);

}  // namespace zd
