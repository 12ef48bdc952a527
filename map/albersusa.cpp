#include "map/albersusa.h"

#include "map/albersconic.h"

#include <QStringList>

#include <array>
#include <cmath>

namespace zd {
namespace {

// A part of the layout: its conic, the box of latitudes and longitudes it is told
// by, and how its projected kilometres are placed (scaled about the middle of the
// part's own outlines, which lands on the middle of its frame).
struct Part {
    MapRegion region;
    AlbersConic conic;
    double south, north, west, east;   // the box; west > east runs across 180°
    double scale;
    QPointF middle;                    // of the part's outlines in its own conic, km
    QRectF frame;                      // empty for the 48 states
};

// Kilometres, y south.
QPointF kilometres(QPointF metres) { return {metres.x() / 1000.0, -metres.y() / 1000.0}; }

const std::array<Part, 4>& parts()
{
    static const std::array<Part, 4> all{{
        {MapRegion::Lower48, AlbersConic(Ellipsoid::grs80(), 29.5, 45.5, 23.0, -96.0),
         24.3, 49.5, -125.0, -66.8, 1.0, {}, {}},
        {MapRegion::Alaska, AlbersConic(Ellipsoid::grs80(), 55.0, 65.0, 50.0, -154.0),
         51.0, 72.0, 172.0, -129.9, 0.35, {-337.5, -1395.0}, QRectF(-2360, -880, 1340, 750)},
        {MapRegion::Hawaii, AlbersConic(Ellipsoid::grs80(), 8.0, 18.0, 3.0, -157.0),
         18.5, 22.5, -160.6, -154.5, 1.15, {-54.0, -1944.0}, QRectF(-1010, -320, 680, 450)},
        {MapRegion::PuertoRico, AlbersConic(Ellipsoid::grs80(), 18.0, 18.5, 18.0, -66.5),
         17.6, 18.7, -68.0, -65.2, 2.0, {-8.5, -23.5}, QRectF(1100, -230, 700, 200)},
    }};
    return all;
}

const Part& partOf(MapRegion region) { return parts()[static_cast<std::size_t>(region)]; }

bool inBox(const Part& part, double latitude, double longitude)
{
    if (!std::isfinite(latitude) || !std::isfinite(longitude))
        return false;  // NaN passes every comparison's negation
    if (latitude < part.south || latitude > part.north)
        return false;
    if (part.west <= part.east)
        return longitude >= part.west && longitude <= part.east;
    return longitude >= part.west || longitude <= part.east;  // across the antimeridian
}

// The extent of the 48 states' outlines, rounded out to 10 km.
const QRectF kLower48Extent(QPointF(-2360, -3180), QPointF(2260, -260));

}  // namespace

QPointF projectInRegion(MapRegion region, double latitude, double longitude)
{
    const Part& part = partOf(region);
    const QPointF own = kilometres(part.conic.project(latitude, longitude));
    if (part.frame.isEmpty())
        return own;
    return part.frame.center() + (own - part.middle) * part.scale;
}

std::optional<MapPoint> projectUsa(double latitude, double longitude)
{
    for (const Part& part : parts()) {
        if (inBox(part, latitude, longitude))
            return MapPoint{projectInRegion(part.region, latitude, longitude), part.region};
    }
    return std::nullopt;
}

QRectF usaExtent()
{
    QRectF extent = kLower48Extent;
    for (const Part& part : parts())
        extent |= part.frame;
    return extent;
}

QRectF insetFrame(MapRegion region) { return partOf(region).frame; }

std::optional<MapRegion> regionOfState(const QString& postalCode)
{
    static const QStringList lower48 = QStringLiteral(
        "AL AZ AR CA CO CT DE DC FL GA ID IL IN IA KS KY LA ME MD MA MI MN MS MO MT NE NV "
        "NH NJ NM NY NC ND OH OK OR PA RI SC SD TN TX UT VT VA WA WV WI WY").split(u' ');
    if (postalCode == u"AK")
        return MapRegion::Alaska;
    if (postalCode == u"HI")
        return MapRegion::Hawaii;
    if (postalCode == u"PR")
        return MapRegion::PuertoRico;
    if (lower48.contains(postalCode))
        return MapRegion::Lower48;
    return std::nullopt;
}

}  // namespace zd
