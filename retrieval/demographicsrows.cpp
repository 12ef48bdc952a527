#include "retrieval/demographicsrows.h"

#include "core/apperror.h"
#include "core/listmodel.h"
#include "retrieval/demographicsparser.h"
#include "retrieval/pagefetch.h"
#include "retrieval/requesturl.h"

namespace zd {
namespace {

// True when the rows were whole.
bool appendRows(ListModel& list, const ExtractedRows& extracted)
{
    for (const DemographicRow& row : extracted.rows)
        list.setSubItem(list.addRow(row.name), 1, row.value);
    return !extracted.brokeOff;
}

// The page's text, with the fetch's outcome kept for the caller that asks.
QString fetchedPage(const QString& zip, QList<FetchOutcome>* fetched)
{
    FetchOutcome outcome = fetchPageWithOutcome(requestUrl(zip));
    QString page = std::move(outcome.body);
    if (fetched)
        fetched->append(std::move(outcome));
    return page;
}

void throwOnBreak(std::optional<PagePart> brokenPart)
{
    if (brokenPart)
        throw AppError(errors::subscriptOutOfRange());
}

}  // namespace

std::optional<PagePart> appendPageRows(ListModel& list, const QString& page, PageParts parts)
{
    if (parts.testFlag(PagePart::LocationName)) {
        if (const std::optional<QString> name = extractLocationName(page))
            list.addRow(*name);
    }
    if (parts.testFlag(PagePart::Figures) && !appendRows(list, extractFigureRows(page)))
        return PagePart::Figures;
    if (parts.testFlag(PagePart::HouseholdIncome)
        && !appendRows(list, extractHouseholdIncomeRows(page)))
        return PagePart::HouseholdIncome;
    return std::nullopt;
}

std::optional<PagePart> appendEntryRows(ListModel& list, const QString& entry, const QString& page)
{
    PageParts parts = PagePart::Figures | PagePart::HouseholdIncome;
    if (!entry.isEmpty())
        parts |= PagePart::LocationName;
    return appendPageRows(list, page, parts);
}

void ShowLocationName(ListModel& list, const QString& zip, QList<FetchOutcome>* fetched)
{
    if (zip.isEmpty())
        return;
    appendPageRows(list, fetchedPage(zip, fetched), PagePart::LocationName);
}

void ShowDemographics(ListModel& list, const QString& zip, QList<FetchOutcome>* fetched)
{
    throwOnBreak(appendPageRows(list, fetchedPage(zip, fetched), PagePart::Figures));
    throwOnBreak(appendPageRows(list, fetchedPage(zip, fetched), PagePart::HouseholdIncome));
}

void addDemographicsColumns(ListModel& list)
{
    list.addColumn(QStringLiteral("Demographics"));
    list.addColumn(QStringLiteral(" Value"));
}

}  // namespace zd
