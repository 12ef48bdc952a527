#pragma once

#include "tests/support/wholefile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

namespace zd::test {

inline QString writeFile(const QString& path, const QByteArray& bytes)
{
    return writeWholeFile(path, bytes) ? path : QString();
}

// How many files this process has open, to show that none is left open. Sockets
// and pipes do not count: the loopback site closes its side of a connection in
// its own time.
inline int openFileCount()
{
    const QDir descriptors(QStringLiteral("/proc/self/fd"));
    int files = 0;
    for (const QString& name : descriptors.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        if (QFile::symLinkTarget(descriptors.filePath(name)).startsWith(QLatin1Char('/')))
            ++files;
    }
    return files;
}

// How many descriptors of this process are open on the file at path. Only that file
// counts: the lookups' name service and sockets open and close their own in their time.
inline int descriptorsOpenOn(const QString& path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    const QDir descriptors(QStringLiteral("/proc/self/fd"));
    int open = 0;
    for (const QString& name : descriptors.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        if (QFile::symLinkTarget(descriptors.filePath(name)) == target)
            ++open;
    }
    return open;
}

}  // namespace zd::test
