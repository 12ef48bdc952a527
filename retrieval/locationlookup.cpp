#include "retrieval/locationlookup.h"

#include "core/applicationpointer.h"
#include "retrieval/demographicsparser.h"
#include "retrieval/pagefetch.h"
#include "retrieval/requesturl.h"

namespace zd {
namespace {
struct LookupWait {
    double seconds = 1.0;
    WaitHooks hooks = realWaitHooks();
};

LookupWait& lookupWait()
{
    static LookupWait wait;
    return wait;
}
}  // namespace

// Only the space character counts: a tab or other white space stays part of the zip.
QString trimZipSpaces(const QString& text)
{
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && text.at(first) == QLatin1Char(' '))
        ++first;
    while (end > first && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.sliced(first, end - first);
}

QString statusBlankLine() { return QStringLiteral("Blank line."); }
QString statusNotFiveDigits() { return QStringLiteral("Zip is not 5 digits"); }
QString statusNotFound() { return QStringLiteral("Zip code not found."); }

LocationLookup lookUpLocation(const QString& zip)
{
    const QString trimmed = trimZipSpaces(zip);
    if (trimmed.isEmpty())
        return {statusBlankLine(), QString()};
    if (trimmed.size() != 5)
        return {statusNotFiveDigits(), QString()};
    BusyPointerScope busy;
    const FetchOutcome fetched = fetchPageWithOutcome(requestUrl(trimmed));
    WaitSeconds(lookupWait().seconds, lookupWait().hooks);
    return {extractLocationName(fetched.body).value_or(statusNotFound()), fetched.transportError};
}

QString GetLocationName(const QString& zip) { return lookUpLocation(zip).text; }

void setLookupWaitSeconds(double seconds) { lookupWait().seconds = seconds; }
double lookupWaitSeconds() { return lookupWait().seconds; }
void setLookupWaitHooks(const WaitHooks& hooks) { lookupWait().hooks = hooks; }
void resetLookupWaitHooks() { lookupWait().hooks = realWaitHooks(); }

}  // namespace zd
