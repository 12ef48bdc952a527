#include "cli/lookupcommand.h"

#include "cli/console.h"
#include "cli/exitstatus.h"
#include "retrieval/locationlookup.h"

namespace zd {

int runLookup(const QStringList& entries, double delaySeconds, Console& console)
{
    setLookupWaitSeconds(delaySeconds);
    for (const QString& entry : entries) {
        console.print(entry + '\t' + GetLocationName(entry) + '\n');
        if (console.outputFailed()) {
            console.printError("cannot write to standard output");
            return kExitOutputFailed;
        }
    }
    return kExitSuccess;
}

}  // namespace zd
