#include "batch/lookuprun.h"

#include "batch/entrysource.h"
#include "batch/exitstatus.h"
#include "batch/runexit.h"
#include "batch/runobserver.h"
#include "batch/runsummary.h"
#include "core/escapedcontrols.h"

namespace zd {

QString escapedLookupField(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\': escaped += QStringLiteral("\\\\"); break;
        case '\t': escaped += QStringLiteral("\\t"); break;
        case '\r': escaped += QStringLiteral("\\r"); break;
        case '\n': escaped += QStringLiteral("\\n"); break;
        default: escaped += c;
        }
    }
    return escapedControls(escaped);  // the other controls as \xNN
}

int runLookup(EntrySource& source, const PackedStrings& entries, RunObserver& observer)
{
    RunSummary summary;
    bool outputFailed = false;
    const std::optional<EarlyEnd> early =
        source.fetchEach(entries, EntryNeed::Location, observer, [&](EntryOutcome&& entry) {
            summary.add(entry.result);
            if (!outputFailed) {
                observer.output(escapedLookupField(entry.result.entry) + '\t'
                                + escapedLookupField(locationLine(entry.result)) + '\n');
            }
            outputFailed = outputFailed || observer.outputFailed();
            tellProblems(entry, observer);
        });
    if (early)
        return reportEarlyEnd(*early, observer);
    observer.message(summary.line());
    if (outputFailed) {
        observer.message("cannot write to standard output");
        return kExitOutputFailed;
    }
    return summary.anyFailed() ? kExitIncomplete : kExitSuccess;
}

}  // namespace zd
