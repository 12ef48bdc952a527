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

void ShowLocationName(ListModel& list, const QString& zip)
{
    if (zip.isEmpty())
        return;
    appendPageRows(list, FetchPage(requestUrl(zip)), PagePart::LocationName);
}

void ShowDemographics(ListModel& list, const QString& zip)
{
    throwOnBreak(appendPageRows(list, FetchPage(requestUrl(zip)), PagePart::Figures));
    throwOnBreak(appendPageRows(list, FetchPage(requestUrl(zip)), PagePart::HouseholdIncome));
}

void addDemographicsColumns(ListModel& list)
{
    list.addColumn(QStringLiteral("Demographics"));
    list.addColumn(QStringLiteral(" Value"));
}

}  // namespace zd
