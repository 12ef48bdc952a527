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

}  // namespace

EntryResult entryResult(const QString& entry, const FetchOutcome& fetched)
{
    EntryResult result;
    result.entry = entry;
    const QString zip = trimZipSpaces(entry);
    if (!entry.isEmpty())
        result.location = extractLocationName(fetched.body);
    result.brokenIn = appendAllFigures(result.figures, fetched.body);
    result.httpStatus = fetched.httpStatus;
    result.status = entryStatus(zip, &fetched, result.location.has_value(), !result.brokenIn);
    if (zip.size() == 5)
        result.zip = zip;
    return result;
}

}  // namespace zd
