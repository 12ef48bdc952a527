#include "area/latitudeindex.h"

#include <algorithm>

namespace zd {

LatitudeIndex::LatitudeIndex(std::vector<IndexedPoint> points) : m_points(std::move(points))
{
    std::sort(m_points.begin(), m_points.end(),
              [](const IndexedPoint& a, const IndexedPoint& b) { return a.point.latitude < b.point.latitude; });
}

std::vector<PointWithin> LatitudeIndex::within(GeoPoint centre, double miles) const
{
    // A little slack so that rounding never drops a point on the band's edge.
    const double band = miles / milesPerDegreeOfLatitude() + 1e-9;
    const auto byLatitude = [](const IndexedPoint& p, double latitude) { return p.point.latitude < latitude; };
    auto it = std::lower_bound(m_points.begin(), m_points.end(), centre.latitude - band, byLatitude);
    std::vector<PointWithin> found;
    for (; it != m_points.end() && it->point.latitude <= centre.latitude + band; ++it) {
        const double distance = greatCircleMiles(centre, it->point);
        if (distance <= miles)
            found.push_back({it->id, distance});
    }
    return found;
}

}  // namespace zd
