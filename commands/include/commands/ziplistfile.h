#pragma once

#include <QString>

namespace zd {

class CensusSession;
class Dialogs;
class ListModel;

// Appends one row per entry of the zip list file to the list. A list of more than
// one column also gets each entry's location name (or status text) in its second
// column (locationNameOf: from the place table with the census source). A missing
// file shows "File not found" and adds nothing; every other failure goes to the
// caller, the rows added before it kept.
void LoadZipListFile(ListModel& list, const QString& path, Dialogs& dialogs,
                     const CensusSession* census = nullptr);

}  // namespace zd
