#include "cli/exportcommand.h"

#include "app/core/listmodel.h"
#include "cli/console.h"
#include "cli/entryfetch.h"
#include "cli/exitstatus.h"
#include "export/alignedwriter.h"
#include "retrieval/demographicsrows.h"

#include <QFileInfo>

namespace zd {
namespace {

// Fetches each entry in turn; an incomplete entry is named at once and the
// export goes on. True when every entry was whole.
bool collectRows(ListModel& list, const QStringList& entries, Console& console)
{
    bool whole = true;
    for (const QString& entry : entries) {
        for (const QString& reason : fetchEntryRows(list, entry)) {
            console.printError("entry \"" + entry + "\": " + reason);
            whole = false;
        }
    }
    return whole;
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
    if ((!target.exists() || target.isFile()) && !folder.isWritable())
        return "its folder \"" + folder.filePath() + "\" is read-only";
    return {};
}

int runExport(const QStringList& entries, const QString& outputPath, Console& console)
{
    const QString obstacle = outputObstacle(outputPath);
    if (!obstacle.isEmpty()) {
        console.printError("cannot write \"" + outputPath + "\": " + obstacle);
        return kExitOutputFailed;
    }
    ListModel list;
    addDemographicsColumns(list);
    const bool whole = collectRows(list, entries, console);
    const AlignedWriteOutcome written = writeListAligned(list, outputPath);
    if (!written.written) {
        console.printError("cannot write \"" + outputPath + "\": " + written.description
                           + "; nothing was written");
        return kExitOutputFailed;
    }
    return whole ? kExitSuccess : kExitIncomplete;
}

}  // namespace zd
