#include "batch/entrysource.h"

#include "retrieval/locationlookup.h"

namespace zd {

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
