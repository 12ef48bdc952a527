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
    const QStringList reasons = fetchEntryRows(list, entry);
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
