#include "area/greatcircle.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zd {
namespace {

double radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

}  // namespace

double greatCircleMiles(GeoPoint from, GeoPoint to)
{
    const double halfLatitude = std::sin(radians(to.latitude - from.latitude) / 2);
    const double halfLongitude = std::sin(radians(to.longitude - from.longitude) / 2);
    const double h = halfLatitude * halfLatitude
                     + std::cos(radians(from.latitude)) * std::cos(radians(to.latitude)) * halfLongitude * halfLongitude;
    // Rounding can push h a hair past 1 for antipodes.
    return 2 * kEarthRadiusMiles * std::asin(std::sqrt(std::clamp(h, 0.0, 1.0)));
}

double milesPerDegreeOfLatitude() { return kEarthRadiusMiles * std::numbers::pi / 180.0; }

}  // namespace zd
