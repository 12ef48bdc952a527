#include "export/resultstable.h"

#include "core/apperror.h"
#include "export/resultfile.h"
#include "export/scratchfile.h"
#include "export/sharedtexts.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>

#include <algorithm>

namespace zd {
namespace {

// Set in the figure count of an entry whose figures carry margins of error: each
// figure is then followed by its margin. An entry without them is stored as it
// always was.
constexpr qint32 kWithMargins = qint32(1) << 30;
// Set when its figures carry their variables' IDs: each figure then ends with them.
constexpr qint32 kWithVariables = qint32(1) << 29;
// Set when the entry has a note: it follows the figure count.
constexpr qint32 kWithNote = qint32(1) << 28;
// Set when its figures carry a CV and reliability word: each figure's follow its value.
constexpr qint32 kWithReliability = qint32(1) << 27;

bool hasReliability(const EntryResult& entry)
{
    return std::any_of(entry.figures.begin(), entry.figures.end(),
                       [](const Figure& figure) { return !figure.cv.isEmpty() || !figure.reliability.isEmpty(); });
}

bool hasMargins(const EntryResult& entry)
{
    return std::any_of(entry.figures.begin(), entry.figures.end(),
                       [](const Figure& figure) { return figure.margin.has_value(); });
}

bool hasVariables(const EntryResult& entry)
{
    return std::any_of(entry.figures.begin(), entry.figures.end(), [](const Figure& figure) {
        return !figure.variable.isEmpty() || !figure.marginVariable.isEmpty() || !figure.unit.isEmpty()
               || !figure.universe.isEmpty();
    });
}

// The texts of a run's figures mostly share their data: then there is nothing to compare.
bool sameText(const QString& a, const QString& b)
{
    return (a.constData() == b.constData() && a.size() == b.size()) || a == b;
}

bool sameNaming(const Figure& a, const Figure& b)
{
    return sameText(a.label, b.label) && sameText(a.variable, b.variable)
           && sameText(a.marginVariable, b.marginVariable) && sameText(a.unit, b.unit)
           && sameText(a.universe, b.universe);
}

// A figure's label and IDs are written once per column: a figure named as its
// column's first figure is written as the column's number, and read back
// sharing its texts. Any other is written whole after -1.
// A figure's column, or kUnnamed for one written with its names (its label and
// unit); the top bit is set when the figure's CV and reliability word follow
// its value, the two below it hold its bound.
constexpr quint32 kUnnamed = 0x1FFFFFFF;
constexpr quint32 kFigureReliability = quint32(1) << 31;
constexpr int kBoundShift = 29;
constexpr quint32 kBoundBits = quint32(3) << kBoundShift;

void writeFigure(QDataStream& out, SharedTextsOut& shared, const Figure& figure, int column,
                 const QList<Figure>& columnNames, bool margins, bool variables, bool reliability)
{
    const bool named = sameNaming(figure, columnNames[column]);
    const bool figureReliability = reliability && (!figure.cv.isNull() || !figure.reliability.isNull());
    out << (quint32(named ? column : kUnnamed) | (figureReliability ? kFigureReliability : 0)
            | (quint32(figure.bound) << kBoundShift));
    if (!named)
        out << figure.label << figure.unit;
    shared.write(out, figure.value);
    if (margins) {
        out << figure.margin.has_value();
        shared.write(out, figure.margin.value_or(QString()));
    }
    if (figureReliability) {
        shared.write(out, figure.cv);
        shared.write(out, figure.reliability);
    }
    if (variables && !named)
        out << figure.variable << figure.marginVariable << figure.universe;
}

void writeEntry(QDataStream& out, SharedTextsOut& shared, const EntryResult& entry, const QList<int>& columns,
                const QList<Figure>& columnNames)
{
    const bool margins = hasMargins(entry);
    const bool variables = hasVariables(entry);
    const bool reliability = hasReliability(entry);
    out << entry.entry << entry.zip << qint32(entry.status) << qint64(entry.httpStatus)
        << entry.location.has_value() << entry.location.value_or(QString())
        << qint32(entry.brokenIn ? int(*entry.brokenIn) : -1)
        << (qint32(entry.figures.size()) | (margins ? kWithMargins : 0) | (variables ? kWithVariables : 0)
            | (entry.note.isEmpty() ? 0 : kWithNote) | (reliability ? kWithReliability : 0));
    if (!entry.note.isEmpty())
        out << entry.note;
    for (qsizetype k = 0; k < entry.figures.size(); ++k)
        writeFigure(out, shared, entry.figures[k], columns[k], columnNames, margins, variables, reliability);
}

Figure readFigure(QDataStream& in, SharedTextsIn& shared, const QList<Figure>& columnNames, bool margins,
                  bool variables, bool reliability)
{
    Figure figure;
    quint32 code = kUnnamed;
    in >> code;
    const bool figureReliability = reliability && (code & kFigureReliability) != 0;
    const quint32 column = code & ~(kFigureReliability | kBoundBits);
    figure.bound = FigureBound((code & kBoundBits) >> kBoundShift);
    const bool named = column < quint32(columnNames.size());
    if (named) {
        figure.label = columnNames[column].label;
        figure.variable = columnNames[column].variable;
        figure.marginVariable = columnNames[column].marginVariable;
        figure.unit = columnNames[column].unit;
        figure.universe = columnNames[column].universe;
    } else {
        in >> figure.label >> figure.unit;
    }
    figure.value = shared.read(in);
    if (margins) {
        bool given = false;
        in >> given;
        QString margin = shared.read(in);
        if (given)
            figure.margin = std::move(margin);
    }
    if (figureReliability) {
        figure.cv = shared.read(in);
        figure.reliability = shared.read(in);
    }
    if (variables && !named)
        in >> figure.variable >> figure.marginVariable >> figure.universe;
    if (!named && column != kUnnamed)
        in.setStatus(QDataStream::ReadCorruptData);
    return figure;
}

EntryResult readEntry(QDataStream& in, SharedTextsIn& shared, const QList<Figure>& columnNames)
{
    EntryResult entry;
    qint32 status = 0;
    qint64 httpStatus = 0;
    bool named = false;
    QString location;
    qint32 broken = -1;
    qint32 figures = 0;
    in >> entry.entry >> entry.zip >> status >> httpStatus >> named >> location >> broken >> figures;
    const bool margins = (figures & kWithMargins) != 0;
    const bool variables = (figures & kWithVariables) != 0;
    if ((figures & kWithNote) != 0)
        in >> entry.note;
    const bool reliability = (figures & kWithReliability) != 0;
    figures &= ~(kWithMargins | kWithVariables | kWithNote | kWithReliability);
    entry.status = EntryStatus(status);
    entry.httpStatus = long(httpStatus);
    if (named)
        entry.location = location;
    if (broken >= 0)
        entry.brokenIn = PagePart(broken);
    entry.figures.reserve(figures);
    for (qint32 i = 0; i < figures && in.status() == QDataStream::Ok; ++i)
        entry.figures.append(readFigure(in, shared, columnNames, margins, variables, reliability));
    return entry;
}

// Whether two entries' figures carry the same labels and IDs in the same order:
// most entries of a run do, and then share their columns.
bool sameNames(const QList<Figure>& a, const QList<Figure>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const Figure& x, const Figure& y) {
        return sameText(x.label, y.label) && sameText(x.variable, y.variable);
    });
}

}  // namespace

// The scratch file of a table kept on disk, written as entries come and read
// from the start for each walk. Its texts are in the machine's own byte order,
// so that they are copied as they are rather than a character at a time, and
// each entry is written through one stream kept for the run.
struct ResultsTable::Spool {
    static constexpr QDataStream::ByteOrder kOrder =
        QSysInfo::ByteOrder == QSysInfo::LittleEndian ? QDataStream::LittleEndian : QDataStream::BigEndian;

    Spool()
    {
        buffer.setBuffer(&record);
        buffer.open(QIODevice::WriteOnly);
        out.setDevice(&buffer);
        out.setByteOrder(kOrder);
    }

    void write(const EntryResult& entry, const QList<int>& columns, const QList<Figure>& columnNames)
    {
        buffer.seek(0);
        record.resize(0);
        writeEntry(out, shared, entry, columns, columnNames);
        file.append(record);
    }

    ScratchFile file;
    QByteArray record;  // one entry's, its room kept from one entry to the next
    QBuffer buffer;
    QDataStream out;
    SharedTextsOut shared;
};

QString figureColumnName(const Figure& figure)
{
    if (figure.variable.isEmpty())
        return figure.label;
    return figure.label + QStringLiteral(" [") + figure.variable + QLatin1Char(']');
}

const QStringList& wideFixedColumns()
{
    static const QStringList names{QStringLiteral("entry"), QStringLiteral("zip"), QStringLiteral("status"),
                                   QStringLiteral("location")};
    return names;
}

ResultsTable::ResultsTable()
{
    for (const QString& name : wideFixedColumns())
        m_longest.append(name.size());
}

ResultsTable::~ResultsTable() = default;
ResultsTable::ResultsTable(ResultsTable&&) noexcept = default;
ResultsTable& ResultsTable::operator=(ResultsTable&&) noexcept = default;

bool ResultsTable::keepOnDisk(const QString& besidePath, QString& error)
{
    auto spool = std::make_unique<Spool>();
    if (!spool->file.open(besidePath, QStringLiteral("results"), error))
        return false;
    m_spool = std::move(spool);
    return true;
}

void ResultsTable::append(EntryResult entry)
{
    const QList<int> columns = addColumns(entry);
    for (qsizetype k = 0; k < entry.figures.size(); ++k) {
        if (columns[k] == m_columnNames.size()) {  // a new column, named by this figure
            Figure name{entry.figures[k].label, {}, std::nullopt, entry.figures[k].variable,
                        entry.figures[k].marginVariable};
            name.unit = entry.figures[k].unit;
            name.universe = entry.figures[k].universe;
            m_columnNames.append(std::move(name));
        }
    }
    m_hasNotes = m_hasNotes || !entry.note.isEmpty();
    measure(entry, columns);
    ++m_count;
    if (!m_spool) {
        m_entries.append(std::move(entry));
        return;
    }
    m_spool->write(entry, columns, m_columnNames);
}

bool ResultsTable::forEachEntry(const EntryTaker& take, Columns columns) const
{
    const QList<int> none;
    QList<Figure> lastFigures;
    QList<int> lastColumns;
    auto columnsFor = [&](const EntryResult& entry) {
        if (columns == Columns::Skipped)
            return none;
        if (entry.figures.isEmpty() || sameNames(entry.figures, lastFigures))
            return entry.figures.isEmpty() ? none : lastColumns;
        lastFigures = entry.figures;
        lastColumns = columnsOf(entry);
        return lastColumns;
    };
    if (!m_spool) {
        for (const EntryResult& entry : m_entries) {
            if (!take(entry, columnsFor(entry)))
                return false;
        }
        return true;
    }
    if (!m_spool->file.finish())
        throw AppError(m_spool->file.failure());
    QFile file(m_spool->file.fileName());
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(describeFileFailure(file));
    QDataStream in(&file);
    in.setByteOrder(Spool::kOrder);
    SharedTextsIn shared;
    for (qsizetype i = 0; i < m_count; ++i) {
        const EntryResult entry = readEntry(in, shared, m_columnNames);
        if (in.status() != QDataStream::Ok)
            throw AppError(QStringLiteral("the scratch file of the results cannot be read"));
        if (!take(entry, columnsFor(entry)))
            return false;
    }
    return true;
}

QList<int> ResultsTable::columnsOf(const EntryResult& entry) const
{
    QHash<QString, int> seen;
    QList<int> columns;
    columns.reserve(entry.figures.size());
    for (const Figure& figure : entry.figures) {
        const QString name = figureColumnName(figure);
        columns.append(m_columnOf.value({name, ++seen[name]}));
    }
    return columns;
}

QList<int> ResultsTable::addColumns(const EntryResult& entry)
{
    if (entry.figures.isEmpty())
        return {};
    if (sameNames(entry.figures, m_lastFigures))
        return m_lastColumns;
    m_lastFigures = entry.figures;
    m_lastColumns = newColumns(entry);
    return m_lastColumns;
}

QList<int> ResultsTable::newColumns(const EntryResult& entry)
{
    QHash<QString, int> seen;
    QList<int> columns;
    columns.reserve(entry.figures.size());
    for (const Figure& figure : entry.figures) {
        const QString name = figureColumnName(figure);
        columns.append(columnFor(name, ++seen[name]));
    }
    return columns;
}

void ResultsTable::measure(const EntryResult& entry, const QList<int>& columns)
{
    const qsizetype fixed = wideFixedColumns().size();
    m_longest[0] = std::max(m_longest[0], entry.entry.size());
    m_longest[1] = std::max(m_longest[1], entry.zip.size());
    m_longest[2] = std::max(m_longest[2], entryStatusText(entry.status, entry.httpStatus).size());
    m_longest[3] = std::max(m_longest[3], entry.location.value_or(QString()).size());
    for (qsizetype k = 0; k < entry.figures.size(); ++k) {
        qsizetype& longest = m_longest[fixed + columns[k]];
        longest = std::max(longest, entry.figures[k].value.size());
    }
}

int ResultsTable::columnFor(const QString& figureName, int occurrence)
{
    const QPair<QString, int> key(figureName, occurrence);
    const auto known = m_columnOf.constFind(key);
    if (known != m_columnOf.constEnd())
        return *known;
    const QString name = freeName(figureName, occurrence);
    m_columns.append(name);
    m_longest.append(name.size());
    m_takenNames.insert(name);
    return *m_columnOf.insert(key, int(m_columns.size() - 1));
}

// "name" for the first occurrence, "name (n)" for the n-th, or the next number
// that no column has yet.
QString ResultsTable::freeName(const QString& figureName, int occurrence) const
{
    for (int number = occurrence;; ++number) {
        const QString name = number == 1 ? figureName : figureName + QStringLiteral(" (%1)").arg(number);
        if (!m_takenNames.contains(name) && !wideFixedColumns().contains(name))
            return name;
    }
}

}  // namespace zd
