#include "export/csvwriter.h"

#include "export/resultfile.h"
#include "export/resultstable.h"

#include <QStringList>

namespace zd {
namespace {

bool needsQuotes(const QString& text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\r')
            || c == QLatin1Char('\n'))
            return true;
    }
    return !text.isEmpty() && (text.front().isSpace() || text.back().isSpace());
}

// Writes one record; false when the file failed.
bool writeRecord(ResultFile& file, const QList<const QString*>& fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            file.append(",");
        if (fields[i])
            file.append(csvField(*fields[i]));
    }
    return file.endLine();
}

bool writeRecord(ResultFile& file, const QStringList& fields)
{
    QList<const QString*> pointers;
    for (const QString& field : fields)
        pointers.append(&field);
    return writeRecord(file, pointers);
}

const QString* locationOf(const EntryResult& entry)
{
    return entry.location ? &*entry.location : nullptr;
}

bool writeWideRows(ResultFile& file, const ResultsTable& table)
{
    const QString* const none = nullptr;
    for (qsizetype i = 0; i < table.entries().size(); ++i) {
        const EntryResult& entry = table.entries()[i];
        const QString status = entryStatusText(entry.status);
        QList<const QString*> fields{&entry.entry, &entry.zip, &status, locationOf(entry)};
        fields.resize(4 + table.figureColumns().size(), none);
        const QList<int>& columns = table.columnsOfEntry(i);
        for (qsizetype k = 0; k < entry.figures.size(); ++k)
            fields[4 + columns[k]] = &entry.figures[k].value;
        if (!writeRecord(file, fields))
            return false;
    }
    return true;
}

bool writeLongRows(ResultFile& file, const ResultsTable& table)
{
    for (const EntryResult& entry : table.entries()) {
        if (entry.figures.isEmpty()
            && !writeRecord(file, {&entry.entry, &entry.zip, locationOf(entry), nullptr, nullptr}))
            return false;
        for (const Figure& figure : entry.figures) {
            if (!writeRecord(file, {&entry.entry, &entry.zip, locationOf(entry), &figure.label,
                                    &figure.value}))
                return false;
        }
    }
    return true;
}

template <typename WriteRows>
TableWriteOutcome writeCsv(const QString& path, const QStringList& header, WriteRows writeRows)
{
    ResultFile file(path);
    if (!file.open() || !writeRecord(file, header) || !writeRows(file) || !file.commit())
        return {false, file.description()};
    return {true, QString()};
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

TableWriteOutcome writeCsvWide(const ResultsTable& table, const QString& path)
{
    const QStringList header = QStringList{QStringLiteral("entry"), QStringLiteral("zip"),
                                           QStringLiteral("status"), QStringLiteral("location")}
                               + table.figureColumns();
    return writeCsv(path, header, [&](ResultFile& file) { return writeWideRows(file, table); });
}

TableWriteOutcome writeCsvLong(const ResultsTable& table, const QString& path)
{
    const QStringList header{QStringLiteral("entry"), QStringLiteral("zip"),
                             QStringLiteral("location"), QStringLiteral("label"),
                             QStringLiteral("value")};
    return writeCsv(path, header, [&](ResultFile& file) { return writeLongRows(file, table); });
}

}  // namespace zd
