#include "batch/entrysource.h"

#include "batch/runobserver.h"
#include "batch/shownentry.h"
#include "retrieval/locationlookup.h"

namespace zd {

void tellProblems(const EntryOutcome& entry, RunObserver& observer)
{
    for (const QString& problem : entry.problems)
        observer.message("entry " + shownEntry(entry.result.entry) + ": " + problem);
}

QString locationLine(const EntryResult& result)
{
    switch (result.status) {
    case EntryStatus::Blank: return statusBlankLine();
    case EntryStatus::NotFiveCharacters: return statusNotFiveDigits();
    case EntryStatus::Found:
    case EntryStatus::HttpError:  // the window reads an error page like any other
    case EntryStatus::Failed: return result.location.value_or(statusNotFound());
    case EntryStatus::NotFound:
    case EntryStatus::Incomplete: break;
    }
    return statusNotFound();
}

}  // namespace zd
