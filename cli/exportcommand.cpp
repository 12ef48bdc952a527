#include "cli/exportcommand.h"

#include "app/core/listmodel.h"
#include "cli/batchrun.h"
#include "cli/console.h"
#include "cli/entryfetch.h"
#include "cli/exitstatus.h"
#include "cli/runsummary.h"
#include "export/alignedwriter.h"
#include "export/entryresult.h"
#include "export/resultfile.h"
#include "export/resultstable.h"
#include "retrieval/demographicsparser.h"
#include "retrieval/demographicsrows.h"
#include "retrieval/locationlookup.h"
#include "retrieval/requesturl.h"

#include <QFileInfo>
#include <QTemporaryFile>

namespace zd {
namespace {

RunSummary::Outcome outcomeOf(const QString& entry, const FetchOutcome& fetched)
{
    if (!fetched.complete)
        return RunSummary::Outcome::Failed;
    if (trimZipSpaces(entry).size() != 5)
        return RunSummary::Outcome::NotFiveCharacters;
    return extractLocationName(fetched.body) ? RunSummary::Outcome::Found : RunSummary::Outcome::NotFound;
}

// Each entry's results, in input order as the batch hands them over: rows of the
// demographics list for the aligned file, or results for a table format. An
// incomplete entry is named at once and the export goes on.
class ExportCollector {
public:
    ExportCollector(const QStringList& entries, ExportFormat format, Console& console)
        : m_entries(entries), m_format(format), m_console(console)
    {
        addDemographicsColumns(m_list);
    }

    void add(qsizetype index, const PageResult& page)
    {
        const QString& entry = m_entries[index];
        const FetchOutcome& fetched = page.outcome;
        m_summary.add(entry, outcomeOf(entry, fetched));
        QStringList problems;
        if (m_format == ExportFormat::Aligned) {
            problems = entryProblems(fetched, appendEntryRows(m_list, entry, fetched.body));
        } else {
            EntryResult result = entryResult(entry, fetched);
            problems = entryProblems(fetched, result.brokenIn);
            m_table.append(std::move(result));
        }
        for (const QString& problem : problems)
            m_console.printError("entry \"" + entry + "\": " + problem);
        m_whole = m_whole && problems.isEmpty();
    }

    TableWriteOutcome write(const QString& outputPath, bool csvLong) const
    {
        if (m_format == ExportFormat::Aligned) {
            const AlignedWriteOutcome written = writeListAligned(m_list, outputPath);
            return {written.written, written.description};
        }
        return writeResultsTable(m_table, outputPath, m_format, TableWriteOptions{csvLong, runInfoNow()});
    }

    const RunSummary& summary() const { return m_summary; }
    bool whole() const { return m_whole; }

private:
    const QStringList& m_entries;
    const ExportFormat m_format;
    Console& m_console;
    ListModel m_list;
    ResultsTable m_table;
    RunSummary m_summary;
    bool m_whole = true;
};

// An export with failed entries does not take the place of a file that is there.
bool keepsExistingFile(const RunSummary& summary, const QString& outputPath, const BatchSettings& settings,
                       Console& console)
{
    if (!summary.anyFailed() || settings.partial || outputPath == ResultFile::kStandardOutput
        || !QFileInfo::exists(outputPath))
        return false;
    const qsizetype failed = summary.failedEntries().size();
    console.printError(QStringLiteral("%1 %2 failed, so \"%3\" is left as it was; --partial writes it "
                                      "anyway, and with --cache a rerun fetches only what is missing")
                           .arg(failed).arg(failed == 1 ? "entry" : "entries").arg(outputPath));
    return true;
}

// Asked of the folder itself: some (/proc, /sys) refuse new files whatever their
// permissions say, also to the superuser.
bool folderTakesNewFiles(const QString& folder)
{
    QTemporaryFile probe(folder + "/.zipdemographics-XXXXXX");
    return probe.open();
}

}  // namespace

QString outputObstacle(const QString& path)
{
    if (path == ResultFile::kStandardOutput)
        return {};
    const QFileInfo target(path);
    if (target.isDir())
        return "it is a folder";
    const QFileInfo folder(target.absolutePath());
    if (!folder.exists())
        return "its folder \"" + folder.filePath() + "\" does not exist";
    if (!folder.isDir())
        return "\"" + folder.filePath() + "\" is not a folder";
    if (target.exists() && !target.isWritable())
        return "it is read-only";
    // A file takes its place through a new file beside it, so the folder must be writable.
    const bool replacedThroughNewFile = !target.exists() || target.isFile();
    if (replacedThroughNewFile && !folder.isWritable())
        return "its folder \"" + folder.filePath() + "\" is read-only";
    if (replacedThroughNewFile && !folderTakesNewFiles(folder.filePath()))
        return "its folder \"" + folder.filePath() + "\" takes no new files";
    return {};
}

int runExport(const QStringList& entries, const QString& outputPath, ExportFormat format, bool csvLong,
              const BatchSettings& settings, Console& console)
{
    const QString obstacle = outputObstacle(outputPath);
    if (!obstacle.isEmpty()) {
        console.printError("cannot write \"" + outputPath + "\": " + obstacle);
        return kExitOutputFailed;
    }
    QList<std::optional<QString>> addresses;
    for (const QString& entry : entries)
        addresses.append(requestUrl(entry));
    BatchRun batch(settings, console);
    ExportCollector collector(entries, format, console);
    if (const std::optional<int> early = batch.run(addresses, [&](qsizetype index, const PageResult* page) {
            collector.add(index, *page);
        }))
        return *early;
    batch.finish(collector.summary().line());
    if (keepsExistingFile(collector.summary(), outputPath, settings, console))
        return kExitIncomplete;
    const TableWriteOutcome written = collector.write(outputPath, csvLong);
    if (!written.written) {
        console.printError("cannot write \"" + outputPath + "\": " + written.description
                           + "; nothing was written");
        return kExitOutputFailed;
    }
    return collector.whole() ? kExitSuccess : kExitIncomplete;
}

}  // namespace zd
