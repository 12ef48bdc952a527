#pragma once

#include <QString>
#include <QStringList>

namespace zd {

class ListModel;

// Appends to a demographics list what the save command adds for one entry: the
// location-name row (none for an empty entry, none when the page has no name),
// the figure rows and the household income rows, all cut out of one fetch of
// the entry's page. A page that breaks off keeps the rows before the break and,
// as with the save command, ends the entry there.
// Returns why the entry is incomplete (a failed transfer, a break in the page),
// one reason per item; empty when it is whole.
QStringList appendEntryRows(ListModel& list, const QString& entry);

// A list with the demographics list's columns, "Demographics" and " Value".
void addDemographicsColumns(ListModel& list);

}  // namespace zd
