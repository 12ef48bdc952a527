#include "census/placenames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zd {
namespace {

constexpr auto kFileName = "place-names.tsv";

QString programFolder() { return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath(); }

std::optional<std::pair<QString, Place>> readLine(const QByteArray& line)
{
    const QList<QByteArray> fields = line.trimmed().split('\t');
    if (fields.size() < 3 || fields[0].size() != 5 || fields[2].size() != 2 || fields[1].isEmpty())
        return std::nullopt;
    for (const char c : fields[0]) {
        if (c < '0' || c > '9')
            return std::nullopt;
    }
    Place place{QString::fromUtf8(fields[1]), QString::fromUtf8(fields[2]), fields.value(3).toDouble(),
                fields.value(4).toDouble()};
    return std::pair{QString::fromLatin1(fields[0]), place};
}

}  // namespace

PlaceNames PlaceNames::read(const QString& path)
{
    PlaceNames table;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return table;
    while (!file.atEnd()) {
        if (const auto entry = readLine(file.readLine()))
            table.m_places.insert(entry->first, entry->second);
    }
    return table;
}

const PlaceNames& PlaceNames::installed()
{
    static const PlaceNames table = [] {
        const QDir folder(programFolder());
        for (const QString& path : {folder.filePath(kFileName),
                                    folder.filePath(QStringLiteral("../share/zipdemographics/")
                                                    + QString::fromLatin1(kFileName))}) {
            if (QFileInfo::exists(path))
                return read(path);
        }
        return PlaceNames();
    }();
    return table;
}

std::optional<Place> PlaceNames::find(const QString& zip) const
{
    const auto found = m_places.constFind(zip);
    if (found == m_places.constEnd())
        return std::nullopt;
    return *found;
}

}  // namespace zd
