#include "export/outputclash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace zd {
namespace {

bool isRegularFile(const QString& path, struct stat& status)
{
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISREG(status.st_mode);
}

bool sameFile(const QString& a, const QString& b)
{
    struct stat first {};
    struct stat second {};
    return isRegularFile(a, first) && isRegularFile(b, second) && first.st_dev == second.st_dev
           && first.st_ino == second.st_ino;
}

// The path with links resolved as far as it exists, the rest cleaned.
QString resolvedPath(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists())
        return info.canonicalFilePath();
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : folder + '/' + info.fileName();
}

bool isWithin(const QString& path, const QString& folder)
{
    const QString inner = resolvedPath(path);
    const QString outer = resolvedPath(folder);
    return inner == outer || inner.startsWith(outer.endsWith('/') ? outer : outer + '/');
}

}  // namespace

QString describeOutputClash(const QString& path, const QList<RunInput>& inputs, const QString& cacheFolder)
{
    if (path == QLatin1String("-"))
        return {};
    for (const RunInput& input : inputs) {
        if (input.path == QLatin1String("-") || !sameFile(path, input.path))
            continue;
        // The input is named only when it was given under another name.
        const QString named = input.path == path ? QString() : " \"" + input.path + "\"";
        return "it is " + input.role + named + " that the run reads; choose another output file";
    }
    if (!cacheFolder.isEmpty() && isWithin(path, cacheFolder))
        return "it is in the cache folder \"" + cacheFolder + "\"; choose an output file outside it";
    return {};
}

}  // namespace zd
