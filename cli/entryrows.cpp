#include "cli/entryrows.h"

#include "app/core/apperror.h"
#include "app/core/listmodel.h"
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

QString breakReason(const QString& where)
{
    return "the page breaks off in " + where + " (" + errors::subscriptOutOfRange()
           + "); the rows before the break are kept";
}

}  // namespace

QStringList appendEntryRows(ListModel& list, const QString& entry)
{
    const FetchOutcome fetched = fetchPageWithOutcome(requestUrl(entry));
    QStringList reasons;
    if (!fetched.complete) {
        reasons.append("the transfer failed (" + fetched.transportError
                       + "); the rows of what arrived are kept");
    }
    if (!entry.isEmpty()) {
        if (const std::optional<QString> name = extractLocationName(fetched.body))
            list.addRow(*name);
    }
    if (!appendRows(list, extractFigureRows(fetched.body)))
        reasons.append(breakReason("the figures"));
    else if (!appendRows(list, extractHouseholdIncomeRows(fetched.body)))
        reasons.append(breakReason("the household income rows"));
    return reasons;
}

void addDemographicsColumns(ListModel& list)
{
    list.addColumn(QStringLiteral("Demographics"));
    list.addColumn(QStringLiteral(" Value"));
}

}  // namespace zd
