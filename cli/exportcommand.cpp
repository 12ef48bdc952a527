#include "cli/exportcommand.h"

#include "app/core/listmodel.h"
#include "cli/console.h"
#include "cli/entryfetch.h"
#include "cli/exitstatus.h"
#include "export/alignedwriter.h"
#include "export/entryresult.h"
#include "export/resultstable.h"
#include "retrieval/requesturl.h"
#include "retrieval/demographicsrows.h"

#include <QFileInfo>
#include <QTemporaryFile>

namespace zd {
namespace {

// Names an incomplete entry at once, one line per reason; true when it was whole.
bool reportProblems(const QString& entry, const QStringList& reasons, Console& console)
{
    for (const QString& reason : reasons)
        console.printError("entry \"" + entry + "\": " + reason);
    return reasons.isEmpty();
}

// Fetches each entry in turn; an incomplete entry is named at once and the
// export goes on. True when every entry was whole.
bool collectRows(ListModel& list, const QStringList& entries, Console& console)
{
    bool whole = true;
    for (const QString& entry : entries)
        whole = reportProblems(entry, fetchEntryRows(list, entry), console) && whole;
    return whole;
}

// The same for the table formats: each entry's results, fed in input order.
bool collectTable(ResultsTable& table, const QStringList& entries, Console& console)
{
    bool whole = true;
    for (const QString& entry : entries) {
        const FetchOutcome fetched = fetchPageWithOutcome(requestUrl(entry));
        EntryResult result = entryResult(entry, fetched);
        whole = reportProblems(entry, entryProblems(fetched, result.brokenIn), console) && whole;
        table.append(std::move(result));
    }
    return whole;
}

// Every entry's results written as one file; how it went.
TableWriteOutcome exportEntries(const QStringList& entries, const QString& outputPath,
                                ExportFormat format, bool csvLong, Console& console, bool& whole)
{
    if (format == ExportFormat::Aligned) {
        ListModel list;
        addDemographicsColumns(list);
        whole = collectRows(list, entries, console);
        const AlignedWriteOutcome written = writeListAligned(list, outputPath);
        return {written.written, written.description};
    }
    const TableWriteOptions options{csvLong, runInfoNow()};
    ResultsTable table;
    whole = collectTable(table, entries, console);
    return writeResultsTable(table, outputPath, format, options);
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
              Console& console)
{
    const QString obstacle = outputObstacle(outputPath);
    if (!obstacle.isEmpty()) {
        console.printError("cannot write \"" + outputPath + "\": " + obstacle);
        return kExitOutputFailed;
    }
    bool whole = true;
    const TableWriteOutcome written = exportEntries(entries, outputPath, format, csvLong, console, whole);
    if (!written.written) {
        console.printError("cannot write \"" + outputPath + "\": " + written.description
                           + "; nothing was written");
        return kExitOutputFailed;
    }
    return whole ? kExitSuccess : kExitIncomplete;
}

}  // namespace zd
