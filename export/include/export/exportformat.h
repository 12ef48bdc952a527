#pragma once

#include "export/tablewrite.h"
#include "export/workbookwriter.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace zd {

class ResultsTable;

enum class ExportFormat { Aligned, Csv, Jsonl, Xlsx };

// "aligned", "csv", "jsonl", "xlsx".
QString exportFormatName(ExportFormat format);
QStringList exportFormatNames();
std::optional<ExportFormat> exportFormatNamed(const QString& name);

// The format an output file's extension asks for: ".csv", ".jsonl", ".xlsx" (in
// any case); aligned for anything else.
ExportFormat exportFormatOfPath(const QString& path);

struct TableWriteOptions {
    bool csvLong = false;  // the tidy CSV form instead of the wide one
    RunInfo run;           // for the workbook's "About" sheet
};

// The site, the time and the program's version of a run that begins now.
RunInfo runInfoNow();

// Writes the table in one of the table formats (not aligned) through a temporary
// file that replaces path only when complete.
TableWriteOutcome writeResultsTable(const ResultsTable& table, const QString& path,
                                    ExportFormat format, const TableWriteOptions& options);

}  // namespace zd
