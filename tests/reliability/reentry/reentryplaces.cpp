#include "tests/reliability/reentry/reentryplaces.h"

#include "tests/support/samplepages.h"
#include "tests/support/testsite.h"

#include <chrono>

namespace zd::test {

const Place* placeOf(const QString& zip)
{
    for (const Place& place : kPlaces) {
        if (zip == QLatin1String(place.zip))
            return &place;
    }
    return nullptr;
}

QString pageHtml(const Place& place)
{
    const QString zip = QLatin1String(place.zip);
    const QString name = QLatin1String(place.name);
    return zip == QLatin1String(kBrokenZip) ? brokenPlacePageHtml(zip, name) : placePageHtml(zip, name);
}

QList<Row> rowsOfPlace(const Place& place)
{
    const QString zip = QLatin1String(place.zip);
    const QString name = QLatin1String(place.name);
    return zip == QLatin1String(kBrokenZip) ? brokenPlaceRows(zip, name) : placeRows(zip, name);
}

void servePlaces(TestSite& site)
{
    for (const Place& place : kPlaces) {
        const QString zip = QLatin1String(place.zip);
        const QString html = pageHtml(place);
        // Three pieces with a pause after each of the first two.
        if (zip == QLatin1String(kSlowZip))
            site.setPageInPieces(zip, html, html.size() / 3 + 1, std::chrono::milliseconds(2));
        else
            site.setPage(zip, html);
    }
}

}  // namespace zd::test
