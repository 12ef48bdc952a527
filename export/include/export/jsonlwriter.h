#pragma once

#include "export/figuresource.h"
#include "export/tablewrite.h"

#include <QByteArray>
#include <QString>

namespace zd {

class ResultsTable;
struct EntryResult;

// One entry's line, without its line end: a JSON object of entry, figures (an
// array in page order of {label, number, value}, number being the value read as
// a number, or null when it does not read as one; a figure with a margin of error
// has it as moe, an object {number, value} of the same kind, after its label),
// location (null when the page named none), status and zip. A figure (and a
// margin) whose source names it has its ID as variable, after its value; a
// figure whose source says its unit ("count", "percent", "dollars", "years",
// "minutes") and universe has them as unit and universe, between number and
// value; a source that names its vintage adds source and vintage to every line.
// An entry with a note (a total's) has it as note, after location.
QByteArray entryJsonLine(const EntryResult& entry, const FigureSource& source = {});

// JSON Lines: one such object per entry, each on its own line ended by LF, UTF-8.
TableWriteOutcome writeJsonLines(const ResultsTable& table, const QString& path, const FigureSource& source = {});

}  // namespace zd
