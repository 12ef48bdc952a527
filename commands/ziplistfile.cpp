#include "commands/ziplistfile.h"

#include "core/apperror.h"
#include "core/dialogs.h"
#include "core/listmodel.h"
#include "core/sharedroutines.h"
#include "commands/locationname.h"
#include "ziplist/ziplistreader.h"

namespace zd {

void LoadZipListFile(ListModel& list, const QString& path, Dialogs& dialogs, const CensusSession* census)
{
    if (!FileExists(path)) {
        showMessageBox(dialogs, errors::fileNotFound(), kMessagePlain);
        return;
    }
    // Each reading has its own file, so a reading started during a lookup's wait
    // runs by itself; the reader closes the file however this ends.
    ZipListFileReader reader(path);
    QString entry;
    while (reader.nextEntry(entry)) {
        const RowId row = list.addRow(entry);
        // The column count is read anew: a lookup's wait lets other commands run.
        if (list.columnCount() > 1) {
            // A row removed during the wait takes its result with it.
            list.setSubItem(row, 1, locationNameOf(entry, census));
        }
    }
}

}  // namespace zd
