#include "batch/shownentry.h"
#include "batch/showrun.h"

#include "core/listmodel.h"
#include "batch/runobserver.h"
#include "batch/entryfetch.h"
#include "batch/exitstatus.h"
#include "export/alignedlayout.h"
#include "export/csvwriter.h"
#include "export/entryresult.h"
#include "export/jsonlwriter.h"
#include "retrieval/demographicsrows.h"
#include "retrieval/requesturl.h"

namespace zd {
namespace {

// A page that arrived whole but holds nothing to show is not a success either.
QStringList withNothingToShow(QStringList reasons, bool nothing)
{
    if (reasons.isEmpty() && nothing)
        reasons.append("its page holds no location and no figures; nothing to show");
    return reasons;
}

// The entry's rows as aligned text; why it is incomplete.
QStringList showAligned(const QString& entry, RunObserver& observer)
{
    ListModel list;
    addDemographicsColumns(list);
    const QStringList reasons = fetchEntryRows(list, entry);
    observer.output(alignedText(list));
    return withNothingToShow(reasons, list.rowCount() == 0);
}

// The entry as a JSON line or a CSV header and rows; why it is incomplete.
QStringList showAsTable(const QString& entry, ExportFormat format, bool csvLong, RunObserver& observer)
{
    const FetchOutcome fetched = fetchPageWithOutcome(requestUrl(entry));
    const EntryResult result = entryResult(entry, fetched);
    ResultsTable table;
    table.append(result);
    if (format == ExportFormat::Jsonl)
        observer.output(QString::fromUtf8(entryJsonLine(result) + '\n'));
    else
        observer.output(QString::fromUtf8(csvText(table, csvLong ? CsvLayout::Long : CsvLayout::Wide)));
    return withNothingToShow(entryProblems(fetched, result.brokenIn),
                             !result.location && result.figures.isEmpty());
}

}  // namespace

int runShow(const QString& entry, ExportFormat format, bool csvLong, RunObserver& observer)
{
    const QStringList reasons = format == ExportFormat::Aligned
                                    ? showAligned(entry, observer)
                                    : showAsTable(entry, format, csvLong, observer);
    for (const QString& reason : reasons)
        observer.message("entry " + shownEntry(entry) + ": " + reason);
    if (observer.outputFailed()) {
        observer.message("cannot write to standard output");
        return kExitOutputFailed;
    }
    return reasons.isEmpty() ? kExitSuccess : kExitIncomplete;
}

}  // namespace zd
