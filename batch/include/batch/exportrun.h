#pragma once

#include "export/exportformat.h"

#include "core/packedstrings.h"

#include <QString>

namespace zd {

class EntrySource;
class RunObserver;
struct BatchSettings;

// Writes the results of every entry to one result file: aligned, as the save
// command does, or as CSV (wide, or long with csvLong), JSON Lines or a
// workbook. The results wait in input order until OUT is written. When entries
// failed, an existing file is left as it was unless the settings allow a
// partial result; a stop raised in the settings' flag leaves it as it was too.
// Returns the exit status.
int runExport(EntrySource& source, const PackedStrings& entries, const QString& outputPath, ExportFormat format,
              bool csvLong, const BatchSettings& settings, RunObserver& observer);

}  // namespace zd
