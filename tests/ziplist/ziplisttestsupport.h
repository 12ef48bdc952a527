#pragma once

#include "tests/support/wholefile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

namespace zd::test {

inline QString writeFile(const QString& path, const QByteArray& bytes)
{
    return writeWholeFile(path, bytes) ? path : QString();
}

// How many files this process has open, to show that none is left open.
inline int openFileCount()
{
    return static_cast<int>(
        QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size());
}

}  // namespace zd::test
