#pragma once

#include "export/tablewrite.h"

#include <QString>

namespace zd {

class ResultsTable;

// Comma-separated values as RFC 4180 has them: UTF-8 without byte-order mark,
// lines ended by CR LF, a field quoted when it holds a comma, a quote, a line
// break or spaces at either end, quotes inside doubled.

// One row per entry: entry, zip, status, location, then one column per figure
// label (the table's figure columns); an entry without a figure leaves it empty.
TableWriteOutcome writeCsvWide(const ResultsTable& table, const QString& path);

// The tidy form: entry, zip, location, label, value, one row per figure. An
// entry without figures still has its row, with label and value empty.
TableWriteOutcome writeCsvLong(const ResultsTable& table, const QString& path);

// One field as written.
QByteArray csvField(const QString& text);

}  // namespace zd
