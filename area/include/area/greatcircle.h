#pragma once

namespace zd {

// The mean radius of the Earth taken as a sphere, in miles (6,371.0 km, the
// IUGG's mean radius): every distance of the area selections is measured on it.
constexpr double kEarthRadiusMiles = 3958.8;

// A point on the Earth in degrees: latitude north positive, longitude east positive.
struct GeoPoint {
    double latitude = 0;
    double longitude = 0;
};

// The great-circle distance between two points in miles, by the haversine formula
// on the sphere of kEarthRadiusMiles: well-conditioned for short distances, within
// a foot for antipodes.
double greatCircleMiles(GeoPoint from, GeoPoint to);

// The miles spanned by one degree of latitude on that sphere.
double milesPerDegreeOfLatitude();

}  // namespace zd
