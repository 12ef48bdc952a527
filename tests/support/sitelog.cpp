#include "tests/support/sitelog.h"

#include "tests/support/wholefile.h"

namespace zd::test {

QList<SiteLogLine> readSiteLog(const QString& path)
{
    QList<SiteLogLine> lines;
    for (const QByteArray& text : readWholeFile(path).split('\n')) {
        const QList<QByteArray> fields = text.split(' ');
        if (fields.size() < 8)
            continue;
        lines.append({QDateTime::fromString(QString::fromLatin1(fields[0]), Qt::ISODateWithMs),
                      fields[1].toInt(), fields[2], fields[3], fields[4].toInt(),
                      fields[5].toLongLong(), fields[6].toLongLong(), fields.mid(7).join(' ')});
    }
    return lines;
}

QList<SiteLogLine> siteLogLinesFor(const QList<SiteLogLine>& log, const QByteArray& zip)
{
    QList<SiteLogLine> lines;
    for (const SiteLogLine& line : log) {
        if (line.target.contains("zip=" + zip + "&"))
            lines.append(line);
    }
    return lines;
}

}  // namespace zd::test
