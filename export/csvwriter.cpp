#include "export/csvwriter.h"

#include "core/escapedcontrols.h"
#include "core/formulatext.h"
#include "export/figurenumber.h"
#include "export/resultfile.h"
#include "export/resultstable.h"

#include <QStringList>

#include <algorithm>

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

// The text in UTF-8 after the line; most fields are ASCII and copied as they are.
void appendUtf8(QByteArray& line, QStringView text)
{
    const bool ascii = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
    if (!ascii) {
        line.append(text.toUtf8());
        return;
    }
    const qsizetype at = line.size();
    line.resize(at + text.size());
    std::transform(text.begin(), text.end(), line.begin() + at, [](QChar c) { return char(c.unicode()); });
}

// Whether a text from outside needs the rules below: nearly every field does
// not, and is written without a copy.
bool needsTextRules(QStringView text)
{
    return startsFormula(text)
           || std::any_of(text.begin(), text.end(), [](QChar c) { return isControlByte(c.unicode()); });
}

void appendQuotedField(QByteArray& line, const QString& text);

// A field as RFC 4180 writes it, after the line: a text from outside made
// inert for a spreadsheet first, and its control bytes escaped.
void appendField(QByteArray& line, const QString& outside)
{
    if (needsTextRules(outside))
        appendQuotedField(line, escapedControlBytes(inertFormulaText(outside)));
    else
        appendQuotedField(line, outside);
}

// The field quoted where a reader would otherwise split or trim it.
void appendQuotedField(QByteArray& line, const QString& text)
{
    if (!needsQuotes(text)) {
        appendUtf8(line, text);
        return;
    }
    line.append('"');
    for (qsizetype from = 0;;) {
        const qsizetype quote = text.indexOf(QLatin1Char('"'), from);
        appendUtf8(line, QStringView(text).sliced(from, (quote < 0 ? text.size() : quote + 1) - from));
        if (quote < 0)
            break;
        line.append('"');  // a quote is written twice
        from = quote + 1;
    }
    line.append('"');
}

// A record of fields; a missing field (null) is an empty one.
QByteArray record(const QList<const QString*>& fields)
{
    QByteArray line;
    line.reserve(fields.size() * 8);
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line.append(',');
        if (fields[i])
            appendField(line, *fields[i]);
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

// The entry's own fields: entry, zip, [status,] location, and the vintage and
// publisher when the source names them.
QList<const QString*> entryFields(const EntryResult& entry, const QString* status, const FigureSource& source)
{
    QList<const QString*> fields{&entry.entry, &entry.zip};
    if (status)
        fields.append(status);
    fields.append(locationOf(entry));
    if (source.isNamed())
        fields += {&source.vintage, &source.publisher};
    return fields;
}

// A source that names its figures (the census) has them written as plain
// numbers for data tools, "95825" for "$95,825", their unit in the column's or
// label's name; the site's stay as its pages show them.
bool plainFigures(const FigureSource& source) { return source.isNamed(); }

QString csvValue(const Figure& figure, const FigureSource& source)
{
    return plainFigures(source) ? plainFigureText(figure.value, figure.bound != FigureBound::None) : figure.value;
}

// "Median age (years)": the unit after the label, unless the label ends with
// it already ("Median home value (2023 dollars)").
QString withUnit(const QString& label, const QString& unit)
{
    if (unit.isEmpty() || unit == u"count" || (label.endsWith(u')') && label.sliced(label.lastIndexOf(u'(') + 1).contains(unit)))
        return label;
    return label + QStringLiteral(" (") + unit + u')';
}

bool takeWideRows(const ResultsTable& table, const FigureSource& source, const LineTaker& take)
{
    QStringList values;  // the entry's figures as written, their room kept
    return table.forEachEntry([&](const EntryResult& entry, const QList<int>& columns) {
        const QString status = entryStatusText(entry.status, entry.httpStatus);
        QList<const QString*> fields = entryFields(entry, &status, source);
        const qsizetype first = fields.size();
        fields.resize(first + table.figureColumns().size(), nullptr);
        values.resize(entry.figures.size());
        for (qsizetype k = 0; k < entry.figures.size(); ++k) {
            if (!plainFigures(source)) {
                fields[first + columns[k]] = &entry.figures[k].value;
                continue;
            }
            values[k] = csvValue(entry.figures[k], source);
            fields[first + columns[k]] = &values[k];
        }
        if (table.hasNotes())
            fields.append(&entry.note);
        return take(record(fields));
    });
}

// label, value; with the variable's ID between them when the source names its figures.
QByteArray figureFields(const Figure& figure, const FigureSource& source)
{
    if (!plainFigures(source))
        return csvField(figure.label) + ',' + csvField(figure.value);
    return csvField(withUnit(figure.label, figure.unit)) + ',' + csvField(figure.variable) + ','
           + csvField(csvValue(figure, source));
}

// The wide form's figure columns: a source's plain figures name their unit
// after the label, before the ID and any count ("Median age (years) [DP05_0018E]").
QStringList figureColumnNames(const ResultsTable& table, const FigureSource& source)
{
    if (!plainFigures(source))
        return table.figureColumns();
    QStringList names = table.figureColumns();
    for (qsizetype i = 0; i < names.size() && i < table.columnFigures().size(); ++i) {
        const Figure& figure = table.columnFigures()[i];
        if (names[i].startsWith(figure.label))
            names[i] = withUnit(figure.label, figure.unit) + names[i].sliced(figure.label.size());
    }
    return names;
}

bool takeLongRows(const ResultsTable& table, const FigureSource& source, const LineTaker& take)
{
    return table.forEachEntry([&](const EntryResult& entry, const QList<int>&) {
        // The entry's own fields lead each of its rows; they are quoted once.
        const QByteArray lead = record(entryFields(entry, nullptr, source)) + ',';
        const QByteArray note = table.hasNotes() ? QByteArray(",") + csvField(entry.note) : QByteArray();
        if (entry.figures.isEmpty() && !take(lead + figureFields(Figure{}, source) + note))
            return false;
        for (const Figure& figure : entry.figures) {
            if (!take(lead + figureFields(figure, source) + note))
                return false;
        }
        return true;
    }, ResultsTable::Columns::Skipped);
}

QStringList header(const ResultsTable& table, CsvLayout layout, const FigureSource& source)
{
    const QStringList noteColumn = table.hasNotes() ? QStringList{QStringLiteral("note")} : QStringList{};
    const QStringList sourceColumns = source.isNamed()
                                          ? QStringList{QStringLiteral("vintage"), QStringLiteral("source")}
                                          : QStringList{};
    if (layout == CsvLayout::Long) {
        const QStringList figure = source.isNamed()
                                       ? QStringList{QStringLiteral("label"), QStringLiteral("variable"),
                                                     QStringLiteral("value")}
                                       : QStringList{QStringLiteral("label"), QStringLiteral("value")};
        return QStringList{QStringLiteral("entry"), QStringLiteral("zip"), QStringLiteral("location")}
               + sourceColumns + figure + noteColumn;
    }
    return wideFixedColumns() + sourceColumns + figureColumnNames(table, source) + noteColumn;
}

}  // namespace

QByteArray csvField(const QString& text)
{
    QByteArray field;
    appendField(field, text);
    return field;
}

bool forEachCsvLine(const ResultsTable& table, CsvLayout layout, const LineTaker& take, const FigureSource& source)
{
    if (!take(record(header(table, layout, source))))
        return false;
    return layout == CsvLayout::Long ? takeLongRows(table, source, take) : takeWideRows(table, source, take);
}

QByteArray csvText(const ResultsTable& table, CsvLayout layout, const FigureSource& source)
{
    QByteArray text;
    forEachCsvLine(table, layout, [&](const QByteArray& line) {
        text += line + "\r\n";
        return true;
    }, source);
    return text;
}

TableWriteOutcome writeCsv(const ResultsTable& table, const QString& path, CsvLayout layout,
                           const FigureSource& source)
{
    ResultFile file(path);
    const bool written = file.open() && forEachCsvLine(table, layout, [&](const QByteArray& line) {
                             file.append(line);
                             return file.endLine();
                         }, source) && file.commit();
    return {written, written ? QString() : file.description()};
}

}  // namespace zd
