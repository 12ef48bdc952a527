#include "batch/exportrun.h"

#include "batch/batchrun.h"
#include "batch/entrysource.h"
#include "batch/exitstatus.h"
#include "batch/exportoutput.h"
#include "batch/figuresfetch.h"
#include "batch/figurereliability.h"
#include "batch/runexit.h"
#include "batch/runobserver.h"
#include "batch/runsummary.h"

namespace zd {

int runExport(EntrySource& source, const PackedStrings& entries, const QString& outputPath, ExportFormat format,
              bool csvLong, const BatchSettings& settings, RunObserver& observer)
{
    if (const std::optional<int> refused = refuseObstructedOutput(outputPath, observer))
        return *refused;
    ExportResults results(format, source.marginsOfError());
    if (!results.open(outputPath, observer))
        return kExitOutputFailed;
    const FetchedFigures fetched =
        fetchFigures(source, entries, observer, [&](EntryResult&& result) { results.keep(std::move(result)); });
    if (fetched.early)
        return reportEarlyEnd(*fetched.early, observer);
    observer.message(fetched.summary.line());
    RunInfo run = source.runInfo();
    if (source.marginsOfError())
        run.notes.append(reliabilityKey());
    if (std::optional<EntryResult> total = source.totalOfEntries()) {
        if (!total->note.isEmpty()) {
            observer.message("total: " + total->note);
            run.notes.append("Total: " + total->note);
        }
        if (results.format() == ExportFormat::Aligned || results.format() == ExportFormat::Xlsx)
            total->note.clear();  // said on the About sheet and the error stream instead
        results.keep(std::move(*total));
    }
    const BatchRun batch(settings, observer);
    if (const std::optional<EarlyEnd> stopped = batch.stopAfterwards(entries.size()))
        return reportEarlyEnd(*stopped, observer);
    if (keepsExistingFile(fetched.summary, outputPath, settings, observer))
        return kExitIncomplete;
    if (const std::optional<int> failed =
            results.writeOutput(outputPath, csvLong, run, batch, entries.size(), observer))
        return *failed;
    return fetched.whole ? kExitSuccess : kExitIncomplete;
}

}  // namespace zd
