#include "batch/exportrun.h"

#include "core/listmodel.h"
#include "batch/batchrun.h"
#include "batch/runobserver.h"
#include "batch/entryfetch.h"
#include "batch/exitstatus.h"
#include "batch/runsummary.h"
#include "batch/shownentry.h"
#include "export/alignedspool.h"
#include "export/alignedwriter.h"
#include "export/entryresult.h"
#include "export/outputcheck.h"
#include "export/resultfile.h"
#include "export/resultstable.h"
#include "retrieval/demographicsparser.h"
#include "retrieval/demographicsrows.h"
#include "retrieval/locationlookup.h"
#include "retrieval/requesturl.h"

#include <QFileInfo>

namespace zd {
namespace {

// The entry as the summary counts it: by its fetch and its location, whether or
// not its rows were whole.
EntryStatus summaryStatus(const QString& entry, const FetchOutcome& fetched)
{
    return entryStatus(trimZipSpaces(entry), &fetched, extractLocationName(fetched.body).has_value());
}

// The demographics list's columns, with no rows.
ListModel& withDemographicsColumns(ListModel& list)
{
    addDemographicsColumns(list);
    return list;
}

// Each entry's results, in input order as the batch hands them over: rows of the
// demographics list for the aligned file, or results for a table format, kept in
// a scratch file beside the output so that memory stays bounded however long the
// run. An incomplete entry is named at once and the export goes on.
class ExportCollector {
public:
    ExportCollector(const PackedStrings& entries, ExportFormat format, RunObserver& observer)
        : m_entries(entries), m_format(format), m_observer(observer), m_rows(withDemographicsColumns(m_list))
    {
    }

    // Makes the scratch file; false with the reason.
    bool open(const QString& outputPath, QString& error)
    {
        return m_format == ExportFormat::Aligned ? m_rows.open(outputPath, error)
                                                 : m_table.keepOnDisk(outputPath, error);
    }

    void add(qsizetype index, const PageResult& page)
    {
        const QString entry = m_entries.at(index);
        const FetchOutcome& fetched = page.outcome;
        m_summary.add(entry, summaryStatus(entry, fetched), fetched.httpStatus);
        QStringList problems;
        if (m_format == ExportFormat::Aligned) {
            m_list.clearRows();
            problems = entryProblems(fetched, appendEntryRows(m_list, entry, fetched.body));
            m_rows.addRows(m_list);
        } else {
            EntryResult result = entryResult(entry, fetched);
            problems = entryProblems(fetched, result.brokenIn);
            m_table.append(std::move(result));
        }
        for (const QString& problem : problems)
            m_observer.message("entry " + shownEntry(entry) + ": " + problem);
        m_whole = m_whole && problems.isEmpty();
    }

    TableWriteOutcome write(const QString& outputPath, bool csvLong)
    {
        if (m_format == ExportFormat::Aligned) {
            const AlignedWriteOutcome written = m_rows.write(outputPath);
            return {written.written, written.description};
        }
        return writeResultsTable(m_table, outputPath, m_format, TableWriteOptions{csvLong, runInfoNow()});
    }

    const RunSummary& summary() const { return m_summary; }
    bool whole() const { return m_whole; }

private:
    const PackedStrings& m_entries;
    const ExportFormat m_format;
    RunObserver& m_observer;
    ListModel m_list;  // the rows of one entry at a time
    AlignedSpool m_rows;
    ResultsTable m_table;
    RunSummary m_summary;
    bool m_whole = true;
};

// An export with failed entries does not take the place of a file that is there.
bool keepsExistingFile(const RunSummary& summary, const QString& outputPath, const BatchSettings& settings,
                       RunObserver& observer)
{
    if (!summary.anyFailed() || settings.partial || outputPath == ResultFile::kStandardOutput
        || !QFileInfo::exists(outputPath))
        return false;
    const qsizetype failed = summary.failedCount();
    observer.message(QStringLiteral("%1 %2 failed, so \"%3\" is left as it was; --partial writes it "
                                      "anyway, and with --cache a rerun fetches only what is missing")
                           .arg(failed).arg(failed == 1 ? "entry" : "entries").arg(outputPath));
    return true;
}

}  // namespace

int runExport(const PackedStrings& entries, const QString& outputPath, ExportFormat format, bool csvLong,
              const BatchSettings& settings, RunObserver& observer)
{
    if (outputPath != ResultFile::kStandardOutput) {
        const OutputObstacle obstacle = findOutputObstacle(outputPath, FolderProbe::Ask);
        if (obstacle != OutputObstacle::None) {
            observer.message("cannot write \"" + outputPath + "\": " + describeOutputObstacle(obstacle, outputPath));
            return kExitOutputFailed;
        }
    }
    const EntryAddresses addresses{entries.size(), [&](qsizetype index) { return requestUrl(entries.at(index)); }};
    BatchRun batch(settings, observer);
    ExportCollector collector(entries, format, observer);
    if (QString error; !collector.open(outputPath, error)) {
        observer.message("cannot write \"" + outputPath + "\": no room for a scratch file (" + error + ")");
        return kExitOutputFailed;
    }
    if (const std::optional<int> early = batch.run(addresses, [&](qsizetype index, const PageResult* page) {
            collector.add(index, *page);
        }))
        return *early;
    if (const std::optional<int> stopped = batch.stopAfterwards(entries.size()))
        return *stopped;
    observer.message(collector.summary().line());
    if (keepsExistingFile(collector.summary(), outputPath, settings, observer))
        return kExitIncomplete;
    const TableWriteOutcome written = collector.write(outputPath, csvLong);
    if (!written.written) {
        // A stop while writing leaves OUT as it was.
        if (const std::optional<int> stopped = batch.stopAfterwards(entries.size()))
            return *stopped;
        observer.message("cannot write \"" + outputPath + "\": " + written.description
                           + "; nothing was written");
        return kExitOutputFailed;
    }
    return collector.whole() ? kExitSuccess : kExitIncomplete;
}

}  // namespace zd
