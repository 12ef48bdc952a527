#pragma once

#include "area/greatcircle.h"

#include <vector>

namespace zd {

// A point of the index and the number its owner knows it by.
struct IndexedPoint {
    GeoPoint point;
    int id = 0;
};

// A point found within a distance, with that distance in miles.
struct PointWithin {
    int id = 0;
    double miles = 0;
};

// Points sorted by latitude: a search within N miles looks only at the band of
// latitudes N miles either side (found by binary search) and measures each point
// of it. Longitude is not cut, so the band is right across the 180th meridian and
// near the poles too.
class LatitudeIndex {
public:
    explicit LatitudeIndex(std::vector<IndexedPoint> points);

    // The points within `miles` of `centre` (boundary included), in no order.
    std::vector<PointWithin> within(GeoPoint centre, double miles) const;
    std::size_t size() const { return m_points.size(); }

private:
    std::vector<IndexedPoint> m_points;  // by latitude
};

}  // namespace zd
