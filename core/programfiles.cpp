#include "core/programfiles.h"

#include <QDir>
#include <QFileInfo>

namespace zd {

QString runningProgramFolder() { return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath(); }

QStringList programFileFolders(const QString& programFolder)
{
    const QDir folder(programFolder);
    return {programFolder, QDir::cleanPath(folder.filePath(QStringLiteral("../share/zipdemographics")))};
}

QString findProgramFile(const QString& programFolder, const QString& relativePath)
{
    for (const QString& folder : programFileFolders(programFolder)) {
        const QString path = QDir(folder).filePath(relativePath);
        if (QFileInfo::exists(path))
            return path;
    }
    return QDir(programFolder).filePath(relativePath);
}

}  // namespace zd
