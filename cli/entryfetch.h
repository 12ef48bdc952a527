#pragma once

#include <QString>
#include <QStringList>

namespace zd {

class ListModel;

// Fetches an entry's page once, with the entry untrimmed in the address, and
// appends to a demographics list what the save command adds for it (see
// appendEntryRows). Returns why the entry is incomplete (a failed transfer, a
// break in the page), one reason per item; empty when it is whole.
QStringList fetchEntryRows(ListModel& list, const QString& entry);

}  // namespace zd
