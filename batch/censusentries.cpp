#include "batch/censusentries.h"

#include "census/censusfigure.h"
#include "census/placenames.h"
#include "retrieval/locationlookup.h"

#include <QSet>

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

QHash<QString, CensusValue> CensusFigures::valuesOf(const QString& zcta) const
{
    QHash<QString, CensusValue> values;
    for (const qsizetype index : answersOf.value(zcta)) {
        const CensusAnswer& answer = answers[index];
        // Each value read off the row where it stands, without splitting the row.
        const QString row = answer.rows.value(zcta);
        values.reserve(values.size() + answer.columns.size());
        qsizetype from = 0;
        for (qsizetype column = 0; column < answer.columns.size() && from <= row.size(); ++column) {
            qsizetype end = row.indexOf(CensusAnswer::kEnd, from);
            end = end < 0 ? row.size() : end;
            values.insert(answer.columns[column], end == from ? CensusValue() : CensusValue(row.mid(from, end - from)));
            from = end + 1;
        }
    }
    return values;
}

QString zctaName(const QString& zcta) { return "ZCTA5 " + zcta; }

EntryResult censusEntryResult(const QString& entry, const CensusFigures& figures, bool marginsOfError)
{
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
    const QHash<QString, CensusValue> row = figures.valuesOf(*zcta);
    for (qsizetype i = 0; i < figures.variables.size(); ++i) {
        const CensusVariable& variable = figures.variables[i];
        Figure figure{figures.labels[i], censusDisplayValue(row.value(variable.id), variable.kind)};
        figure.variable = variable.id;
        if (marginsOfError) {
            figure.marginVariable = marginOfErrorId(variable.id);
            figure.margin = censusDisplayValue(row.value(figure.marginVariable), variable.kind);
        }
        result.figures.append(std::move(figure));
    }
    return result;
}

}  // namespace zd
