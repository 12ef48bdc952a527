#pragma once

#include "core/sharedroutines.h"

#include <QString>

namespace zd {

// The text for the "Location Name" column beside a zip code: the location's name
// cut out of its page, or one of the status texts below. The zip code is trimmed
// of spaces (U+0020 only) and must then be five characters long; only such a zip
// code costs a fetch, followed by a wait, with the busy pointer shown throughout.
QString GetLocationName(const QString& zip);

// The same lookup for callers that report a failed transfer: the text that
// GetLocationName gives, and why the fetch failed (empty when the page arrived
// whole or nothing was fetched).
struct LocationLookup {
    QString text;
    QString transportError;
};
LocationLookup lookUpLocation(const QString& zip);

// The zip code as the lookup checks it: without leading and trailing spaces
// (U+0020 only; a tab or other white space stays and counts).
QString trimZipSpaces(const QString& zip);

QString statusBlankLine();      // "Blank line."
QString statusNotFiveDigits();  // "Zip is not 5 digits"
QString statusNotFound();       // "Zip code not found."

// The pause after every lookup fetch, found or not, that keeps lookups at least
// this far apart. Default 1 second.
void setLookupWaitSeconds(double seconds);
double lookupWaitSeconds();

// The clock and pump of that pause; tests replace them. Default realWaitHooks().
void setLookupWaitHooks(const WaitHooks& hooks);
void resetLookupWaitHooks();

}  // namespace zd
