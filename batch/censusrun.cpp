#include "batch/censusrun.h"

#include "batch/batchrun.h"
#include "batch/batchsettings.h"
#include "batch/alignedresults.h"
#include "batch/censusfetch.h"
#include "batch/exitstatus.h"
#include "batch/exportoutput.h"
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
#include "export/resultfile.h"
#include "retrieval/demographicsrows.h"
#include "retrieval/locationlookup.h"

#include <functional>
#include <utility>

namespace zd {
namespace {

// The ZIP codes that the place table knows but the API does not: PO boxes,
// single buildings and the like have no ZIP Code Tabulation Area. The first few
// are named one by one, the rest counted: a whole-country list holds thousands.
class EntriesWithoutZcta {
public:
    explicit EntriesWithoutZcta(RunObserver& observer) : m_observer(observer) {}

    void add(const QString& entry)
    {
        const std::optional<QString> zip = zctaOfEntry(entry);
        const std::optional<Place> place = zip ? PlaceNames::installed().find(*zip) : std::nullopt;
        if (!place)
            return;
        if (++m_count <= kNamedOneByOne)
            m_observer.message("entry \"" + entry + "\": ZIP code of " + place->name()
                               + ", but not a ZIP Code Tabulation Area: the Census Bureau has no figures for it");
    }

    // The count of those not named, once the run's entries are done.
    void sayTheRest() const
    {
        if (m_count <= kNamedOneByOne)
            return;
        m_observer.message(QStringLiteral("... and %1 more entries that are ZIP codes but not ZIP Code Tabulation "
                                          "Areas, %2 in all: the Census Bureau has no figures for them")
                               .arg(m_count - kNamedOneByOne)
                               .arg(m_count));
    }

private:
    static constexpr qsizetype kNamedOneByOne = 5;
    RunObserver& m_observer;
    qsizetype m_count = 0;
};

// Each entry's results in input order, handed to `take`, with the summary
// counted and each entry that failed or has no ZCTA named.
void forEachResult(const QStringList& entries, const CensusFigures& figures, bool marginsOfError,
                   RunSummary& summary, RunObserver& observer, const std::function<void(EntryResult&&)>& take)
{
    EntriesWithoutZcta withoutZcta(observer);
    for (const QString& entry : entries) {
        EntryResult result = censusEntryResult(entry, figures, marginsOfError);
        summary.add(entry, result.status);
        if (result.status == EntryStatus::Failed)
            observer.message("entry \"" + entry + "\": " + figures.failedZctas.value(*zctaOfEntry(entry)));
        if (result.status == EntryStatus::NotFound)
            withoutZcta.add(entry);
        take(std::move(result));
    }
    withoutZcta.sayTheRest();
}

// The table layouts give each margin of error a column of its own after its
// figure's, "LABEL (margin of error)".
EntryResult withMarginColumns(EntryResult result)
{
    QList<Figure> figures;
    figures.reserve(2 * result.figures.size());
    for (Figure& figure : result.figures) {
        const std::optional<QString> margin = std::exchange(figure.margin, std::nullopt);
        figures.append(std::move(figure));
        if (margin) {
            Figure marginFigure{figures.last().label + " (margin of error)", *margin};
            marginFigure.variable = figures.last().marginVariable;
            figures.append(std::move(marginFigure));
        }
    }
    result.figures = std::move(figures);
    return result;
}

// An entry's results kept for OUT: the table layouts give each margin of error a
// column of its own, JSON Lines keeps it in its figure.
void keepResult(ExportResults& results, EntryResult&& result)
{
    if (results.aligned()) {
        appendAlignedRows(results.freshRows(), result);
        results.keepRows();
    } else if (results.format() == ExportFormat::Jsonl) {
        results.keepResult(std::move(result));
    } else {
        results.keepResult(withMarginColumns(std::move(result)));
    }
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

QString censusVintage(int year) { return QStringLiteral("%1-%2 ACS 5-year").arg(year - 4).arg(year); }

FigureSource censusFigureSource(int year)
{
    return {censusVintage(year), QStringLiteral("U.S. Census Bureau, American Community Survey data profile, "
                                                "through the Census Data API")};
}

RunInfo censusRunInfo(const CensusSettings& census, int year)
{
    RunInfo run = runInfoNow();
    run.site = QStringLiteral("Census Data API (%1), ACS 5-year data profile %2. ").arg(census.baseUrl).arg(year)
               + censusNotice();
    run.figureSource = censusFigureSource(year);
    return run;
}

int runCensusLookup(const QStringList& entries, const CensusSettings& census, const BatchSettings& settings,
                    RunObserver& observer)
{
    // Whether a ZCTA is there shows in any one figure: the first of the set.
    CensusSettings one = census;
    one.variables = census.variables.mid(0, 1);
    one.marginsOfError = false;
    const CensusFetchResult fetched = fetchCensusFigures(entries, one, settings, observer);
    if (fetched.exitStatus)
        return *fetched.exitStatus;
    RunSummary summary;
    bool outputFailed = false;
    forEachResult(entries, fetched.figures, false, summary, observer, [&](EntryResult&& result) {
        if (!outputFailed)
            observer.output(escapedLookupField(result.entry) + '\t' + escapedLookupField(lookupText(result)) + '\n');
        outputFailed = outputFailed || observer.outputFailed();
    });
    observer.message(summary.line());
    if (outputFailed) {
        observer.message("cannot write to standard output");
        return kExitOutputFailed;
    }
    return summary.anyFailed() ? kExitIncomplete : kExitSuccess;
}

int runCensusExport(const QStringList& entries, const QString& outputPath, ExportFormat format, bool csvLong,
                    const CensusSettings& census, const BatchSettings& settings, RunObserver& observer)
{
    if (const std::optional<int> refused = refuseObstructedOutput(outputPath, observer))
        return *refused;
    ExportResults results(format, census.marginsOfError);
    if (!results.open(outputPath, observer))
        return kExitOutputFailed;
    const CensusFetchResult fetched = fetchCensusFigures(entries, census, settings, observer);
    if (fetched.exitStatus)
        return *fetched.exitStatus;
    RunSummary summary;
    forEachResult(entries, fetched.figures, census.marginsOfError, summary, observer,
                  [&](EntryResult&& result) { keepResult(results, std::move(result)); });
    observer.message(summary.line());
    const BatchRun batch(settings, observer);
    if (const std::optional<int> stopped = batch.stopAfterwards(entries.size()))
        return *stopped;
    if (keepsExistingFile(summary, outputPath, settings, observer))
        return kExitIncomplete;
    if (const std::optional<int> failed = results.writeOutput(
            outputPath, csvLong, censusRunInfo(census, fetched.figures.year), batch, entries.size(), observer))
        return *failed;
    return summary.anyFailed() ? kExitIncomplete : kExitSuccess;
}

int runCensusShow(const QString& entry, ExportFormat format, bool csvLong, const CensusSettings& census,
                  RunObserver& observer)
{
    const CensusFetchResult fetched = fetchCensusFigures({entry}, census, BatchSettings{}, observer);
    if (fetched.exitStatus)
        return *fetched.exitStatus;
    RunSummary summary;
    EntryResult result;
    forEachResult({entry}, fetched.figures, census.marginsOfError, summary, observer,
                  [&](EntryResult&& shown) { result = std::move(shown); });
    const FigureSource source = censusFigureSource(fetched.figures.year);
    if (format == ExportFormat::Jsonl) {
        observer.output(QString::fromUtf8(entryJsonLine(result, source) + '\n'));
    } else if (format == ExportFormat::Csv) {
        ResultsTable table;
        table.append(withMarginColumns(result));
        observer.output(QString::fromUtf8(csvText(table, csvLong ? CsvLayout::Long : CsvLayout::Wide, source)));
    } else {
        ListModel list;
        appendAlignedRows(withAlignedColumns(list, census.marginsOfError), result);
        observer.output(alignedText(list));  // as the window shows the entry
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
