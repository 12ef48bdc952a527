#include "census/placenames.h"

#include "core/programfiles.h"

#include <QFile>

namespace zd {
namespace {

constexpr auto kFileName = "place-names.tsv";

// The line's tab-separated fields, as views into it.
QList<QByteArrayView> fieldsOf(QByteArrayView line)
{
    QList<QByteArrayView> fields;
    for (qsizetype from = 0;;) {
        const qsizetype tab = line.indexOf('\t', from);
        fields.append(line.sliced(from, (tab < 0 ? line.size() : tab) - from));
        if (tab < 0)
            return fields;
        from = tab + 1;
    }
}

std::optional<std::pair<QString, Place>> readLine(QByteArrayView line)
{
    const QList<QByteArrayView> fields = fieldsOf(line.trimmed());
    if (fields.size() < 3 || fields[0].size() != 5 || fields[2].size() != 2 || fields[1].isEmpty())
        return std::nullopt;
    for (const char c : fields[0]) {
        if (c < '0' || c > '9')
            return std::nullopt;
    }
    const auto number = [&](qsizetype field) { return fields.value(field).toDouble(); };
    Place place{QString::fromUtf8(fields[1]), QString::fromUtf8(fields[2]), number(3), number(4)};
    return std::pair{QString::fromLatin1(fields[0]), place};
}

}  // namespace

PlaceNames PlaceNames::read(const QString& path)
{
    PlaceNames table;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return table;
    const QByteArray text = file.readAll();  // about 1.5 MB
    table.m_places.reserve(text.count('\n') + 1);
    for (qsizetype from = 0; from < text.size();) {
        qsizetype end = text.indexOf('\n', from);
        end = end < 0 ? text.size() : end + 1;
        if (const auto entry = readLine(QByteArrayView(text).sliced(from, end - from)))
            table.m_places.insert(entry->first, entry->second);
        from = end;
    }
    return table;
}

const PlaceNames& PlaceNames::installed()
{
    static const PlaceNames table =
        read(findProgramFile(runningProgramFolder(), QString::fromLatin1(kFileName)));
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
