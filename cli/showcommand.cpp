#include "cli/showcommand.h"

#include "app/core/listmodel.h"
#include "cli/console.h"
#include "cli/entryfetch.h"
#include "cli/exitstatus.h"
#include "export/alignedlayout.h"
#include "retrieval/demographicsrows.h"

namespace zd {

int runShow(const QString& entry, Console& console)
{
    ListModel list;
    addDemographicsColumns(list);
    QStringList reasons = fetchEntryRows(list, entry);
    // A page that arrived whole but holds nothing to show is not a success either.
    if (reasons.isEmpty() && list.rowCount() == 0)
        reasons.append("its page holds no location and no figures; nothing to show");
    console.print(alignedText(list));
    for (const QString& reason : reasons)
        console.printError("entry \"" + entry + "\": " + reason);
    if (console.outputFailed()) {
        console.printError("cannot write to standard output");
        return kExitOutputFailed;
    }
    return reasons.isEmpty() ? kExitSuccess : kExitIncomplete;
}

}  // namespace zd
