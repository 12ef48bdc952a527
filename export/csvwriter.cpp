#include "export/csvwriter.h"

#include "export/resultfile.h"
#include "export/resultstable.h"

#include <QStringList>

namespace zd {
namespace {

using LineTaker = std::function<bool(const QByteArray&)>;

bool needsQuotes(const QString& text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\r')
            || c == QLatin1Char('\n'))
            return true;
    }
    return !text.isEmpty() && (text.front().isSpace() || text.back().isSpace());
}

// A record of fields; a missing field (null) is an empty one.
QByteArray record(const QList<const QString*>& fields)
{
    QByteArray line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line.append(',');
        if (fields[i])
            line.append(csvField(*fields[i]));
    }
    return line;
}

QByteArray record(const QStringList& fields)
{
    QList<const QString*> pointers;
    for (const QString& field : fields)
        pointers.append(&field);
    return record(pointers);
}

const QString* locationOf(const EntryResult& entry)
{
    return entry.location ? &*entry.location : nullptr;
}

bool takeWideRows(const ResultsTable& table, const LineTaker& take)
{
    return table.forEachEntry([&](const EntryResult& entry, const QList<int>& columns) {
        const QString status = entryStatusText(entry.status, entry.httpStatus);
        QList<const QString*> fields{&entry.entry, &entry.zip, &status, locationOf(entry)};
        fields.resize(4 + table.figureColumns().size(), nullptr);
        for (qsizetype k = 0; k < entry.figures.size(); ++k)
            fields[4 + columns[k]] = &entry.figures[k].value;
        return take(record(fields));
    });
}

bool takeLongRows(const ResultsTable& table, const LineTaker& take)
{
    return table.forEachEntry([&](const EntryResult& entry, const QList<int>&) {
        // The entry's own fields lead each of its rows; they are quoted once.
        const QByteArray lead = record({&entry.entry, &entry.zip, locationOf(entry)}) + ',';
        if (entry.figures.isEmpty() && !take(lead + ','))
            return false;
        for (const Figure& figure : entry.figures) {
            if (!take(lead + csvField(figure.label) + ',' + csvField(figure.value)))
                return false;
        }
        return true;
    }, ResultsTable::Columns::Skipped);
}

QStringList header(const ResultsTable& table, CsvLayout layout)
{
    if (layout == CsvLayout::Long)
        return {QStringLiteral("entry"), QStringLiteral("zip"), QStringLiteral("location"),
                QStringLiteral("label"), QStringLiteral("value")};
    return wideFixedColumns() + table.figureColumns();
}

}  // namespace

QByteArray csvField(const QString& text)
{
    if (!needsQuotes(text))
        return text.toUtf8();
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return '"' + quoted.toUtf8() + '"';
}

bool forEachCsvLine(const ResultsTable& table, CsvLayout layout, const LineTaker& take)
{
    if (!take(record(header(table, layout))))
        return false;
    return layout == CsvLayout::Long ? takeLongRows(table, take) : takeWideRows(table, take);
}

QByteArray csvText(const ResultsTable& table, CsvLayout layout)
{
    QByteArray text;
    forEachCsvLine(table, layout, [&](const QByteArray& line) {
        text += line + "\r\n";
        return true;
    });
    return text;
}

TableWriteOutcome writeCsv(const ResultsTable& table, const QString& path, CsvLayout layout)
{
    ResultFile file(path);
    const bool written = file.open() && forEachCsvLine(table, layout, [&](const QByteArray& line) {
                             file.append(line);
                             return file.endLine();
                         }) && file.commit();
    return {written, written ? QString() : file.description()};
}

}  // namespace zd
