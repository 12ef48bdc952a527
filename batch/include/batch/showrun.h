#pragma once

#include "export/exportformat.h"

#include <QString>

namespace zd {

class RunObserver;

// Prints the demographics of one entry as the location click shows them: the
// location-name row, the figure rows and the household income rows under the
// list's headers, as aligned text; or the entry as one JSON line (jsonl), or as
// CSV (csv, wide or long). Returns the exit status.
int runShow(const QString& entry, ExportFormat format, bool csvLong, RunObserver& observer);

}  // namespace zd
