#include "export/exportformat.h"

#include "core/errortrap.h"
#include "core/programversion.h"
#include "core/siteconfig.h"
#include "export/csvwriter.h"
#include "export/jsonlwriter.h"

#include <QFileInfo>

namespace zd {
namespace {

constexpr ExportFormat kFormats[] = {ExportFormat::Aligned, ExportFormat::Csv, ExportFormat::Jsonl,
                                     ExportFormat::Xlsx};

TableWriteOutcome writeInFormat(const ResultsTable& table, const QString& path, ExportFormat format,
                                const TableWriteOptions& options)
{
    switch (format) {
    case ExportFormat::Csv:
        return writeCsv(table, path, options.csvLong ? CsvLayout::Long : CsvLayout::Wide, options.run.figureSource);
    case ExportFormat::Jsonl:
        return writeJsonLines(table, path, options.run.figureSource);
    case ExportFormat::Xlsx:
        return writeWorkbook(table, path, options.run);
    case ExportFormat::Aligned:
        break;
    }
    return {false, QStringLiteral("the aligned layout is written from a list")};
}

}  // namespace

QString exportFormatName(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Aligned: return QStringLiteral("aligned");
    case ExportFormat::Csv: return QStringLiteral("csv");
    case ExportFormat::Jsonl: return QStringLiteral("jsonl");
    case ExportFormat::Xlsx: return QStringLiteral("xlsx");
    }
    return {};
}

QStringList exportFormatNames()
{
    QStringList names;
    for (const ExportFormat format : kFormats)
        names.append(exportFormatName(format));
    return names;
}

std::optional<ExportFormat> exportFormatNamed(const QString& name)
{
    for (const ExportFormat format : kFormats) {
        if (exportFormatName(format) == name)
            return format;
    }
    return std::nullopt;
}

ExportFormat exportFormatOfPath(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    const std::optional<ExportFormat> format = exportFormatNamed(suffix);
    return format.value_or(ExportFormat::Aligned);
}

RunInfo runInfoNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    // With its offset from UTC, so that the time says where it was taken.
    return {demographicsHost(), now.toOffsetFromUtc(now.offsetFromUtc()), programVersion()};
}

TableWriteOutcome writeResultsTable(const ResultsTable& table, const QString& path,
                                    ExportFormat format, const TableWriteOptions& options)
{
    try {
        return writeInFormat(table, path, format, options);
    } catch (...) {
        // Only memory can run out here; the temporary files go with their owners.
        return {false, describeCurrentException()};
    }
}

}  // namespace zd
