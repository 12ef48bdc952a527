#pragma once

#include "export/figuresource.h"
#include "export/tablewrite.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace zd {

class ResultsTable;

// Comma-separated values as RFC 4180 has them: UTF-8 without byte-order mark,
// lines ended by CR LF, a field quoted when it holds a comma, a quote, a line
// break or spaces at either end, quotes inside doubled. A field that a
// spreadsheet would take for a formula starts with an apostrophe
// (core/formulatext.h), and C0 controls and DEL are escaped
// (core/escapedcontrols.h): no field carries a raw control byte.
enum class CsvLayout {
    // One row per entry: entry, zip, status, location, then one column per figure
    // label (the table's figure columns); an entry without a figure leaves it empty.
    Wide,
    // The tidy form: entry, zip, location, label, value, one row per figure. An
    // entry without figures still has its row, with label and value empty.
    Long,
};

// A source that names its figures' vintage (FigureSource::isNamed) adds columns:
// vintage and source after location, the same in every row, so that any reader
// keeps them; and in the long form variable, the figure's ID, between label and
// value. The wide form's figure columns carry the ID in their names. A table
// with a note (a total's) ends each row with a note column, filled on the rows
// of the entry that has one.

// Hands over each line of the table's CSV in order, without its line end, and
// stops at the first line that take() refuses. False when it stopped.
bool forEachCsvLine(const ResultsTable& table, CsvLayout layout,
                    const std::function<bool(const QByteArray&)>& take, const FigureSource& source = {});

// The whole CSV as one text, for a table of a few entries.
QByteArray csvText(const ResultsTable& table, CsvLayout layout, const FigureSource& source = {});

TableWriteOutcome writeCsv(const ResultsTable& table, const QString& path, CsvLayout layout,
                           const FigureSource& source = {});

// One field as written.
QByteArray csvField(const QString& text);

}  // namespace zd
