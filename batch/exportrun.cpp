#include "batch/exportrun.h"

#include "batch/batchrun.h"
#include "batch/runobserver.h"
#include "batch/entryfetch.h"
#include "batch/exitstatus.h"
#include "batch/exportoutput.h"
#include "batch/runsummary.h"
#include "batch/shownentry.h"
#include "export/entryresult.h"
#include "retrieval/demographicsparser.h"
#include "retrieval/demographicsrows.h"
#include "retrieval/locationlookup.h"
#include "retrieval/requesturl.h"

namespace zd {
namespace {

// The entry as the summary counts it: by its fetch and its location, whether or
// not its rows were whole.
EntryStatus summaryStatus(const QString& entry, const FetchOutcome& fetched)
{
    return entryStatus(trimZipSpaces(entry), &fetched, extractLocationName(fetched.body).has_value());
}

// Each entry's results, in input order as the batch hands them over: rows of the
// demographics list for the aligned file, or results for a table format, kept
// until OUT is written. An incomplete entry is named at once and the export goes on.
class ExportCollector {
public:
    ExportCollector(const PackedStrings& entries, ExportFormat format, RunObserver& observer)
        : m_entries(entries), m_observer(observer), m_results(format, false)
    {
    }

    ExportResults& results() { return m_results; }

    void add(qsizetype index, const PageResult& page)
    {
        const QString entry = m_entries.at(index);
        const FetchOutcome& fetched = page.outcome;
        m_summary.add(entry, summaryStatus(entry, fetched), fetched.httpStatus);
        QStringList problems;
        if (m_results.aligned()) {
            problems = entryProblems(fetched, appendEntryRows(m_results.freshRows(), entry, fetched.body));
            m_results.keepRows();
        } else {
            EntryResult result = entryResult(entry, fetched);
            problems = entryProblems(fetched, result.brokenIn);
            m_results.keepResult(std::move(result));
        }
        for (const QString& problem : problems)
            m_observer.message("entry " + shownEntry(entry) + ": " + problem);
        m_whole = m_whole && problems.isEmpty();
    }

    const RunSummary& summary() const { return m_summary; }
    bool whole() const { return m_whole; }

private:
    const PackedStrings& m_entries;
    RunObserver& m_observer;
    ExportResults m_results;
    RunSummary m_summary;
    bool m_whole = true;
};

}  // namespace

int runExport(const PackedStrings& entries, const QString& outputPath, ExportFormat format, bool csvLong,
              const BatchSettings& settings, RunObserver& observer)
{
    if (const std::optional<int> refused = refuseObstructedOutput(outputPath, observer))
        return *refused;
    const EntryAddresses addresses{entries.size(), [&](qsizetype index) { return requestUrl(entries.at(index)); }};
    BatchRun batch(settings, observer);
    ExportCollector collector(entries, format, observer);
    if (!collector.results().open(outputPath, observer))
        return kExitOutputFailed;
    if (const std::optional<int> early = batch.run(addresses, [&](qsizetype index, const PageResult* page) {
            collector.add(index, *page);
        }))
        return *early;
    if (const std::optional<int> stopped = batch.stopAfterwards(entries.size()))
        return *stopped;
    observer.message(collector.summary().line());
    if (keepsExistingFile(collector.summary(), outputPath, settings, observer))
        return kExitIncomplete;
    if (const std::optional<int> failed =
            collector.results().writeOutput(outputPath, csvLong, runInfoNow(), batch, entries.size(), observer))
        return *failed;
    return collector.whole() ? kExitSuccess : kExitIncomplete;
}

}  // namespace zd
