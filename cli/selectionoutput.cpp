#include "batch/exitstatus.h"
#include "cli/areacommands.h"
#include "cli/console.h"

namespace zd {

int printSelection(Console& console, const QString& text)
{
    console.print(text);
    if (console.outputFailed()) {
        console.printError(QStringLiteral("cannot write to standard output"));
        return kExitOutputFailed;
    }
    return kExitSuccess;
}

int selectionUsageError(Console& console, const QString& message, const QString& command)
{
    console.printError(message);
    console.printError("Try \"zipdemographics-cli " + command + " --help\".");
    return kExitUsage;
}

}  // namespace zd
