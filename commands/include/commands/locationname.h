#pragma once

#include <QString>

namespace zd {

class CensusSession;

// The text for the location list's "Location Name" column beside an entry: with
// the census source, the place from the bundled table ("City, ST"; "ZCTA5 nnnnn"
// for a ZCTA the table lacks; the status texts otherwise), at once and without a
// fetch; without it, the site's lookup (GetLocationName).
QString locationNameOf(const QString& entry, const CensusSession* census);

// The census source's text alone.
QString censusPlaceName(const QString& entry);

}  // namespace zd
