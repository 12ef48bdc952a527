#pragma once

#include "export/exportformat.h"

#include "core/packedstrings.h"

#include <QString>
#include <QStringList>

namespace zd {

class RunObserver;
struct BatchSettings;

// Writes the demographics of every entry to one result file: aligned, as the
// save command does, or as CSV (wide, or long with csvLong), JSON Lines or a
// workbook. The pages are fetched as a batch and the results kept in input
// order. When entries failed, an existing file is left as it was unless the
// settings allow a partial result. Returns the exit status.
int runExport(const PackedStrings& entries, const QString& outputPath, ExportFormat format, bool csvLong,
              const BatchSettings& settings, RunObserver& observer);

}  // namespace zd
