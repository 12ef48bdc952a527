#include "retrieval/demographicsrows.h"

#include "app/core/apperror.h"
#include "app/core/listmodel.h"
#include "retrieval/demographicsparser.h"
#include "retrieval/pagefetch.h"
#include "retrieval/requesturl.h"

namespace zd {
namespace {
void appendRows(ListModel& list, const ExtractedRows& extracted)
{
    for (const DemographicRow& row : extracted.rows) {
        const RowId id = list.addRow(row.name);
        list.setSubItem(id, 1, row.value);
    }
    if (extracted.brokeOff)
        throw AppError(errors::subscriptOutOfRange());
}
}  // namespace

void ShowLocationName(ListModel& list, const QString& zip)
{
    if (zip.isEmpty())
        return;
    if (const std::optional<QString> name = extractLocationName(FetchPage(requestUrl(zip))))
        list.addRow(*name);
}

void ShowDemographics(ListModel& list, const QString& zip)
{
    appendRows(list, extractFigureRows(FetchPage(requestUrl(zip))));
    appendRows(list, extractHouseholdIncomeRows(FetchPage(requestUrl(zip))));
}

}  // namespace zd
