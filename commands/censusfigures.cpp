#include "commands/censusfigures.h"

#include "batch/alignedresults.h"
#include "batch/censusentries.h"
#include "batch/entrysource.h"
#include "census/censusrequest.h"
#include "commands/censusenvironment.h"
#include "commands/censussession.h"
#include "commands/failedentries.h"
#include "core/dialogs.h"
#include "core/listmodel.h"

namespace zd {
namespace {

void warn(Dialogs& dialogs, const CensusSession& census, const QString& text)
{
    showMessageBox(dialogs, redactCensusKey(text, census.settings().key), kMessageExclamation);
}

}  // namespace

bool fetchCensusFiguresOrSayWhy(CensusSession& census, const QStringList& entries, Dialogs& dialogs)
{
    CensusFetchReport report = census.fetchFiguresOf(entries);
    while (report.keyRefused && askForAnotherCensusKey(dialogs, census))
        report = census.fetchFiguresOf(entries);
    if (report.refusal.isEmpty())
        return true;
    warn(dialogs, census, "The Census Bureau's figures could not be fetched: " + report.refusal + '.');
    return false;
}

bool fetchCensusFiguresOfListOrSayWhy(CensusSession& census, const ListModel& locations, Dialogs& dialogs)
{
    QStringList entries;
    for (int position = 1; position <= locations.rowCount(); ++position)
        entries.append(locations.rowText(position));
    return fetchCensusFiguresOrSayWhy(census, entries, dialogs);
}

EntryResult censusResultOfSavedEntry(const CensusSession& census, const QString& entry, FailedEntries& failed)
{
    EntryResult result = census.resultOf(entry);
    failed.judge(result);
    return result;
}

void ShowCensusFigures(ListModel& demographics, const QString& entry, CensusSession& census, Dialogs& dialogs,
                       CensusFetching fetching)
{
    if (fetching == CensusFetching::RememberedOnly && !census.knows(entry))
        return;
    if (!fetchCensusFiguresOrSayWhy(census, {entry}, dialogs))
        return;
    const EntryResult result = census.resultOf(entry);
    if (entryFailed(result)) {
        const QString reason = census.failureOf(entry);
        warn(dialogs, census, "The Census Bureau's figures of \"" + entry + "\" could not be fetched: " + reason + '.');
        return;
    }
    appendAlignedRows(demographics, result);
}

}  // namespace zd
