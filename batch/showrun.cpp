#include "batch/showrun.h"

#include "batch/alignedresults.h"
#include "batch/entrysource.h"
#include "batch/figurereliability.h"
#include "batch/exitstatus.h"
#include "batch/exportoutput.h"
#include "batch/runexit.h"
#include "batch/runobserver.h"
#include "batch/runsummary.h"
#include "core/listmodel.h"
#include "export/alignedlayout.h"
#include "export/csvwriter.h"
#include "export/jsonlwriter.h"

namespace zd {
namespace {

QString shownText(const EntrySource& source, EntryResult result, ExportFormat format, bool csvLong)
{
    if (source.marginsOfError())
        addReliability(result);
    const FigureSource figures = source.runInfo().figureSource;
    if (format == ExportFormat::Jsonl)
        return QString::fromUtf8(entryJsonLine(result, figures) + '\n');
    if (format == ExportFormat::Csv) {
        ResultsTable table;
        table.append(withMarginColumns(result));
        return QString::fromUtf8(csvText(table, csvLong ? CsvLayout::Long : CsvLayout::Wide, figures));
    }
    ListModel list;
    appendAlignedRows(withAlignedColumns(list, source.marginsOfError(), true), result);
    return alignedText(list);  // as the window shows the entry
}

}  // namespace

int runShow(EntrySource& source, const QString& entry, ExportFormat format, bool csvLong, RunObserver& observer)
{
    EntryOutcome shown;
    if (const std::optional<EarlyEnd> early = source.fetchOne(entry, observer, shown))
        return reportEarlyEnd(*early, observer);
    observer.output(shownText(source, shown.result, format, csvLong));
    // An entry that arrived whole but holds nothing to show is not a success either.
    if (shown.problems.isEmpty() && !shown.result.location && shown.result.figures.isEmpty())
        shown.problems.append(source.nothingToShow(shown.result));
    tellProblems(shown, observer);
    if (observer.outputFailed()) {
        observer.message("cannot write to standard output");
        return kExitOutputFailed;
    }
    return shown.problems.isEmpty() ? kExitSuccess : kExitIncomplete;
}

}  // namespace zd
