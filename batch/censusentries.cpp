#include "batch/censusentries.h"

#include "census/censusfigure.h"
#include "census/placenames.h"
#include "retrieval/locationlookup.h"

#include <QSet>
#include <QVarLengthArray>

#include <algorithm>

namespace zd {

std::optional<QString> zctaOfEntry(const QString& entry)
{
    const QString zip = trimZipSpaces(entry);
    const bool fiveDigits =
        zip.size() == 5 && std::all_of(zip.begin(), zip.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!fiveDigits)
        return std::nullopt;
    return zip;
}

QStringList zctasOfEntries(const PackedStrings& entries)
{
    QStringList zctas;
    QSet<QString> seen;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const std::optional<QString> zcta = zctaOfEntry(entries.at(i));
        if (zcta && !seen.contains(*zcta)) {
            seen.insert(*zcta);
            zctas.append(*zcta);
        }
    }
    return zctas;
}

namespace {

// The variable's column in the answer; -1 when it has none.
QList<qsizetype> columnsIn(const CensusAnswer& answer, const QStringList& variables)
{
    QList<qsizetype> columns;
    columns.reserve(variables.size());
    for (const QString& variable : variables)
        columns.append(answer.columnOf(variable));
    return columns;
}

// Where each value of a row starts and ends, read off the row once.
using RowValues = QVarLengthArray<QByteArrayView, 64>;

RowValues rowValues(QByteArrayView row)
{
    RowValues values;
    qsizetype from = 0;
    while (from <= row.size()) {
        qsizetype end = row.indexOf(CensusAnswer::kEnd, from);
        end = end < 0 ? row.size() : end;
        values.append(row.sliced(from, end - from));
        from = end + 1;
    }
    return values;
}

void placeViews(const RowValues& row, const QList<qsizetype>& positions, QList<QByteArrayView>& into)
{
    for (qsizetype i = 0; i < positions.size(); ++i) {
        const qsizetype column = positions[i];
        if (column >= 0 && column < row.size())
            into[i] = row[column];
    }
}

}  // namespace

CensusColumns::CensusColumns(const CensusFigures& figures, bool marginsOfError)
    : m_figures(figures), m_marginsOfError(marginsOfError)
{
    QStringList estimates;
    for (const CensusVariable& variable : figures.variables) {
        estimates.append(variable.id);
        m_marginIds.append(marginOfErrorId(variable.id));
    }
    m_positions.reserve(figures.answers.size());
    for (const CensusAnswer& answer : figures.answers) {
        m_positions.append({columnsIn(answer, estimates),
                            marginsOfError ? columnsIn(answer, m_marginIds) : QList<qsizetype>()});
    }
}

QList<CensusReading> CensusColumns::readingsOf(const QString& zcta) const
{
    QList<QByteArrayView> estimates;
    QList<QByteArrayView> margins;
    viewValuesOf(zcta, estimates, margins);
    QList<CensusReading> readings;
    readings.reserve(estimates.size());
    for (qsizetype i = 0; i < estimates.size(); ++i) {
        readings.append(readCensusFigure(estimates[i], m_marginsOfError ? margins[i] : QByteArrayView(),
                                         m_figures.variables[i].medianCoding));
    }
    return readings;
}

void CensusColumns::viewValuesOf(const QString& zcta, QList<QByteArrayView>& estimates,
                                 QList<QByteArrayView>& margins) const
{
    const qsizetype count = m_figures.variables.size();
    estimates.fill(QByteArrayView(), count);
    margins.fill(QByteArrayView(), m_marginsOfError ? count : 0);
    for (const qsizetype index : m_figures.answersOf.value(zcta)) {
        const auto row = m_figures.answers[index].rows.constFind(zcta);
        if (row == m_figures.answers[index].rows.constEnd())
            continue;
        const RowValues rowText = rowValues(*row);
        placeViews(rowText, m_positions[index].estimate, estimates);
        placeViews(rowText, m_positions[index].margin, margins);
    }
}

FigureBound figureBoundOf(CensusBound bound)
{
    switch (bound) {
    case CensusBound::None: return FigureBound::None;
    case CensusBound::AtLeast: return FigureBound::AtLeast;
    case CensusBound::AtMost: return FigureBound::AtMost;
    }
    return FigureBound::None;
}

QString zctaName(const QString& zcta) { return "ZCTA5 " + zcta; }

EntryResult censusEntryResult(const QString& entry, const CensusFigures& figures, bool marginsOfError)
{
    return censusEntryResult(entry, CensusColumns(figures, marginsOfError));
}

EntryResult censusEntryResult(const QString& entry, const CensusColumns& columns)
{
    const CensusFigures& figures = columns.figures();
    EntryResult result;
    result.entry = entry;
    const QString trimmed = trimZipSpaces(entry);
    result.zip = trimmed.size() == 5 ? trimmed : QString();
    const std::optional<QString> zcta = zctaOfEntry(entry);
    if (trimmed.isEmpty())
        result.status = EntryStatus::Blank;
    else if (trimmed.size() != 5)
        result.status = EntryStatus::NotFiveCharacters;
    else if (zcta && figures.failedZctas.contains(*zcta))
        result.status = EntryStatus::Failed;
    else if (!zcta || !figures.holds(*zcta))
        result.status = EntryStatus::NotFound;
    else
        result.status = EntryStatus::Found;
    if (result.status != EntryStatus::Found)
        return result;
    const std::optional<Place> place = PlaceNames::installed().find(*zcta);
    result.location = place ? place->name() : zctaName(*zcta);
    const QList<CensusReading> readings = columns.readingsOf(*zcta);
    result.figures.reserve(figures.variables.size());
    for (qsizetype i = 0; i < figures.variables.size(); ++i) {
        const CensusVariable& variable = figures.variables[i];
        const CensusReading& reading = readings[i];
        Figure figure{figures.labels[i], censusDisplayValue(reading.estimate, variable.kind, reading.bound)};
        figure.variable = variable.id;
        figure.bound = figureBoundOf(reading.bound);
        figure.unit = figureKindName(variable.kind);
        figure.universe = figures.universes.value(i);
        if (columns.marginsOfError()) {
            figure.marginVariable = columns.marginId(i);
            figure.margin = censusDisplayValue(reading.margin, variable.kind);
        }
        result.figures.append(std::move(figure));
    }
    return result;
}

void CensusFigures::keep(CensusAnswer&& answer)
{
    const qsizetype index = answers.size();
    for (auto row = answer.rows.constBegin(); row != answer.rows.constEnd(); ++row)
        answersOf[row.key()].append(index);
    answers.append(std::move(answer));
}

}  // namespace zd
