#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>

#include <optional>

namespace zd {

// The four parts of the national layout: the 48 states and the District of
// Columbia, and the three insets below them.
enum class MapRegion { Lower48, Alaska, Hawaii, PuertoRico };

// A place on the national layout, in map units: kilometres of the 48 states'
// conic (true to scale along its standard parallels), x east and y south, so the
// map's points go straight to a painter. Insets are in the same units, scaled.
struct MapPoint {
    QPointF at;
    MapRegion region = MapRegion::Lower48;
};

// The national layout of the Census Bureau's maps. The 48 states: the Albers
// equal-area conic on the GRS80 ellipsoid with standard parallels 29.5°N and
// 45.5°N, central meridian 96°W and latitude of origin 23°N. Below them, each in
// a conic of its own: Alaska (55°N and 65°N, 154°W, origin 50°N) at 0.35 of the
// scale in the lower left, Hawaii (8°N and 18°N, 157°W, origin 3°N) at 1.15 beside
// it, Puerto Rico (18°N and 18.5°N, 66.5°W, origin 18°N) at 2 under Florida.

// Where a latitude and longitude (degrees, west negative) fall on the layout;
// nullopt for a place in none of the four parts. A part is told by a box of
// latitudes and longitudes around it (the Aleutians east of 180° included), so
// a point just across a border in Canada or Mexico is still placed.
std::optional<MapPoint> projectUsa(double latitude, double longitude);

// A latitude and longitude placed in the given part whatever box it falls in:
// for outlines, whose every point belongs to the part of their state.
QPointF projectInRegion(MapRegion region, double latitude, double longitude);

// The whole national layout, the insets included, in map units.
QRectF usaExtent();

// The box an inset is drawn in, in map units: its part lies inside it and it
// touches none of the 48 states. Empty for the 48 states themselves.
QRectF insetFrame(MapRegion region);

// The region of a state's or territory's postal code ("AK" -> Alaska; any other
// state -> the 48 states); nullopt for one not on the layout (e.g. "GU").
std::optional<MapRegion> regionOfState(const QString& postalCode);

}  // namespace zd
