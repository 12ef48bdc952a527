#pragma once

#include "export/exportformat.h"

#include <QString>

namespace zd {

class EntrySource;
class RunObserver;

// Prints the results of one entry as the location click shows them: the
// location-name row and the figure rows under the list's headers, as aligned
// text; or the entry as one JSON line (jsonl), or as CSV (csv, wide or long).
// An entry with nothing to show, or one that is incomplete, is named on
// standard error. Returns the exit status.
int runShow(EntrySource& source, const QString& entry, ExportFormat format, bool csvLong, RunObserver& observer);

}  // namespace zd
