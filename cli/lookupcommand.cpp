#include "cli/lookupcommand.h"

#include "cli/console.h"
#include "cli/exitstatus.h"
#include "retrieval/locationlookup.h"

namespace zd {

int runLookup(const QStringList& entries, double delaySeconds, Console& console)
{
    setLookupWaitSeconds(delaySeconds);
    bool whole = true;
    for (const QString& entry : entries) {
        const LocationLookup lookup = lookUpLocation(entry);
        console.print(entry + '\t' + lookup.text + '\n');
        if (console.outputFailed()) {
            console.printError("cannot write to standard output");
            return kExitOutputFailed;
        }
        if (!lookup.transportError.isEmpty()) {
            console.printError("entry \"" + entry + "\": the transfer failed (" + lookup.transportError
                               + "); its line is from what arrived");
            whole = false;
        }
    }
    return whole ? kExitSuccess : kExitIncomplete;
}

}  // namespace zd
