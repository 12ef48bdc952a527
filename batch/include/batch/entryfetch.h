#pragma once

#include "retrieval/demographicsrows.h"
#include "retrieval/pagefetch.h"

#include <QString>
#include <QStringList>

namespace zd {

class ListModel;

// Fetches an entry's page once, with the entry untrimmed in the address, and
// appends to a demographics list what the save command adds for it (see
// appendEntryRows). Returns why the entry is incomplete (a failed transfer, a
// break in the page), one reason per item; empty when it is whole.
QStringList fetchEntryRows(ListModel& list, const QString& entry);

// Why an entry is incomplete, from its fetch and the part of its page that broke
// off; empty when it is whole.
QStringList entryProblems(const FetchOutcome& fetched, std::optional<PagePart> broken);

}  // namespace zd
