#include "tests/support/wholefile.h"

#include <QDir>
#include <QFile>

namespace zd::test {

QByteArray readWholeFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeWholeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QString preciousFileInReadOnlyFolder(const QString& parent, const QString& fileName)
{
    const QString folder = parent + QStringLiteral("/readonly");
    const QString target = folder + QLatin1Char('/') + fileName;
    if (!QDir().mkdir(folder) || !writeWholeFile(target, "precious"))
        return {};
    QFile::setPermissions(parent, QFileDevice::Permissions(0x7755));
    QFile::setPermissions(target, QFileDevice::Permissions(0x6666));
    QFile::setPermissions(folder, QFileDevice::Permissions(0x5555));
    return target;
}

}  // namespace zd::test
