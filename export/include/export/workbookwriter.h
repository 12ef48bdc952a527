#pragma once

#include "export/figuresource.h"
#include "export/tablewrite.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace zd {

class ResultsTable;
struct FigureNumber;

// What the workbook's "About" sheet tells of the run.
struct RunInfo {
    QString site;       // the demographics site's host
    QDateTime time;     // when the run began
    QString version;    // the program's version
    FigureSource figureSource = {};  // the figures' vintage and publisher; none for the site
    QStringList notes = {};          // what a reader should know of the figures (a total's), a row each
};

// An Excel workbook. Sheet "Demographics" holds the wide layout (entry, zip,
// status, location, one column per figure label) under a bold, frozen header
// row; entries and zip codes are text, a figure that reads as a number is a
// number shown as the page showed it ("19,756", "18.7%", "$136,900", "46.0 years"),
// other figures are text (so is a number whose unit is too long for a number
// format's field); columns are sized to their contents (a figure whose
// source names it has the ID in its column's name, as in the wide CSV). Sheet
// "About" names the site, the figures' vintage and source when the run has them,
// the time of the run and the program's version.
TableWriteOutcome writeWorkbook(const ResultsTable& table, const QString& path, const RunInfo& run);

// A text as a cell holds it, in UTF-8: C0 controls and DEL escaped
// (core/escapedcontrols.h), a literal "_x0041_" escaped, so that it is not read
// as "A", and a text longer than a cell holds (32,767 characters) cut with a
// mark (core/cuttext.h) instead of failing the whole workbook.
QByteArray workbookCellText(const QString& text);

// The cell's number format for a figure read as a number: "#,##0", "0.0%",
// "$#,##0", "0.0\" years\"".
QString workbookNumberFormat(const FigureNumber& number);

}  // namespace zd
