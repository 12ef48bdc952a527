#include "cli/exportcommand.h"

#include "app/core/listmodel.h"
#include "cli/batchrun.h"
#include "cli/console.h"
#include "cli/entryfetch.h"
#include "cli/exitstatus.h"
#include "cli/runsummary.h"
#include "export/alignedwriter.h"
#include "export/resultfile.h"
#include "retrieval/demographicsparser.h"
#include "retrieval/demographicsrows.h"
#include "retrieval/locationlookup.h"
#include "retrieval/requesturl.h"

#include <QFileInfo>

namespace zd {
namespace {

RunSummary::Outcome outcomeOf(const QString& entry, const FetchOutcome& fetched)
{
    if (!fetched.complete)
        return RunSummary::Outcome::Failed;
    if (trimSpaces(entry).size() != 5)
        return RunSummary::Outcome::NotFiveCharacters;
    return extractLocationName(fetched.body) ? RunSummary::Outcome::Found : RunSummary::Outcome::NotFound;
}

// Each entry's rows, in input order, as the pages arrive; an incomplete entry is
// named at once and the export goes on. True when every entry was whole.
struct RowCollector {
    const QStringList& entries;
    ListModel& list;
    Console& console;
    RunSummary summary;
    bool whole = true;

    void add(qsizetype index, const PageResult* page)
    {
        const QString& entry = entries[index];
        summary.add(entry, outcomeOf(entry, page->outcome));
        for (const QString& reason : appendFetchedEntryRows(list, entry, page->outcome)) {
            console.printError("entry \"" + entry + "\": " + reason);
            whole = false;
        }
    }
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
    if ((!target.exists() || target.isFile()) && !folder.isWritable())
        return "its folder \"" + folder.filePath() + "\" is read-only";
    return {};
}

int runExport(const QStringList& entries, const QString& outputPath, const BatchSettings& settings,
              Console& console)
{
    const QString obstacle = outputObstacle(outputPath);
    if (!obstacle.isEmpty()) {
        console.printError("cannot write \"" + outputPath + "\": " + obstacle);
        return kExitOutputFailed;
    }
    ListModel list;
    addDemographicsColumns(list);
    QList<std::optional<QString>> addresses;
    for (const QString& entry : entries)
        addresses.append(requestUrl(entry));
    BatchRun batch(settings, console);
    RowCollector rows{entries, list, console, {}};
    if (const std::optional<int> early = batch.run(addresses, [&](qsizetype index, const PageResult* page) {
            rows.add(index, page);
        }))
        return *early;
    batch.finish(rows.summary.line());
    if (keepsExistingFile(rows.summary, outputPath, settings, console))
        return kExitIncomplete;
    const AlignedWriteOutcome written = writeListAligned(list, outputPath);
    if (!written.written) {
        console.printError("cannot write \"" + outputPath + "\": " + written.description
                           + "; nothing was written");
        return kExitOutputFailed;
    }
    return rows.whole ? kExitSuccess : kExitIncomplete;
}

}  // namespace zd
