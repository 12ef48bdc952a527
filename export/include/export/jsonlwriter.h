#pragma once

#include "export/tablewrite.h"

#include <QJsonObject>
#include <QString>

namespace zd {

class ResultsTable;
struct EntryResult;

// One entry as a JSON object: entry, zip, status, location (null when the page
// named none), and figures, an array in page order of {label, value, number},
// number being the value read as a number, or null when it does not read as one.
QJsonObject entryJson(const EntryResult& entry);

// One entry's line, without its line end.
QByteArray entryJsonLine(const EntryResult& entry);

// JSON Lines: one such object per entry, each on its own line ended by LF, UTF-8.
TableWriteOutcome writeJsonLines(const ResultsTable& table, const QString& path);

}  // namespace zd
