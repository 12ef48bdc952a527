#include "commands/locationname.h"

#include "batch/censusentries.h"
#include "census/placenames.h"
#include "retrieval/locationlookup.h"

namespace zd {

QString censusPlaceName(const QString& entry)
{
    const QString zip = trimZipSpaces(entry);
    if (zip.isEmpty())
        return statusBlankLine();
    if (zip.size() != 5)
        return statusNotFiveDigits();
    const std::optional<QString> zcta = zctaOfEntry(entry);
    if (!zcta)
        return statusNotFound();
    if (const std::optional<Place> place = PlaceNames::installed().find(*zcta))
        return place->name();
    return zctaName(*zcta);
}

QString locationNameOf(const QString& entry, const CensusSession* census)
{
    return census ? censusPlaceName(entry) : GetLocationName(entry);
}

}  // namespace zd
