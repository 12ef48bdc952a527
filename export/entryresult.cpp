#include "export/entryresult.h"

#include "retrieval/demographicsparser.h"
#include "retrieval/locationlookup.h"
#include "retrieval/pagefetch.h"

namespace zd {
namespace {

// True when the rows were whole.
bool appendFigures(QList<Figure>& figures, const ExtractedRows& extracted)
{
    for (const DemographicRow& row : extracted.rows)
        figures.append({row.name, row.value});
    return !extracted.brokeOff;
}

EntryStatus statusOf(const QString& zip, const EntryResult& result, bool whole,
                     const FetchOutcome& fetched)
{
    if (zip.isEmpty())
        return EntryStatus::Blank;
    if (zip.size() != 5)
        return EntryStatus::NotFiveCharacters;
    if (!fetched.complete)
        return EntryStatus::Failed;
    if (!whole)
        return EntryStatus::Incomplete;
    return result.location ? EntryStatus::Found : EntryStatus::NotFound;
}

}  // namespace

EntryResult entryResult(const QString& entry, const FetchOutcome& fetched)
{
    EntryResult result;
    result.entry = entry;
    const QString zip = trimSpaces(entry);
    if (!entry.isEmpty())
        result.location = extractLocationName(fetched.body);
    const bool whole = appendFigures(result.figures, extractFigureRows(fetched.body))
                       && appendFigures(result.figures, extractHouseholdIncomeRows(fetched.body));
    result.status = statusOf(zip, result, whole, fetched);
    if (result.status != EntryStatus::Blank && result.status != EntryStatus::NotFiveCharacters)
        result.zip = zip;
    return result;
}

}  // namespace zd
