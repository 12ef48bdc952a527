#include "export/outputcheck.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <fcntl.h>
#include <unistd.h>

namespace zd {
namespace {

// Whether this process, as the user it acts for now, may create files in folder.
bool mayCreateIn(const QString& folder)
{
    return ::faccessat(AT_FDCWD, QFile::encodeName(folder).constData(), W_OK | X_OK, AT_EACCESS) == 0;
}

QString folderOf(const QString& path) { return QFileInfo(QFileInfo(path).absolutePath()).filePath(); }

}  // namespace

bool folderTakesNewFiles(const QString& folder)
{
    QTemporaryFile probe(folder + "/.zipdemographics-XXXXXX");
    return probe.open();
}

OutputObstacle findOutputObstacle(const QString& path, FolderProbe probe)
{
    if (path.isEmpty())
        return OutputObstacle::NoName;
    const QFileInfo target(path);
    if (target.isDir())
        return OutputObstacle::IsFolder;
    const QFileInfo folder(target.absolutePath());
    if (!folder.exists())
        return OutputObstacle::FolderMissing;
    if (!folder.isDir())
        return OutputObstacle::FolderNotAFolder;
    if (target.exists() && !target.isWritable())
        return OutputObstacle::ReadOnly;
    const bool replacedThroughNewFile = !target.exists() || target.isFile();
    if (replacedThroughNewFile && !mayCreateIn(folder.filePath()))
        return OutputObstacle::ReadOnlyFolder;
    if (replacedThroughNewFile && probe == FolderProbe::Ask && !folderTakesNewFiles(folder.filePath()))
        return OutputObstacle::FolderTakesNoFiles;
    return OutputObstacle::None;
}

QString describeOutputObstacle(OutputObstacle obstacle, const QString& path)
{
    const QString folder = "\"" + folderOf(path) + "\"";
    switch (obstacle) {
    case OutputObstacle::None: return {};
    case OutputObstacle::NoName: return QStringLiteral("no file name is given");
    case OutputObstacle::IsFolder: return QStringLiteral("it is a folder");
    case OutputObstacle::FolderMissing: return "its folder " + folder + " does not exist";
    case OutputObstacle::FolderNotAFolder: return folder + " is not a folder";
    case OutputObstacle::ReadOnly: return QStringLiteral("it is read-only");
    case OutputObstacle::ReadOnlyFolder: return "its folder " + folder + " is read-only";
    case OutputObstacle::FolderTakesNoFiles: return "its folder " + folder + " takes no new files";
    }
    return {};
}

}  // namespace zd
