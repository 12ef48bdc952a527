#include "tests/reliability/reentry/reentrymodel.h"

#include "core/windows1252.h"
#include "retrieval/locationlookup.h"

#include <QFile>

namespace zd::test {
namespace {

QString trimmedOfSpaces(const QString& entry)
{
    qsizetype first = 0;
    qsizetype end = entry.size();
    while (first < end && entry.at(first) == QLatin1Char(' '))
        ++first;
    while (end > first && entry.at(end - 1) == QLatin1Char(' '))
        --end;
    return entry.mid(first, end - first);
}

QString rightTrimmed(const QString& cell)
{
    qsizetype end = cell.size();
    while (end > 0 && cell.at(end - 1) == QLatin1Char(' '))
        --end;
    return cell.left(end);
}

}  // namespace

QString expectedLocation(const QString& entry)
{
    const QString zip = trimmedOfSpaces(entry);
    if (zip.isEmpty())
        return statusBlankLine();
    if (zip.size() != 5)
        return statusNotFiveDigits();
    const Place* place = placeOf(zip);
    return place ? QLatin1String(place->name) : statusNotFound();
}

QList<Row> expectedBlock(const QString& entry)
{
    const Place* place = placeOf(entry);
    return place ? rowsOfPlace(*place) : QList<Row>();
}

QString blocksProblem(const QList<Row>& rows)
{
    qsizetype at = 0;
    while (at < rows.size()) {
        const Place* place = nullptr;
        for (const Place& candidate : kPlaces) {
            if (rows[at].first == QLatin1String(candidate.name) && rows[at].second.isEmpty())
                place = &candidate;
        }
        if (!place)
            return QStringLiteral("row %1 (%2 | %3) starts no location's rows")
                .arg(at + 1).arg(rows[at].first, rows[at].second);
        const QList<Row> block = rowsOfPlace(*place);
        if (rows.mid(at, block.size()) != block)
            return QStringLiteral("the rows of %1 from row %2 are not its own").arg(place->name).arg(at + 1);
        at += block.size();
    }
    return QString();
}

const std::array<ListFile, 3>& listFiles()
{
    static const std::array<ListFile, 3> files{{
        {"a.txt", "55501\r\n03053\r\n", {QStringLiteral("55501"), QStringLiteral("03053")}},
        {"b.txt", "44444\r\n\r\n123\r\n77777",
         {QStringLiteral("44444"), QString(), QStringLiteral("123"), QStringLiteral("77777")}},
        {"c.txt", "01830\n  03053 \r99999\r\n",
         {QStringLiteral("01830"), QStringLiteral("  03053 "), QStringLiteral("99999")}},
    }};
    return files;
}

const QStringList& addOneAnswers()
{
    static const QStringList answers{
        QStringLiteral("03053"), QStringLiteral("01830"), QStringLiteral("55501"), QStringLiteral("44444"),
        QStringLiteral("77777"), QStringLiteral("99999"), QStringLiteral("  03053 "), QStringLiteral("123"),
        QStringLiteral("   "),   QString()};  // the last one is Cancel
    return answers;
}

SavedTable readSavedTable(const QString& path)
{
    SavedTable table;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, QStringLiteral("cannot be read")};
    const QByteArray bytes = file.readAll();
    if (!bytes.endsWith("\r\n"))
        return {{}, QStringLiteral("does not end with CR LF")};
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeLast();  // after the last LF
    QList<qsizetype> tabs;
    for (qsizetype number = 0; number < lines.size(); ++number) {
        QByteArray line = lines[number];
        if (!line.endsWith('\r') || line.count('\r') != 1)
            return {{}, QStringLiteral("line %1 does not end with CR LF alone").arg(number + 1)};
        line.chop(1);
        QList<qsizetype> lineTabs;
        for (qsizetype i = line.indexOf('\t'); i >= 0; i = line.indexOf('\t', i + 1))
            lineTabs.append(i);
        if (lineTabs.size() != 2 || !line.endsWith('\t'))
            return {{}, QStringLiteral("line %1 has not two cells each followed by a TAB").arg(number + 1)};
        if (number == 0)
            tabs = lineTabs;
        else if (lineTabs != tabs)
            return {{}, QStringLiteral("line %1 is not aligned with the header").arg(number + 1)};
        const QStringList cells = decodeWindows1252(line).split(QLatin1Char('\t'));
        const Row row{rightTrimmed(cells[0]), rightTrimmed(cells[1])};
        if (number == 0) {
            if (row != Row{QStringLiteral("Demographics"), QStringLiteral(" Value")})
                return {{}, QStringLiteral("the header line is wrong")};
        } else {
            table.rows.append(row);
        }
    }
    if (lines.isEmpty())
        return {{}, QStringLiteral("is empty")};
    return table;
}

}  // namespace zd::test
