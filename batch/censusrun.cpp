#include "batch/censusrun.h"

#include "batch/batchsettings.h"
#include "batch/alignedresults.h"
#include "batch/censusfetch.h"
#include "batch/exitstatus.h"
#include "batch/lookuprun.h"
#include "batch/runobserver.h"
#include "batch/runsummary.h"
#include "census/censussource.h"
#include "census/placenames.h"
#include "core/listmodel.h"
#include "export/alignedlayout.h"
#include "export/alignedwriter.h"
#include "export/csvwriter.h"
#include "export/jsonlwriter.h"
#include "export/outputcheck.h"
#include "export/resultfile.h"
#include "retrieval/demographicsrows.h"
#include "retrieval/locationlookup.h"

#include <QFileInfo>

namespace zd {
namespace {

// A ZIP code that the place table knows but the API does not: PO boxes, single
// buildings and the like have no ZIP Code Tabulation Area.
void sayWhenNoZcta(const QString& entry, RunObserver& observer)
{
    const std::optional<QString> zip = zctaOfEntry(entry);
    const std::optional<Place> place = zip ? PlaceNames::installed().find(*zip) : std::nullopt;
    if (place)
        observer.message("entry \"" + entry + "\": ZIP code of " + place->name()
                         + ", but not a ZIP Code Tabulation Area: the Census Bureau has no figures for it");
}

// The results of every entry, in input order, with the summary counted and each
// failed entry named.
ResultsTable resultsOf(const QStringList& entries, const CensusFigures& figures, bool marginsOfError,
                       RunSummary& summary, RunObserver& observer)
{
    ResultsTable table;
    for (const QString& entry : entries) {
        EntryResult result = censusEntryResult(entry, figures, marginsOfError);
        summary.add(entry, result.status);
        if (result.status == EntryStatus::Failed)
            observer.message("entry \"" + entry + "\": " + figures.failedZctas.value(*zctaOfEntry(entry)));
        if (result.status == EntryStatus::NotFound)
            sayWhenNoZcta(entry, observer);
        table.append(std::move(result));
    }
    return table;
}

TableWriteOutcome writeResults(const ResultsTable& table, const QString& outputPath, ExportFormat format,
                               bool csvLong, const CensusSettings& census, int year)
{
    if (format != ExportFormat::Aligned)
        return writeResultsTable(table, outputPath, format, TableWriteOptions{csvLong, censusRunInfo(census, year)});
    ListModel list;
    fillAlignedList(list, table, census.marginsOfError);
    const AlignedWriteOutcome written = writeListAligned(list, outputPath);
    return {written.written, written.description};
}

bool keepsExistingFile(const RunSummary& summary, const QString& outputPath, const BatchSettings& settings,
                       RunObserver& observer)
{
    if (!summary.anyFailed() || settings.partial || outputPath == ResultFile::kStandardOutput
        || !QFileInfo::exists(outputPath))
        return false;
    observer.message(QStringLiteral("%1 failed, so \"%2\" is left as it was; --partial writes it anyway, and with "
                                    "--cache a rerun fetches only what is missing")
                         .arg(summary.failedCount() == 1 ? QStringLiteral("1 entry")
                                                         : QString::number(summary.failedCount()) + " entries")
                         .arg(outputPath));
    return true;
}

QString lookupText(const EntryResult& result)
{
    switch (result.status) {
    case EntryStatus::Found: return *result.location;
    case EntryStatus::Blank: return statusBlankLine();
    case EntryStatus::NotFiveCharacters: return statusNotFiveDigits();
    default: return statusNotFound();
    }
}

}  // namespace

RunInfo censusRunInfo(const CensusSettings& census, int year)
{
    RunInfo run = runInfoNow();
    run.site = QStringLiteral("Census Data API (%1), ACS 5-year data profile %2. ").arg(census.baseUrl).arg(year)
               + censusNotice();
    return run;
}

int runCensusLookup(const QStringList& entries, const CensusSettings& census, const BatchSettings& settings,
                    RunObserver& observer)
{
    // Whether a ZCTA is there shows in any one figure: the first of the set.
    CensusSettings one = census;
    one.variables = census.variables.mid(0, 1);
    one.marginsOfError = false;
    const CensusFetchResult fetched = fetchCensusFigures(zctasOfEntries(entries), one, settings, observer);
    if (fetched.exitStatus)
        return *fetched.exitStatus;
    RunSummary summary;
    const ResultsTable table = resultsOf(entries, fetched.figures, false, summary, observer);
    table.forEachEntry([&](const EntryResult& result, const QList<int>&) {
        observer.output(escapedLookupField(result.entry) + '\t' + escapedLookupField(lookupText(result)) + '\n');
        return !observer.outputFailed();
    });
    observer.message(summary.line());
    if (observer.outputFailed()) {
        observer.message("cannot write to standard output");
        return kExitOutputFailed;
    }
    return summary.anyFailed() ? kExitIncomplete : kExitSuccess;
}

int runCensusExport(const QStringList& entries, const QString& outputPath, ExportFormat format, bool csvLong,
                    const CensusSettings& census, const BatchSettings& settings, RunObserver& observer)
{
    if (outputPath != ResultFile::kStandardOutput) {
        const OutputObstacle obstacle = findOutputObstacle(outputPath, FolderProbe::Ask);
        if (obstacle != OutputObstacle::None) {
            observer.message("cannot write \"" + outputPath + "\": " + describeOutputObstacle(obstacle, outputPath));
            return kExitOutputFailed;
        }
    }
    const CensusFetchResult fetched = fetchCensusFigures(zctasOfEntries(entries), census, settings, observer);
    if (fetched.exitStatus)
        return *fetched.exitStatus;
    RunSummary summary;
    const ResultsTable table = resultsOf(entries, fetched.figures, census.marginsOfError, summary, observer);
    observer.message(summary.line());
    if (keepsExistingFile(summary, outputPath, settings, observer))
        return kExitIncomplete;
    const TableWriteOutcome written = writeResults(table, outputPath, format, csvLong, census, fetched.figures.year);
    if (!written.written) {
        observer.message("cannot write \"" + outputPath + "\": " + written.description + "; nothing was written");
        return kExitOutputFailed;
    }
    return summary.anyFailed() ? kExitIncomplete : kExitSuccess;
}

int runCensusShow(const QString& entry, ExportFormat format, bool csvLong, const CensusSettings& census,
                  RunObserver& observer)
{
    const CensusFetchResult fetched = fetchCensusFigures(zctasOfEntries({entry}), census, BatchSettings{}, observer);
    if (fetched.exitStatus)
        return *fetched.exitStatus;
    RunSummary summary;
    const ResultsTable table = resultsOf({entry}, fetched.figures, census.marginsOfError, summary, observer);
    EntryResult result;
    table.forEachEntry([&](const EntryResult& first, const QList<int>&) {
        result = first;
        return false;
    });
    if (format == ExportFormat::Jsonl) {
        observer.output(QString::fromUtf8(entryJsonLine(result) + '\n'));
    } else if (format == ExportFormat::Csv) {
        observer.output(QString::fromUtf8(csvText(table, csvLong ? CsvLayout::Long : CsvLayout::Wide)));
    } else {
        ListModel list;
        fillAlignedList(list, table, census.marginsOfError);
        observer.output(alignedText(list));
    }
    if (result.status != EntryStatus::Found && result.status != EntryStatus::Failed)
        observer.message("entry \"" + entry + "\": " + lookupText(result) + " (no ZIP Code Tabulation Area); "
                         "nothing to show");
    if (observer.outputFailed()) {
        observer.message("cannot write to standard output");
        return kExitOutputFailed;
    }
    return result.status == EntryStatus::Found ? kExitSuccess : kExitIncomplete;
}

}  // namespace zd
