#pragma once

#include "retrieval/pagefetch.h"

#include <QString>
#include <QStringList>

namespace zd {

class ListModel;

// Appends to a demographics list what the save command adds for an entry, cut
// out of the entry's fetched page (see appendEntryRows). Returns why the entry
// is incomplete (a failed transfer, a break in the page), one reason per item;
// empty when it is whole.
QStringList appendFetchedEntryRows(ListModel& list, const QString& entry, const FetchOutcome& fetched);

// The same after fetching the entry's page once, with the entry untrimmed in
// the address.
QStringList fetchEntryRows(ListModel& list, const QString& entry);

}  // namespace zd
