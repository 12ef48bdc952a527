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

// The part of the page that broke off, as the aligned rows stop there.
std::optional<PagePart> appendAllFigures(QList<Figure>& figures, const QString& page)
{
    if (!appendFigures(figures, extractFigureRows(page)))
        return PagePart::Figures;
    if (!appendFigures(figures, extractHouseholdIncomeRows(page)))
        return PagePart::HouseholdIncome;
    return std::nullopt;
}

EntryStatus statusOf(const QString& zip, const EntryResult& result, const FetchOutcome& fetched)
{
    if (zip.isEmpty())
        return EntryStatus::Blank;
    if (zip.size() != 5)
        return EntryStatus::NotFiveCharacters;
    if (!fetched.complete)
        return EntryStatus::Failed;
    if (result.brokenIn)
        return EntryStatus::Incomplete;
    return result.location ? EntryStatus::Found : EntryStatus::NotFound;
}

}  // namespace

EntryResult entryResult(const QString& entry, const FetchOutcome& fetched)
{
    EntryResult result;
    result.entry = entry;
    const QString zip = trimZipSpaces(entry);
    if (!entry.isEmpty())
        result.location = extractLocationName(fetched.body);
    result.brokenIn = appendAllFigures(result.figures, fetched.body);
    result.status = statusOf(zip, result, fetched);
    if (result.status != EntryStatus::Blank && result.status != EntryStatus::NotFiveCharacters)
        result.zip = zip;
    return result;
}

}  // namespace zd
