#include "batch/exportrun.h"

#include "batch/batchrun.h"
#include "batch/entrysource.h"
#include "batch/exitstatus.h"
#include "batch/exportoutput.h"
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
    RunSummary summary;
    bool whole = true;
    const std::optional<EarlyEnd> early =
        source.fetchEach(entries, EntryNeed::Figures, observer, [&](EntryOutcome&& entry) {
            summary.add(entry.result);
            tellProblems(entry, observer);
            whole = whole && entry.problems.isEmpty();
            results.keep(std::move(entry.result));
        });
    if (early)
        return reportEarlyEnd(*early, observer);
    observer.message(summary.line());
    RunInfo run = source.runInfo();
    if (source.marginsOfError())
        run.notes.append(reliabilityKey());
    if (std::optional<EntryResult> total = source.totalOfEntries()) {
        if (!total->note.isEmpty()) {
            observer.message("total: " + total->note);
            run.notes.append("Total: " + total->note);
        }
        if (results.format() != ExportFormat::Jsonl)
            total->note.clear();  // said on the About sheet and the error stream instead
        results.keep(std::move(*total));
    }
    const BatchRun batch(settings, observer);
    if (const std::optional<EarlyEnd> stopped = batch.stopAfterwards(entries.size()))
        return reportEarlyEnd(*stopped, observer);
    if (keepsExistingFile(summary, outputPath, settings, observer))
        return kExitIncomplete;
    if (const std::optional<int> failed =
            results.writeOutput(outputPath, csvLong, run, batch, entries.size(), observer))
        return *failed;
    return whole ? kExitSuccess : kExitIncomplete;
}

}  // namespace zd
